// The plain program's writer: the lines of the operations, joined by CR LF,
// with no line break at either end. It stands at the end of every chain of
// writers.
#pragma once

#include <string>
#include <string_view>

#include "gcode/program_writer.h"

namespace ventaro {

// The pause and the program end write nothing in the plain program: the
// operator stops and ends the job on the controller.
class GcodeWriter final : public ProgramWriter {
 public:
  void comment(std::string_view text, bool trailingBlank) override;
  void programStart() override;
  void toolCall(int tool) override;
  void feed(std::string_view text, Field field) override;
  void linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) override;
  void rapidMove(float x, const CoordWord& z) override;
  void pause(int tool, std::string_view diameter) override { (void)tool, (void)diameter; }
  void programEnd() override {}
  void expectMoves(std::size_t count) override;

  // A line of words as given, for the words only a controller profile adds.
  void line(std::string_view words);

  // The text written so far, handed over; the writer is empty afterwards.
  std::string take();

 private:
  // Room for `bytes` more at the end; returns where they go, after the line
  // break that starts every line but the first.
  char* startLine(std::size_t bytes);
  void finishLine(const char* end) { size_ = static_cast<std::size_t>(end - text_.data()); }

  std::string text_;  // written up to size_; beyond it, room
  std::size_t size_ = 0;
};

}  // namespace ventaro
