// The straight moves of a program as a machine would run them, read back
// from the program's text for the material-removal check. It understands the
// words this system's programs use (the plain program and the linuxcnc,
// grbl and shop forms): G0/G1 (modal), X/Y/Z (modal), tool calls "T1",
// "T1 M6 G43 H1" or an operator pause that names the tool to fit ("( Pause:
// fit T2, ... )", for a controller without a tool changer), comments
// "( ... )" and "(MSG, ...)", and the feed, speed,
// M and setup words, which do not move the tool. A word that would move the
// tool in a way the check cannot follow (arcs, inches, incremental mode, a
// fourth axis) is refused rather than guessed.
#pragma once

#include <stdexcept>
#include <string_view>
#include <vector>

namespace ventaro {

struct Point3 {
  double x = 0, y = 0, z = 0;
};

struct ToolpathMove {
  int line = 0;           // 1-based line number in the program
  std::string_view text;  // the line as written (without its line break)
  bool rapid = false;     // G0; otherwise G1
  int tool = 0;           // the tool in the spindle (a move before any tool call is refused)
  // Where the move starts; false for the first move after the start of the
  // program, where the machine's position is not known. Such a move is
  // checked at its end point only.
  bool fromKnown = false;
  Point3 from, to;
};

class ToolpathError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every move whose end point is known on all three axes, in program order.
// A move that leaves an axis unknown (e.g. "G0 Z50" as the first move) only
// records the axes it sets. Lines are split at LF, a CR before it dropped.
// Raises ToolpathError, naming the line, for a word the check cannot follow
// and for a move before any tool is known.
std::vector<ToolpathMove> readToolpath(std::string_view program);

}  // namespace ventaro
