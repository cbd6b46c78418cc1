// The plain program's writer: the lines of the operations, joined by CR LF,
// with no line break at either end. It stands at the end of every chain of
// writers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "gcode/file_bytes.h"
#include "gcode/program_writer.h"

namespace ventaro {

// The pause and the program end write nothing in the plain program: the
// operator stops and ends the job on the controller.
class GcodeWriter final : public ProgramWriter {
 public:
  // The program as text (UTF-8), or as the bytes of its file: Windows-1252
  // with one CR LF after the last line, the bytes programFileBytes makes of
  // the text, written without the text ever being held.
  enum class Form { Text, File };
  explicit GcodeWriter(Form form = Form::Text) : form_(form) {}

  void comment(std::string_view text, bool trailingBlank) override;
  void programStart() override;
  void toolCall(int tool) override;
  void feed(std::string_view text, Field field) override;
  // The most frequent line by far, inline for the loops that write it.
  void linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) override;
  void rapidMove(float x, const CoordWord& z) override;
  void pause(int tool, std::string_view diameter) override { (void)tool, (void)diameter; }
  void programEnd() override {}
  void expectMoves(std::size_t count) override;

  // A line of words as given, for the words only a controller profile adds.
  void line(std::string_view words);

  // What was written so far, handed over; the writer is empty afterwards.
  // The text of a Text writer; the file bytes of a File writer.
  std::string take();
  FileBytes takeFile();

 private:
  // A move line is at most "\r\nG1 X" and three words of six characters
  // with their letters; each word is copied as its eight bytes, so room is
  // kept for the last one's overhang.
  static constexpr std::size_t kMoveRoom = 48;

  // Room for `bytes` more at the end; returns where they go, after the line
  // break that starts every line but the first.
  char* startLine(std::size_t bytes);
  void finishLine(const char* end) { size_ = static_cast<std::size_t>(end - base_); }
  // Room for `need` bytes in all.
  void grow(std::size_t need);
  // A text that the program copies, in the writer's form.
  char* putText(char* p, std::string_view text) const;

  Form form_;
  std::string text_;      // a Text writer's buffer
  FileBytes file_;        // a File writer's
  char* base_ = nullptr;  // the buffer: written up to size_; beyond it, room up to capacity_
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

inline void GcodeWriter::linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) {
  // The line break (none before the first line), the letters and the three
  // words, each copied as its eight bytes and cut to its size.
  if (size_ + kMoveRoom > capacity_) grow(size_ + kMoveRoom);
  char* p = base_ + size_;
  const auto putWord = [](char* at, const CoordWord& word) {
    const std::uint64_t bytes = word.bytes();
    std::memcpy(at, &bytes, sizeof bytes);
    return at + word.size();
  };
  std::memcpy(p, "\r\nG1 X", 6);
  if (size_ == 0) std::memmove(p, p + 2, 4);
  p = putWord(p + (size_ == 0 ? 4 : 6), x);
  std::memcpy(p, " Y", 2);
  p = putWord(p + 2, y);
  std::memcpy(p, " Z", 2);
  finishLine(putWord(p + 2, z));
}

}  // namespace ventaro
