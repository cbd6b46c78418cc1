// The program reader of the check: the words of every program form this
// system writes, and the refusal of motion it cannot follow.
#include <gtest/gtest.h>

#include "check/program_reader.h"

namespace ventaro {
namespace {

TEST(Toolpath, ReadsModalMovesToolCallsAndLineNumbers) {
  const std::string program =
      "( Blade Diameter = 3.36m )\r\n"
      "G21 G90 G17 G94\r\n"
      "G64 P0.01\r\n"
      "G0 Z270\r\n"  // X and Y unknown: no move yet
      "T1 M6 G43 H1\r\n"
      "M3 S12000\r\n"
      "G0 X10 Y20\r\n"  // the first move with all axes known
      "F300\r\n"
      "G1 Z5.5\r\n"
      "X12 (MSG, a comment after the word)\r\n"
      "(MSG, Insert T2)\r\n"
      "M0\r\n"
      "T2\r\n"
      "G0X1Y2Z3";
  const auto moves = readToolpath(program);
  ASSERT_EQ(moves.size(), 4u);
  struct Want {
    int line;
    bool rapid;
    int tool;
    bool fromKnown;
    double fx, fy, fz, tx, ty, tz;
  };
  const Want want[] = {
      {7, true, 1, false, 0, 0, 270, 10, 20, 270},
      {9, false, 1, true, 10, 20, 270, 10, 20, 5.5},
      {10, false, 1, true, 10, 20, 5.5, 12, 20, 5.5},
      {14, true, 2, true, 12, 20, 5.5, 1, 2, 3},
  };
  for (std::size_t k = 0; k < moves.size(); ++k) {
    const ToolpathMove& m = moves[k];
    const Want& w = want[k];
    EXPECT_EQ(m.line, w.line) << k;
    EXPECT_EQ(m.rapid, w.rapid) << k;
    EXPECT_EQ(m.tool, w.tool) << k;
    EXPECT_EQ(m.fromKnown, w.fromKnown) << k;
    if (m.fromKnown) {
      EXPECT_EQ(m.from.x, w.fx) << k;
      EXPECT_EQ(m.from.y, w.fy) << k;
      EXPECT_EQ(m.from.z, w.fz) << k;
    }
    EXPECT_EQ(m.to.x, w.tx) << k;
    EXPECT_EQ(m.to.y, w.ty) << k;
    EXPECT_EQ(m.to.z, w.tz) << k;
  }
  EXPECT_EQ(moves[1].text, "G1 Z5.5");
  EXPECT_EQ(moves[3].text, "G0X1Y2Z3");
}

TEST(Toolpath, APauseThatNamesTheToolChangesIt) {
  // A controller without a tool changer: the operator is asked to fit the
  // tool, and no T word follows.
  const std::string program =
      "G0 Z270\n"
      "( Pause: fit T1, flat end mill 37 mm, set Z zero, then resume )\n"
      "M0\n"
      "G0 X1 Y2\n"
      "( Pause: fit finishing tool T2, 20 mm, then resume )\n"
      "M0\n"
      "G1 Z5\n"
      "(MSG,Fit T12: ball-nose 6 mm)\n"
      "G1 Y9\n";
  const auto moves = readToolpath(program);
  ASSERT_EQ(moves.size(), 3u);
  EXPECT_EQ(moves[0].tool, 1);
  EXPECT_EQ(moves[1].tool, 2);
  EXPECT_EQ(moves[2].tool, 12);
}

TEST(Toolpath, RefusesMotionItCannotFollow) {
  const std::pair<std::string, std::string> cases[] = {
      {"T1\nG1 X0 Y0 Z0\nG2 X1 Y1 I1 J0", "line 3: G2 is not followed by the check (only G0 and G1 moves)"},
      {"G91\nG1 X1", "line 1: G91 is not followed by the check (only G0 and G1 moves)"},
      {"G20", "line 1: G20 is not followed by the check (only G0 and G1 moves)"},
      {"G1 X1 A5", "line 1: the word A is not followed by the check"},
      {"X1 Y2 Z3", "line 1: a move before any G0 or G1"},
      {"G0 Z50\nG0 X1 Y2", "line 2: a move before any tool call (T word or a pause that names the tool to fit)"},
      {"( Pause: fit the tool )\nM0\nG0 X1 Y2 Z3",
       "line 3: a move before any tool call (T word or a pause that names the tool to fit)"},
      {"G1 X1 (open", "line 1: a comment is not closed"},
      {"G1 X", "line 1: the word \"X\" has no number"},
      {"G1 X1 #5", "line 1: unexpected character '#'"},
  };
  for (const auto& [program, message] : cases) {
    try {
      (void)readToolpath(program);
      ADD_FAILURE() << "accepted: " << program;
    } catch (const ToolpathError& e) {
      EXPECT_EQ(std::string(e.what()), message) << program;
    }
  }
}

}  // namespace
}  // namespace ventaro
