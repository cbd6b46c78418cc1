// Controller profiles: plain is the window's program byte for byte; the
// others add their words around the same moves, and LinuxCNC's own
// interpreter runs the linuxcnc program with the spindle on at every cut.
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
#include "post/controller_profile.h"

namespace ventaro {
namespace {

using testing::DesignRun;
using testing::linesOf;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string profileProgram(Controller c, const DesignRun::Changes& changes = {}) {
  const DesignRun run(changes);
  return programFor(c, run.fields, run.table);
}

// The moves of the plain program: every G1 line and the rapid moves with X.
std::vector<std::string> plainMoves(const std::vector<std::string>& lines) {
  std::vector<std::string> moves;
  for (const auto& l : lines) {
    if (l.starts_with("G1 ") || l.starts_with("G0 X")) moves.push_back(l);
  }
  return moves;
}

TEST(ControllerProfile, DefaultBladeAsExpected) {
  const std::filesystem::path cases = VENTARO_PROFILE_CASES;
  for (const auto& [controller, expect] : {std::pair{Controller::LinuxCnc, "linuxcnc-default/expect/program.ngc"},
                                           std::pair{Controller::Grbl, "grbl-default/expect/program.nc"}}) {
    const std::string bytes = programFileBytes(profileProgram(controller));
    EXPECT_TRUE(bytes == readFile(cases / expect)) << expect << " differs";
  }
}

TEST(ControllerProfile, PlainIsTheWindowsProgramAndNoMoveChanges) {
  const DesignRun run;
  EXPECT_EQ(programFor(Controller::Plain, run.fields, run.table), run.program);
  for (Controller c : {Controller::LinuxCnc, Controller::Grbl}) {
    EXPECT_EQ(plainMoves(linesOf(programFor(c, run.fields, run.table))), plainMoves(linesOf(run.program)));
  }
  EXPECT_EQ(controllerByName("plain"), Controller::Plain);
  EXPECT_EQ(controllerByName("linuxcnc"), Controller::LinuxCnc);
  EXPECT_EQ(controllerByName("grbl"), Controller::Grbl);
  EXPECT_FALSE(controllerByName("LinuxCNC").has_value());
}

TEST(ControllerProfile, SafetyWordsFollowTheSettings) {
  const DesignRun run({{Field::RoughPassesNo, "1"}});
  ShopSettings settings;
  settings.roughRpm = 9000;
  settings.finRpm = 24000;
  settings.clearance = 25.5;
  const auto lines = linesOf(programFor(Controller::LinuxCnc, run.fields, run.table, nullptr, settings));
  const auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line); };
  ASSERT_NE(at("T1 M6 G43 H1"), lines.end());
  EXPECT_EQ(*(at("T1 M6 G43 H1") + 1), "M3 S9000");
  EXPECT_EQ(*(at("T2 M6 G43 H2") + 1), "M3 S24000");
  // One pass: the highest Z is its rapid move, 255.46; plus 25.5, rounded up.
  EXPECT_EQ(*(at("M0") - 3), "G0 Z281");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), (std::vector<std::string>{"G0 Z281", "M5", "M2"}));
}

TEST(ControllerProfile, FeedsArePlainDecimalsOrRefused) {
  struct Case {
    const char* feed;
    const char* line;  // nullptr: refused
  };
  for (const Case& c : {Case{"1.2e3", "F1200"}, Case{"1E3", "F1000"}, Case{"  600.5 ", "F600.5"}, Case{"", nullptr},
                        Case{"0", nullptr}, Case{"-600", nullptr}, Case{"1e999", nullptr}, Case{"1e20", nullptr}}) {
    for (Controller controller : {Controller::LinuxCnc, Controller::Grbl}) {
      SCOPED_TRACE(std::string(c.feed) + " for " + std::string(controllerName(controller)));
      if (!c.line) {
        try {
          (void)profileProgram(controller, {{Field::FinishFeed, c.feed}});
          ADD_FAILURE() << "accepted";
        } catch (const ControllerError& e) {
          // The window names the field by its label; another client its own way.
          EXPECT_NE(std::string(e.what()).find("\u201cFinish Feedrate\u201d would be rejected"), std::string::npos)
              << e.what();
          EXPECT_NE(e.text([](Field f) {
                       return "<" + std::string(fieldLabel(f)) + ">";
                     }).find("from <Finish Feedrate> would be rejected"),
                    std::string::npos);
        }
        continue;
      }
      const auto lines = linesOf(profileProgram(controller, {{Field::RoughFeed, c.feed}}));
      EXPECT_EQ(*std::find_if(lines.begin(), lines.end(), [](auto& l) { return l.starts_with("F"); }), c.line);
    }
  }
}

TEST(ControllerProfile, LongCommentsAreShortenedToTheControllersLine) {
  std::string dia = "37 flat end mill \u00b0 four flutes, bought in spring, the long one from the blue box";
  for (int i = 0; i < 3; ++i) dia += dia;
  const DesignRun run({{Field::RoughDia, dia}});
  for (const auto& [controller, limit] :
       {std::pair{Controller::Grbl, kGrblLineLimit}, std::pair{Controller::LinuxCnc, kLinuxCncLineLimit}}) {
    const std::string t1 = linesOf(programFor(controller, run.fields, run.table))[5];
    EXPECT_EQ(savedLength(t1), limit) << t1;
    EXPECT_TRUE(t1.starts_with("( T1:37 flat end mill \u00b0 four flutes")) << t1;
    EXPECT_TRUE(t1.ends_with("... )")) << t1;
  }
  EXPECT_EQ(linesOf(run.program)[5], "( T1:" + dia + " )");
}

TEST(ControllerProfile, GrblGetsNoByteItActsOn) {
  // The one free text of the program, typed in Windows: curly apostrophes
  // and quotes, dashes, a no-break space, an ellipsis; GRBL's own realtime
  // commands; and a character Windows-1252 has no byte for (saved as "?").
  const DesignRun::Changes text{{Field::RoughDia,
                                 "37 \u2019flat\u2019 \u201cnew\u201d \u2013\u2014\u00a0ok\u2026 \u20ac!?~\x18 \u2192 "
                                 "\u00a1\u0160\u017e\u0153\u2122\u2022\u203a\u201e\u02dc"}};
  const std::string program = profileProgram(Controller::Grbl, text);
  const std::string bytes = programFileBytes(program);
  const std::string forbidden = "!~?\x18\x84\x85\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\xa0\xa1";
  EXPECT_EQ(bytes.find_first_of(forbidden), std::string::npos);
  EXPECT_EQ(linesOf(program)[5], "( T1:37 'flat' \"new\" -- ok... \u20ac..-  _ i\u0160zoeTM*>\"- )");
}

// Runs LinuxCNC's stand-alone interpreter on a program file; returns its
// exit status, everything it printed and the canonical calls it made.
struct Interpreted {
  int status;
  std::string output, calls;
};

Interpreted rs274(const std::string& program) {
  const auto dir = std::filesystem::temp_directory_path() / ("ventaro-rs274-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "blade.ngc", std::ios::binary) << programFileBytes(program);
  const std::string cmd = "cd '" + dir.string() + "' && rs274 -g blade.ngc canon.txt </dev/null 2>&1";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  std::string text;
  std::array<char, 4096> buf{};
  while (pipe) {
    const std::size_t n = std::fread(buf.data(), 1, buf.size(), pipe);
    if (n == 0) break;
    text.append(buf.data(), n);
  }
  const int status = pipe ? ::pclose(pipe) : -1;
  Interpreted result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, text, readFile(dir / "canon.txt")};
  std::filesystem::remove_all(dir);
  return result;
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

TEST_P(LinuxCncInterpreter, RunsTheProgramWithTheSpindleOnAtEveryCut) {
  // The third: a comment shortened to the longest line LinuxCNC reads.
  const DesignRun run = GetParam() == 0   ? DesignRun()
                        : GetParam() == 1 ? DesignRun(testing::narrowStock())
                                          : DesignRun({{Field::D, "3.36" + std::string(260, '0')}});
  const Interpreted result = rs274(programFor(Controller::LinuxCnc, run.fields, run.table));
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output, "executing\n");  // its banner, and not a word more
  bool spindle = false;
  bool lengthDue = false;
  int feeds = 0, changes = 0, ends = 0;
  std::istringstream calls(result.calls);
  for (std::string line; std::getline(calls, line);) {
    SCOPED_TRACE(line);
    if (lengthDue) {
      EXPECT_NE(line.find("USE_TOOL_LENGTH_OFFSET("), std::string::npos) << "no tool length";
    }
    lengthDue = line.find("CHANGE_TOOL(") != std::string::npos;
    changes += lengthDue;
    if (line.find("START_SPINDLE_CLOCKWISE") != std::string::npos) spindle = true;
    if (line.find("STOP_SPINDLE_TURNING") != std::string::npos) spindle = false;
    if (line.find("STRAIGHT_FEED") != std::string::npos) {
      ++feeds;
      EXPECT_TRUE(spindle) << "a cut with the spindle stopped";
    }
    ends += line.find("PROGRAM_END()") != std::string::npos;
  }
  EXPECT_EQ(changes, 2);
  EXPECT_GT(feeds, 0);
  EXPECT_EQ(ends, 1);
  EXPECT_NE(result.calls.find("MESSAGE(\"Fit finishing tool T2, 20 mm, then press Cycle Start\")"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(DefaultNarrowStockLongComment, LinuxCncInterpreter, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace ventaro
