// The moves of a program read back from its own text: the coordinates as the
// program writes them (cut to six characters) are what the machine runs, so
// lengths, boxes and pictures are taken from them and not from the unrounded
// geometry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ventaro {

// A range of values met on one axis; empty until a value is added.
struct AxisRange {
  std::optional<double> lo, hi;
  void add(double v);
};

struct Box {
  AxisRange x, y, z;
  void add(const std::optional<double>& px, const std::optional<double>& py, const std::optional<double>& pz);
  void add(const Box& other);
};

struct Move {
  bool rapid;  // G0; otherwise G1
  // Where the move ends; an axis is unknown until a move has set it (a
  // rapid move writes no Y).
  std::optional<double> x, y, z;
};

// The lines between one tool call or pass comment and the next.
struct ProgramSection {
  int tool = 0;          // the tool in the spindle, 0 before the first tool call
  int pass = 0;          // roughing pass number, 0 outside a pass
  std::string feedText;  // the text of the F word in force for its moves ("" when none was written)
  bool feedSeen = false;
  std::vector<Move> moves;
  int cutMoves = 0, rapidMoves = 0;
  double cutLength = 0;    // G1 moves, each from where the move before ended
  double rapidLength = 0;  // G0 moves, likewise
  Box box;                 // end points of all its moves
  Box cutBox;              // end points of its G1 moves
};

struct ProgramMoves {
  int lines = 0;
  std::vector<ProgramSection> sections;
  std::vector<std::string> feedTexts;  // the text after "F" of every feed line, in order
};

// Reads every line: "T<n>" (with any words after it) starts a tool section,
// "( Roughing Pass no.<k> )" a pass section of the current tool, "F<text>"
// sets the feed, "G1"/"G0" lines are moves. Other lines are left alone.
// Lines are split at CR LF (a lone LF is accepted as well).
ProgramMoves readProgramMoves(std::string_view program);

}  // namespace ventaro
