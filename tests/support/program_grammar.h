// A checker of the grammar of our G-code programs, for tests and fuzzers:
// every line is one of six kinds (comment, path mode, tool call, feed, linear
// move, rapid move), lines are joined by CR LF with no line break at either
// end, and every coordinate word is a number text cut to six characters (the
// rapid move's X alone is written whole).
//
// The checks return a description of the first problem found, or the empty
// text when there is none, so that a failing test says what is wrong:
//   EXPECT_EQ(ventaro::grammar::programProblem(program), "");
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ventaro::grammar {

enum class LineKind { Comment, PathMode, ToolCall, Feed, LinearMove, RapidMove };

// The kind of one line (without its line break), or none if it is none of
// the six kinds.
std::optional<LineKind> lineKind(std::string_view line);

// A whole general number text: "0", "200", "-12.3456789", "1E-05",
// "-2.5E+20"; no trailing zeros, no trailing point, no "+", no blanks.
bool isNumberText(std::string_view word);

// A coordinate text: a number text of up to six characters, or the first
// six characters of a longer one ("12345.", "-1234.", "0.1234").
bool isCoordText(std::string_view word);

// The words of a move line, as written ("200.00"). A rapid move has no Y.
struct Move {
  bool rapid = false;
  std::string_view x, y, z;
};
std::optional<Move> parseMove(std::string_view line);

// The lines of a program text, split at each CR LF.
std::vector<std::string_view> programLines(std::string_view program);

// Line grammar only: the joins and every line's kind and words.
std::string programProblem(std::string_view program);

// The counts a program is made of: passes and the number of stations
// (not the last index) of each sweep.
struct ProgramShape {
  int passes = 0;
  int roughStations = 0;
  int finishStations = 0;
};

// 10 + P * (2 + 18 * roughStations) + 3 + 18 * finishStations.
std::size_t expectedLineCount(const ProgramShape& shape);

// The grammar and the order of the whole program: five header comments, the
// roughing tool block, each pass as its comment, 18 moves per station (one X
// per station) and a rapid move, the finishing tool block, then 18 finishing
// moves per station. Every pass visits the same X and Y as the first one.
std::string programProblem(std::string_view program, const ProgramShape& shape);

}  // namespace ventaro::grammar
