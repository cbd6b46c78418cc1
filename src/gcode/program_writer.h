// What a computation writes, one operation at a time in the order of the
// program. The G-code writer (gcode_writer.h) turns them into the plain
// program's text; a controller profile is a writer too: it adds its controller's words
// around the same operations and hands them on to a G-code writer, so no
// program text is ever read back or rewritten.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/run_error.h"
#include "gcode/text_conventions.h"

namespace ventaro {

class ProgramWriter {
 public:
  virtual ~ProgramWriter() = default;
  // A comment line around `text`, which holds no parenthesis and no line
  // break. The finishing tool's comment line ends in a blank after its
  // closing parenthesis (`trailingBlank`).
  virtual void comment(std::string_view text, bool trailingBlank) = 0;
  // Before the first tool: the path mode.
  virtual void programStart() = 0;
  virtual void toolCall(int tool) = 0;
  // The feed field's text, empty or a number with blanks around it allowed.
  virtual void feed(std::string_view text, Field field) = 0;
  virtual void linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) = 0;
  // To X (its whole number text) and Z; Y stays where it is.
  virtual void rapidMove(float x, const CoordWord& z) = 0;
  // Before the block of tool `tool`, whose diameter text is given: the
  // operator fits it.
  virtual void pause(int tool, std::string_view diameter) = 0;
  virtual void programEnd() = 0;
  // About this many move lines follow: room can be made at once.
  virtual void expectMoves(std::size_t count) { (void)count; }
};

}  // namespace ventaro
