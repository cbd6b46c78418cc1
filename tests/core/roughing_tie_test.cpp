// The rapid move after each roughing pass goes back over the highest point
// of the roughing stations. Of two equally high points the first one met
// keeps the move's X; a later point must rise strictly above it.
#include <string>

#include "gcode/gcode_writer.h"
#include "gcode/roughing.h"
#include "test_support.h"

namespace ventaro {
namespace {

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(RoughingTie, FirstOfTheHighestPointsKeepsTheRapidMove) {
  // Two stations of one section shape, untwisted, at radii 0.3 and 0.5 m;
  // the second one's leading edge is at `secondOffsetZ`.
  const struct {
    double secondOffsetZ;
    const char* rapidX;
  } cases[] = {
      {0.01, "300"},    // equally high: the first station met
      {0.0105, "500"},  // higher: the second station
      {0.0095, "300"},  // lower: the first station
  };
  for (const auto& c : cases) {
    const JobFields fields;  // three passes
    GcodeWriter out;
    RunState run(fields, test::table(), nullptr, out);
    run.StockAllowance = formStockAllowance(run.p);
    run.stations->at(0, Sweep::Roughing) = BladeStation{0.3f, 20.0, 0.0, 0.01, 0.0f};
    run.stations->at(1, Sweep::Roughing) = BladeStation{0.5f, 20.0, 0.0, c.secondOffsetZ, 0.0f};
    roughingWalk(run, 1);
    writePasses(run);
    const std::string program = out.take();
    EXPECT_EQ(count(program, "\r\nG0 X" + std::string(c.rapidX) + " Z"), 3u) << c.secondOffsetZ << "\n" << program;
    EXPECT_EQ(count(program, "\r\nG0 X"), 3u);
  }
}

}  // namespace
}  // namespace ventaro
