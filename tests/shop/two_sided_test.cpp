// The two-sided job through the built program: the default rotor fitted to
// a 300 x 75 mm plank by a chord cap, a blank thickness and a root block.
// Each side's program, read back through its setup's matrix into the blade
// frame, puts the finishing ball's tip on the blade's own face: side A's on
// the top of the closed section, side B's on its bottom. The check follows
// both sides and finds the blade whole and one piece with its root block.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "blade/blade_model.h"
#include "cli_process.h"
#include "core/job_parameters.h"

namespace ventaro {
namespace {

using testing::runCli;
using testing::TempDir;

const std::vector<std::string> kPlank{"--chord-cap", "300", "--blank-thickness", "75", "--root-block", "60,80"};

double figure(const std::string& text, const std::string& pattern) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(pattern))) return -1;
  return std::stod(m[1]);
}

TEST(TwoSided, EachSideFinishesItsFaceOfTheBlade) {
  TempDir dir;
  std::vector<std::string> args{"--job",
                                "two-sided",
                                "-o",
                                dir.file("b.ngc"),
                                "--setup",
                                dir.file("b.json"),
                                "--check=" + dir.file("c.svg"),
                                "--check-grid",
                                "1",
                                "--quiet"};
  args.insert(args.end(), kPlank.begin(), kPlank.end());
  const testing::RunResult r = runCli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"b-A.ngc", "b-B.ngc", "b.json", "c.svg"}));
  // The picture: both sides, one above the other.
  const std::string picture = testing::readFile(dir.file("c.svg"));
  EXPECT_NE(picture.find("Side A after its program, from above"), std::string::npos);
  EXPECT_NE(picture.find("Side B after its program, from above"), std::string::npos);
  EXPECT_NE(picture.find("id=\"map-2\""), std::string::npos);
  // The check: no rapid through material on either side and tool, no cut
  // into the blade from above or below, one piece.
  std::size_t rapids = 0;
  for (std::size_t at = r.out.find("rapid moves through material: 0"); at != std::string::npos;
       at = r.out.find("rapid moves through material: 0", at + 1)) {
    ++rapids;
  }
  EXPECT_EQ(rapids, 4u) << r.out;
  EXPECT_LE(figure(r.out, R"(deepest cut into the blade: ([0-9.]+) mm from above)"), 0.05) << r.out;
  EXPECT_LE(figure(r.out, R"(mm from above, ([0-9.]+) mm from below)"), 0.05) << r.out;
  EXPECT_NE(r.out.find("material in 1 piece; the blade is one piece with its root block"), std::string::npos);
  // Beside the blade the plank is cut through from both faces.
  EXPECT_LE(
      figure(r.out, R"(outside the outline: [0-9]+ of [0-9]+ cells hold more than 0.5 mm; 99th percentile ([0-9.]+))"),
      0.5)
      << r.out;
  // Well inside the outline the lower surface keeps no more than the
  // scallop (0.2 mm) and a little.
  const double left =
      figure(r.out, R"(left on the lower surface at least 10 mm inside the outline: at most ([0-9.]+))");
  EXPECT_GE(left, 0);
  EXPECT_LE(left, 0.4);

  DesignSettings design;
  design.chordCap = 300;
  design.blankThickness = 75;
  design.rootBlock = std::pair{60.0, 80.0};
  SectionTable table;
  table.fill();
  const BladeModel blade(readParameters(JobFields{}), table, design);
  const nlohmann::json setup = nlohmann::json::parse(testing::readFile(dir.file("b.json")));
  ASSERT_EQ(setup["setups"].size(), 2u);
  // Kept: the root block, the tip's tab (as wide and thick as the tip's
  // section, as long as the roughing tool's radius, the finishing tool's
  // diameter and 3 mm) and the plank's end.
  const nlohmann::json& keep = setup["keep"];
  ASSERT_EQ(keep.size(), 3u);
  EXPECT_EQ(keep[0]["x"][1].get<double>() - keep[0]["x"][0].get<double>(), 60);
  EXPECT_EQ(keep[1]["x"], nlohmann::json::array({blade.tipX(), blade.tipX() + 41.5}));
  EXPECT_NEAR(keep[1]["y"][1].get<double>() - keep[1]["y"][0].get<double>(),
              blade.section(blade.tipX()).back().y - blade.section(blade.tipX()).front().y, 1);
  EXPECT_EQ(keep[2]["x"], nlohmann::json::array({blade.tipX() + 41.5, blade.tipX() + 81.5}));
  EXPECT_EQ(setup["blank"]["x"][1], blade.tipX() + 81.5);
  for (const nlohmann::json& side : setup["setups"]) {
    const bool b = side["name"] == "B";
    EXPECT_EQ(side["program"], b ? "b-B.ngc" : "b-A.ngc");
    // Program = M (blade) + t, with M a signed permutation: its inverse
    // is its transpose.
    const nlohmann::json& m = side["to_program"];
    const auto toBlade = [&](double px, double py, double pz) {
      const double p[3] = {px - m[0][3].get<double>(), py - m[1][3].get<double>(), pz - m[2][3].get<double>()};
      double q[3] = {0, 0, 0};
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) q[j] += m[i][j].get<double>() * p[i];
      }
      return std::array<double, 3>{q[0], q[1], q[2]};
    };
    std::istringstream program(testing::readFile(dir.file(side["program"])));
    bool finishing = false;
    std::size_t points = 0, close = 0, near = 0;
    const std::regex move(R"(^G1 X(-?[0-9.]+) Y(-?[0-9.]+) Z(-?[0-9.]+))");
    for (std::string line; std::getline(program, line);) {
      if (line.starts_with("T2 M6")) finishing = true;
      std::smatch g;
      if (!finishing || !std::regex_search(line, g, move)) continue;
      const auto [x, y, z] = toBlade(std::stod(g[1]), std::stod(g[2]), std::stod(g[3]));
      if (x < blade.airfoilFrom() + 15 || x > blade.tipX() - 15) continue;
      Section up = blade.section(x), down = blade.lowerSection(x);
      if (y < up.front().y + 15 || y > up.back().y - 15) continue;
      // The face the ball finishes: the top of the closed section on side
      // A, its bottom (read upside down) on side B.
      double face = std::max(profileHeight(up, y), profileHeight(down, y));
      if (b) {
        for (Section* row : {&up, &down}) {
          for (SectionPoint& p : *row) p.z = -p.z;
        }
        face = -std::max(profileHeight(up, y), profileHeight(down, y));
      }
      // How far the tip lies past the face into the blade: side A's from
      // above, side B's from below.
      const double into = b ? z - face : face - z;
      ++points;
      EXPECT_LE(into, 0.011) << side["name"] << " X " << x << " Y " << y;
      // The tip stands off a sloping face by R (1 / cos(slope) - 1): a
      // 10 mm ball on 30 degrees, 1.5 mm.
      if (into > -0.5) ++close;
      if (into > -3) ++near;
    }
    EXPECT_GT(points, 1000u) << side["name"];
    EXPECT_GT(close, points * 3 / 4) << side["name"];
    EXPECT_GT(near, points * 99 / 100) << side["name"];
  }
}

TEST(TwoSided, OnePlankOneProgramPerSideAndTool) {
  TempDir dir;
  std::vector<std::string> args{"--job", "two-sided", "--controller", "grbl", "-o", dir.file("b.nc"), "--quiet"};
  args.insert(args.end(), kPlank.begin(), kPlank.end());
  ASSERT_EQ(runCli(args).status, 0);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"b-A-T1.nc", "b-A-T2.nc", "b-B-T1.nc", "b-B-T2.nc"}));
  const testing::RunResult none = runCli({"--job", "two-sided", "-o", dir.file("c.nc")});
  EXPECT_NE(none.status, 0);
  EXPECT_NE(none.err.find("the two-sided job mills a plank: give its thickness"), std::string::npos) << none.err;
}

}  // namespace
}  // namespace ventaro
