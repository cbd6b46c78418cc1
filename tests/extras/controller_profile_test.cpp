// Controller profiles: plain is the window's program byte for byte; the
// others add their words around the same moves, and LinuxCNC's own
// interpreter takes the linuxcnc program without a complaint.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "extras_support.h"
#include "gcode/program_bytes.h"
#include "machining/controller_profile.h"

namespace ventaro {
namespace {

using testing::DesignRun;
using testing::linesOf;

std::vector<std::string> moveLines(const std::vector<std::string>& lines) {
  std::vector<std::string> moves;
  for (const auto& l : lines) {
    if (l.starts_with("G1 ") || l.starts_with("G0 ")) moves.push_back(l);
  }
  return moves;
}

TEST(ControllerProfile, PlainIsTheWindowsProgram) {
  const DesignRun run;
  EXPECT_EQ(forController(run.program, Controller::Plain), run.program);
  // Moved in, the plain program is handed back in its own buffer: a program
  // of megabytes is not copied.
  std::string moved = run.program;
  const char* buffer = moved.data();
  const std::string plain = forController(std::move(moved), Controller::Plain);
  EXPECT_EQ(plain.data(), buffer);
  EXPECT_EQ(plain, run.program);
  EXPECT_EQ(controllerByName("plain"), Controller::Plain);
  EXPECT_EQ(controllerByName("linuxcnc"), Controller::LinuxCnc);
  EXPECT_EQ(controllerByName("grbl"), Controller::Grbl);
  EXPECT_FALSE(controllerByName("LinuxCNC").has_value());
  EXPECT_FALSE(controllerByName("").has_value());
}

TEST(ControllerProfile, LinuxCncLines) {
  const DesignRun run;
  const auto plain = linesOf(run.program);
  const auto lines = linesOf(forController(run.program, Controller::LinuxCnc));
  ASSERT_EQ(lines.size(), plain.size() + 4);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7),
            std::vector<std::string>(plain.begin(), plain.begin() + 7));
  EXPECT_EQ(lines[7], "G21 G90");
  EXPECT_EQ(lines[8], "G64");
  EXPECT_EQ(lines[9], "T1 M6");
  EXPECT_EQ(lines[10], "F1200");
  // After the last roughing rapid move: the pause, then the finishing block.
  const auto pause = std::find(lines.begin(), lines.end(), "M0");
  ASSERT_NE(pause, lines.end());
  EXPECT_EQ(*(pause - 2), "G0 X200.0001 Z255.46");
  EXPECT_EQ(*(pause - 1), "(MSG,Fit finishing tool T2, 20 mm, then press Cycle Start)");
  EXPECT_EQ(*(pause + 1), "F600");
  EXPECT_EQ(*(pause + 2), "( T2:20 ) ");
  EXPECT_EQ(*(pause + 3), "T2 M6");
  EXPECT_EQ(lines.back(), "M2");
  EXPECT_EQ(moveLines(lines), moveLines(plain));
}

TEST(ControllerProfile, GrblLines) {
  const DesignRun run;
  const auto plain = linesOf(run.program);
  const auto lines = linesOf(forController(run.program, Controller::Grbl));
  ASSERT_EQ(lines.size(), plain.size() + 3);
  EXPECT_EQ(lines[7], "G21 G90");
  EXPECT_EQ(lines[8], "T1");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "G64"), 0);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return l.find("M6") != std::string::npos; }), 0);
  const auto pause = std::find(lines.begin(), lines.end(), "M0");
  ASSERT_NE(pause, lines.end());
  EXPECT_EQ(*(pause - 1), "( Pause: fit finishing tool T2, 20 mm, then resume )");
  EXPECT_EQ(*(pause + 3), "T2");
  EXPECT_EQ(lines.back(), "M2");
  EXPECT_EQ(moveLines(lines), moveLines(plain));
  for (const auto& l : lines) EXPECT_LE(savedLength(l), kGrblLineLimit) << l;
}

TEST(ControllerProfile, GrblShortensALongCommentToEightyCharacters) {
  const std::string dia = "37 flat end mill \u00b0 four flutes, bought in spring, the long one from the blue box";
  const DesignRun run({{Field::RoughDia, dia.c_str()}});
  const auto lines = linesOf(forController(run.program, Controller::Grbl));
  const std::string& t1 = lines[5];
  EXPECT_EQ(savedLength(t1), kGrblLineLimit);
  EXPECT_TRUE(t1.starts_with("( T1:37 flat end mill \u00b0 four flutes")) << t1;
  EXPECT_TRUE(t1.ends_with("... )")) << t1;
  // The plain and linuxcnc programs keep the text as typed.
  EXPECT_EQ(linesOf(run.program)[5], "( T1:" + dia + " )");
  EXPECT_EQ(linesOf(forController(run.program, Controller::LinuxCnc))[5], "( T1:" + dia + " )");
}

TEST(ControllerProfile, ParenthesesInsideACommentBecomeBrackets) {
  const DesignRun run({{Field::RoughDia, "37 (flat)\t"}});
  EXPECT_EQ(linesOf(forController(run.program, Controller::LinuxCnc))[5], "( T1:37 [flat]  )");
  EXPECT_EQ(linesOf(forController(run.program, Controller::Grbl))[5], "( T1:37 [flat]  )");
  EXPECT_EQ(linesOf(run.program)[5], "( T1:37 (flat)\t )");
}

TEST(ControllerProfile, RefusesWhatTheControllerWouldReject) {
  for (const char* feed : {"", "fast", "0", "-600", "1e999"}) {
    const DesignRun run({{Field::FinishFeed, feed}});
    EXPECT_EQ(forController(run.program, Controller::Plain), run.program);
    for (Controller c : {Controller::LinuxCnc, Controller::Grbl}) {
      try {
        (void)forController(run.program, c);
        ADD_FAILURE() << "feed \"" << feed << "\" accepted";
      } catch (const ControllerError& e) {
        EXPECT_NE(std::string(e.what()).find("(--finish-feed) would be rejected by the controller"), std::string::npos)
            << e.what();
      }
    }
  }
  // A feed line beyond GRBL's 80 characters cannot be shortened.
  const std::string longFeed = std::string(90, '0') + "600";
  const DesignRun run({{Field::RoughFeed, longFeed.c_str()}});
  EXPECT_NO_THROW((void)forController(run.program, Controller::LinuxCnc));
  EXPECT_THROW((void)forController(run.program, Controller::Grbl), ControllerError);
}

// Runs LinuxCNC's stand-alone interpreter on a program file; returns its
// exit status and everything it printed.
std::pair<int, std::string> rs274(const std::string& path, const std::string& canonOut) {
  const std::string cmd = "rs274 -g '" + path + "' '" + canonOut + "' </dev/null 2>&1";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string text;
  std::array<char, 4096> buf{};
  while (std::size_t n = std::fread(buf.data(), 1, buf.size(), pipe)) text.append(buf.data(), n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

bool haveRs274() { return std::system("command -v rs274 >/dev/null 2>&1") == 0; }

class LinuxCncInterpreter : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    if (haveRs274()) return;
    const char* ci = std::getenv("CI");
    if (ci && std::string(ci) == "true") FAIL() << "rs274 (linuxcnc-uspace) is missing on CI";
    GTEST_SKIP() << "rs274 (linuxcnc-uspace) is not installed";
  }
};

TEST_P(LinuxCncInterpreter, TakesTheProgramWithoutComplaint) {
  const DesignRun run = GetParam() == 0 ? DesignRun() : DesignRun(testing::narrowStock());
  const auto dir = std::filesystem::temp_directory_path() / ("ventaro-rs274-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "blade.ngc").string();
  std::ofstream(file, std::ios::binary) << programFileBytes(forController(run.program, Controller::LinuxCnc));
  const auto [status, output] = rs274(file, (dir / "canon.txt").string());
  std::ifstream canonFile(dir / "canon.txt");
  std::stringstream canon;
  canon << canonFile.rdbuf();
  std::filesystem::remove_all(dir);
  EXPECT_EQ(status, 0) << output;
  EXPECT_EQ(output, "executing\n");  // its banner, and not a word more
  const std::string calls = canon.str();
  EXPECT_NE(calls.find("CHANGE_TOOL(1)"), std::string::npos);
  EXPECT_NE(calls.find("CHANGE_TOOL(2)"), std::string::npos);
  EXPECT_NE(calls.find("PROGRAM_STOP()"), std::string::npos);
  EXPECT_NE(calls.find("MESSAGE(\"Fit finishing tool T2, 20 mm, then press Cycle Start\")"), std::string::npos);
  EXPECT_NE(calls.find("PROGRAM_END()"), std::string::npos);
  EXPECT_NE(calls.find("USE_LENGTH_UNITS(CANON_UNITS_MM)"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(DefaultAndNarrowStock, LinuxCncInterpreter, ::testing::Values(0, 1));

}  // namespace
}  // namespace ventaro
