// The shop job's program for the default blade: its start, its tool
// changes, the spindle, the height of every rapid move, the layers, the end;
// GRBL's form; and paths that never go below where drop-cutter puts the tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "core/number_text.h"
#include "files/shop_report.h"
#include "machine/fixed_text.h"
#include "machine/machine_limits.h"
#include "shop_support.h"

namespace ventaro {
namespace {

using shoptest::defaultBlade;
using shoptest::defaultModel;
using shoptest::defaultPlan;
using shoptest::linesOf;

const std::string& program(Controller controller) {
  static const std::string linuxcnc = shopProgram(defaultPlan(), Controller::LinuxCnc);
  static const std::string grbl = shopProgram(defaultPlan(), Controller::Grbl);
  return controller == Controller::Grbl ? grbl : linuxcnc;
}

// The value of a word ("Z") on a line, when there.
std::optional<double> word(std::string_view line, char letter) {
  const std::size_t at = line.find(std::string(" ") + letter);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line.substr(at + 2);
  return parseNumber(rest.substr(0, rest.find(' '))).value;
}

std::size_t indexOf(const std::vector<std::string_view>& lines, std::string_view line, std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i] == line) return i;
  }
  return lines.size();
}

// The clearance height in the program's coordinates: its zero is the block
// top.
// (Worked out when first asked for: test discovery must not lay out the job.)
const std::string& clearZ() {
  static const std::string z = "Z" + fixedText(defaultPlan().clearanceZ - defaultPlan().block.top, 4);
  return z;
}

TEST(ShopProgram, StartsSafelyAndMovesOnlyOnceTheFirstToolIsFitted) {
  const auto lines = linesOf(program(Controller::LinuxCnc));
  const std::size_t start = indexOf(lines, "G17 G21 G40 G49 G54 G80 G90 G94");
  ASSERT_LT(start, lines.size());
  for (std::size_t i = 0; i < start; ++i) EXPECT_TRUE(lines[i].starts_with("( ")) << lines[i];
  EXPECT_EQ(lines[start + 1], "G64 P0.01");
  const std::vector<std::string_view> first(lines.begin() + start + 2, lines.begin() + start + 6);
  EXPECT_EQ(first, (std::vector<std::string_view>{"(MSG,Fit T1: flat end mill 37 mm)", "T1 M6 G43 H1", "G0 " + clearZ(),
                                                  "M3 S12000"}));
}

TEST(ShopProgram, ChangesTheSecondToolRetractedWithTheSpindleStopped) {
  const auto lines = linesOf(program(Controller::LinuxCnc));
  const std::size_t at = indexOf(lines, "(MSG,Fit T2: ball-nose 20 mm)");
  ASSERT_LT(at + 4, lines.size());
  const std::vector<std::string_view> change(lines.begin() + at - 2, lines.begin() + at + 4);
  EXPECT_EQ(change, (std::vector<std::string_view>{"G0 " + clearZ(), "M5", "(MSG,Fit T2: ball-nose 20 mm)",
                                                   "T2 M6 G43 H2", "G0 " + clearZ(), "M3 S18000"}));
  const std::vector<std::string_view> end(lines.end() - 3, lines.end());
  EXPECT_EQ(end, (std::vector<std::string_view>{"G0 " + clearZ(), "M5", "M2"}));
}

// With the zero on the block top, every feed lies at or below Z 0 (the
// feeds down from the clearance height end there), and the spindle turns.
TEST(ShopProgram, EveryFeedBelowTheTopWithTheSpindleTurning) {
  bool turning = false;
  int feeds = 0;
  for (std::string_view line : linesOf(program(Controller::LinuxCnc))) {
    if (line.starts_with("M3 ")) turning = true;
    if (line == "M5") turning = false;
    if (line.starts_with("G1 ")) {
      ++feeds;
      EXPECT_TRUE(turning) << line;
      EXPECT_LE(*word(line, 'Z'), 0) << line;
      EXPECT_GE(*word(line, 'X'), 0) << line;
    }
  }
  EXPECT_GT(feeds, 1000);
}

TEST(ShopProgram, RoughsInLayersOneDepthApartAsDeepAsTheSurfaceNeeds) {
  const ShopPlan& plan = defaultPlan();
  ASSERT_EQ(plan.tools.size(), 2u);
  const ToolRun& rough = plan.tools[0];
  std::set<std::string> levels;
  for (const PathMove& m : rough.moves) levels.insert(fixedText(m.to.z, 4));
  // Every layer but the last cuts somewhere at its own level; the last lies
  // at or below the lowest the tool may go, so it follows the surface.
  for (int k = 1; k < plan.layers; ++k) {
    EXPECT_TRUE(levels.count(fixedText(plan.block.top - 5.0 * k, 4))) << "layer " << k;
  }
  EXPECT_GE(rough.lowest, plan.block.top - 5.0 * plan.layers);
  EXPECT_LT(rough.lowest, plan.block.top - 5.0 * (plan.layers - 1));
}

// Drop-cutter puts the tool on the surface (raised by the finish depth when
// roughing): along every move (every 2 mm when finishing, at
// the middle and the end when roughing) the path may lie above that height
// but never below it by more than the tool's tolerance, and the finishing
// tool rests on the surface within it.
void expectPathsOnTheSurface(const ShopPlan& plan) {
  // The blade within a tenth of the tolerance, finer than the job's own.
  const TargetSurface surface(defaultModel(), plan.block, 19.5, plan.tolerance / 2.5);
  for (const ToolRun& run : plan.tools) {
    const DropCutter drop(surface, run.cutter);
    const double raise = run.number == 1 ? plan.finishDepth : 0;
    Vec3 at = run.moves.front().to;
    double worst = 0, farthest = 0;
    for (const PathMove& m : run.moves) {
      // Roughing moves beside the block stand over no material.
      if (m.kind == PathMoveKind::Rapid || m.to.y < plan.block.y0 - run.cutter.radius ||
          m.to.y > plan.block.y1 + run.cutter.radius) {
        at = m.to;
        continue;
      }
      const double length = std::hypot(m.to.x - at.x, m.to.y - at.y);
      const int steps = run.number == 2 ? std::max(2, static_cast<int>(length / 2)) : 2;
      for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const double x = at.x + t * (m.to.x - at.x), y = at.y + t * (m.to.y - at.y), z = at.z + t * (m.to.z - at.z);
        // Beside the block the finishing tool keeps its height on the edge,
        // over a blade that may hang off the block there.
        const double beside = run.number == 2 ? 0 : run.cutter.radius;
        if (y < plan.block.y0 - beside || y > plan.block.y1 + beside) continue;
        const double rest = drop.tipZ(x, y) + raise;
        worst = std::max(worst, rest - z);
        if (run.number == 2) farthest = std::max(farthest, z - rest);
      }
      at = m.to;
    }
    EXPECT_LE(worst, run.number == 1 ? plan.roughTolerance : plan.tolerance) << "T" << run.number;
    EXPECT_LE(farthest, plan.tolerance) << "T" << run.number;
  }
}

TEST(ShopProgram, PathsNeverGoBelowTheToolOnTheSurface) { expectPathsOnTheSurface(defaultPlan()); }

TEST(ShopProgram, PathsOfABallRougherAndAFlatFinisher) {
  ShopSettings settings;
  settings.roughShape = ToolShape::Ball;
  settings.finShape = ToolShape::Flat;
  expectPathsOnTheSurface(planShopJob(defaultBlade().fields, settings));
}

// The layout tells how far it has come, from the start to the end, and
// stops at the next step once asked: nothing is handed over then.
TEST(ShopProgram, ReportsItsProgressAndStopsWhenAsked) {
  struct Recorder : WorkMonitor {
    std::vector<double> seen;
    std::size_t stopAt = 0;  // 0: never
    void advance(double done) override {
      seen.push_back(done);
      if (stopAt != 0 && seen.size() == stopAt) throw WorkCancelled();
    }
  };
  JobFields fields = defaultBlade().fields;
  fields[Field::D] = "1.6";
  ShopSettings settings;
  settings.scallop = 1;
  const BladeParameters parameters = readParameters(fields);
  const ShopInputs inputs = readShopInputs(fields, settings);
  Recorder whole;
  (void)planShopJob(inputs, parameters, settings, &whole);
  ASSERT_GT(whole.seen.size(), 10u);
  EXPECT_TRUE(std::is_sorted(whole.seen.begin(), whole.seen.end()));
  EXPECT_GE(whole.seen.front(), 0.0);
  EXPECT_LE(whole.seen.back(), 1.0);
  EXPECT_GT(whole.seen.back(), 0.9);
  Recorder stopped;
  stopped.stopAt = whole.seen.size() / 2;
  EXPECT_THROW((void)planShopJob(inputs, parameters, settings, &stopped), WorkCancelled);
  EXPECT_EQ(stopped.seen.size(), stopped.stopAt);
}

// GRBL has no tool change: each tool is a program of its own, started once
// the operator has fitted the tool and set its zero, with no stop inside.
TEST(ShopProgram, GrblOneProgramPerToolWithinEightyCharacters) {
  const std::vector<ProgramPart> parts = shopPrograms(defaultPlan(), Controller::Grbl);
  ASSERT_EQ(parts.size(), 2u);
  const std::vector<std::vector<std::string>> starts{
      {"( Blade from its block, for grbl, T1: program 1 of 2 )", "( Before starting: fit T1, flat end mill 37 mm )",
       "( Set Z0 on the block top, then start )", "T1", "G0 " + clearZ(), "M3 S12000"},
      {"( Blade from its block, for grbl, T2: program 2 of 2 )", "( Before starting: fit T2, ball-nose 20 mm )",
       "( Set Z0 against the reference of the tool before, then start )", "T2", "G0 " + clearZ(), "M3 S18000"}};
  for (std::size_t k = 0; k < parts.size(); ++k) {
    EXPECT_EQ(parts[k].suffix, "-T" + std::to_string(k + 1));
    const auto lines = linesOf(parts[k].text);
    for (std::string_view line : lines) {
      EXPECT_LE(line.size(), kGrblLineLimit) << line;
      EXPECT_NE(line, "M0");
      EXPECT_EQ(line.find("M6"), std::string_view::npos) << line;
      EXPECT_EQ(line.find("G43"), std::string_view::npos) << line;
      EXPECT_FALSE(line.starts_with("G64")) << line;
    }
    EXPECT_EQ(lines.front(), starts[k][0]);
    const std::size_t at = indexOf(lines, starts[k][1]);
    ASSERT_LT(at + 4, lines.size());
    for (std::size_t n = 1; n < starts[k].size(); ++n) EXPECT_EQ(lines[at + n - 1], starts[k][n]);
    const std::vector<std::string_view> end(lines.end() - 3, lines.end());
    EXPECT_EQ(end, (std::vector<std::string_view>{"G0 " + clearZ(), "M5", "M2"}));
  }
}

TEST(ShopProgram, RefusesThePlainController) { EXPECT_THROW(shopProgram(defaultPlan(), Controller::Plain), ShopError); }

TEST(ShopReport, LayersAndScallop) {
  const std::string report = shopReport(defaultPlan(), Controller::LinuxCnc, program(Controller::LinuxCnc));
  // A 20 mm ball leaves a ridge of 0.2 mm between passes 2 sqrt(0.2 x 19.8)
  // = 3.980 mm apart on the level; closer where the blade slopes along the
  // span, and never leaving more.
  EXPECT_NE(report.find("\n  lines across the chord, each climbed from both sides up to the crest, 3.980 mm apart on "
                        "the level, down to "),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\n  scallop height at most 0.19"), std::string::npos) << report;
  // 1200 / (12000 x 2) = 0.05 mm per tooth: a 37 mm cutter rubs; 0.08 asks
  // for F1920.
  EXPECT_NE(report.find("\n  chip load 0.050 mm per tooth (F1200 at S12000, 2 flutes)\n  warning: below 0.080 mm per "
                        "tooth the tool rubs rather than cuts, burning wood and dulling its edges: feed at F1920 or "
                        "more, or turn it slower\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\n  " + std::to_string(defaultPlan().layers) + " layers 5 mm apart, from Z 251.084"),
            std::string::npos)
      << report;
}

// A small ball at a fine scallop: the shop job is not bound by the plain
// program's table of stations.
TEST(ShopProgram, SmallBallAtAFineScallop) {
  JobFields fields;
  fields[Field::FinDia] = "6";
  fields[Field::FinStep] = "10";
  ShopSettings settings;
  settings.scallop = 0.05;
  const ShopPlan plan = planShopJob(fields, settings);
  // 2 sqrt(0.05 x 5.95) = 1.091 mm on the level.
  EXPECT_LE(plan.finStepover, 2 * std::sqrt(0.05 * 5.95));
  EXPECT_GT(plan.finStepover, 1.08);
  EXPECT_LE(plan.scallopLeft, 0.05);
}

struct BadField {
  Field field;
  const char* text;
  const char* message;
};

class ShopFields : public ::testing::TestWithParam<BadField> {};

TEST_P(ShopFields, AreRefusedNamingTheField) {
  JobFields fields;
  fields[GetParam().field] = GetParam().text;
  try {
    planShopJob(fields, ShopSettings{});
    FAIL() << "no error";
  } catch (const ShopError& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShopFields,
    ::testing::Values(BadField{Field::RoughFeed, "fast",
                               "the shop job needs \u201cRough Feedrate\u201d to be a positive number, not "
                               "\u201cfast\u201d"},
                      BadField{Field::FinishFeed, "0",
                               "the shop job needs \u201cFinish Feedrate\u201d to be a positive number, not "
                               "\u201c0\u201d"},
                      BadField{Field::FinishDepth, "-1",
                               "the shop job needs \u201cFinish pass depth\u201d to be a number not below zero, not "
                               "\u201c-1\u201d"}));

}  // namespace
}  // namespace ventaro
