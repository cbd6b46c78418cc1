// LinuxCNC's own interpreter runs the linuxcnc shop job of the default
// blade, and side B of its two-sided job from a plank: it complains of
// nothing, the spindle turns at every feed, the tool length is applied
// after every tool change before any move, the moves come back one for
// one, and the program ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "gcode/program_bytes.h"
#include "rs274.h"
#include "shop_support.h"

namespace ventaro {
namespace {

// The canonical call names in order: "STRAIGHT_FEED" from
// "   30 N..... STRAIGHT_FEED(200.0000, ...)".
std::vector<std::string> callNames(const std::string& canon) {
  std::vector<std::string> names;
  std::istringstream in(canon);
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find("N..... ");
    const std::size_t open = line.find('(', start);
    if (start == std::string::npos || open == std::string::npos) {
      ADD_FAILURE() << "unexpected interpreter output: " << line;
      continue;
    }
    names.push_back(line.substr(start + 7, open - start - 7));
  }
  return names;
}

// The default shop job, and side B of the two-sided job on a 300 x 50 mm
// plank (side A's program is the same kind, over the other face).
class ShopRs274 : public testing::TestWithParam<bool> {};

const ShopPlan& sideB() {
  static const ShopPlan plan = [] {
    DesignSettings plank;
    plank.chordCap = 300;
    plank.blankThickness = 50;
    plank.rootBlock = std::pair{60.0, 80.0};
    return planShopJob(readShopInputs(JobFields{}, {}), readParameters(JobFields{}), {}, nullptr, plank, std::nullopt,
                       nullptr, PlankFace::Bottom);
  }();
  return plan;
}

TEST_P(ShopRs274, RunsTheLinuxCncProgram) {
  const auto rs274 = test::findRs274();
  if (!rs274) {
    if (const char* ci = std::getenv("CI"); ci && std::string_view(ci) == "true") {
      FAIL() << "rs274 (Debian package linuxcnc-uspace) is missing on CI";
    }
    GTEST_SKIP() << "rs274 is not installed (Debian package linuxcnc-uspace)";
  }
  const std::string program = shopProgram(GetParam() ? sideB() : shoptest::defaultPlan(), Controller::LinuxCnc);
  const test::Rs274Output out = test::runRs274(*rs274, programFileBytes(program), "shop");
  const std::vector<std::string> calls = callNames(out.canon);
  const std::string& complaints = out.complaints;

  EXPECT_EQ(complaints, "executing\n");
  std::size_t g0 = 0, g1 = 0;
  for (std::string_view line : shoptest::linesOf(program)) {
    g0 += line.starts_with("G0 ");
    g1 += line.starts_with("G1 ");
  }
  bool turning = false, lengthApplied = true;
  std::size_t traverses = 0, feeds = 0, changes = 0;
  for (const std::string& call : calls) {
    if (call == "START_SPINDLE_CLOCKWISE") turning = true;
    if (call == "STOP_SPINDLE_TURNING") turning = false;
    if (call == "CHANGE_TOOL") {
      ++changes;
      lengthApplied = false;
    }
    if (call == "USE_TOOL_LENGTH_OFFSET") lengthApplied = true;
    if (call == "STRAIGHT_TRAVERSE" || call == "STRAIGHT_FEED") {
      EXPECT_TRUE(lengthApplied) << "a move before the tool length after change " << changes;
    }
    if (call == "STRAIGHT_TRAVERSE") ++traverses;
    if (call == "STRAIGHT_FEED") {
      ++feeds;
      if (!turning) ADD_FAILURE() << "feed " << feeds << " with the spindle stopped";
    }
  }
  EXPECT_EQ(changes, 2u);
  EXPECT_EQ(traverses, g0);
  EXPECT_EQ(feeds, g1);
  ASSERT_FALSE(calls.empty());
  EXPECT_NE(std::find(calls.end() - 4, calls.end(), "PROGRAM_END"), calls.end());
}

INSTANTIATE_TEST_SUITE_P(Jobs, ShopRs274, testing::Values(false, true), [](const testing::TestParamInfo<bool>& info) {
  return info.param ? "TwoSidedSideB" : "Shop";
});

}  // namespace
}  // namespace ventaro
