#include "gcode/gcode_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>

#include "core/number_text.h"
#include "gcode/program_bytes.h"

namespace ventaro {

namespace {

char* put(char* p, std::string_view text) {
  std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

// A large program's text is megabytes of memory that the process has
// usually never touched, and the system would map it page by page as the
// lines reach it, a trap each time. Asking for the whole range at once costs
// one call. Memory used before (a window computing again) is mapped
// already, and walking it would be time lost, so only a range whose last
// page is not yet there is asked for. Where the system knows neither call,
// the pages come one by one as before.
void prefault(char* begin, std::size_t bytes) {
#if defined(MADV_POPULATE_WRITE) && defined(__linux__)
  constexpr std::uintptr_t kPage = 4096;
  if (bytes < 64 * kPage) return;
  const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(kPage - 1);
  unsigned char mapped = 1;
  if (mincore(reinterpret_cast<void*>(last - kPage), kPage, &mapped) != 0 || (mapped & 1) != 0) return;
  (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
  (void)begin, (void)bytes;
#endif
}

}  // namespace

void GcodeWriter::grow(std::size_t need) {
  const std::size_t capacity = std::max(need, 2 * capacity_);
  if (form_ == Form::Text) {
    text_.resize(capacity);
    base_ = text_.data();
    capacity_ = text_.size();
  } else {
    file_.setSize(size_);
    file_.reserve(capacity);
    base_ = file_.data();
    capacity_ = file_.capacity();
  }
}

char* GcodeWriter::putText(char* p, std::string_view text) const {
  if (form_ == Form::Text) return put(p, text);
  // Never longer than the text: a character takes one byte in the file.
  return put(p, toWindows1252(text));
}

char* GcodeWriter::startLine(std::size_t bytes) {
  const std::size_t need = size_ + kLineBreak.size() + bytes + kMoveRoom;
  if (need > capacity_) grow(need);
  char* p = base_ + size_;
  return size_ == 0 ? p : put(p, kLineBreak);
}

void GcodeWriter::line(std::string_view words) { finishLine(putText(startLine(words.size()), words)); }

void GcodeWriter::comment(std::string_view text, bool trailingBlank) {
  char* p = startLine(text.size() + 5);
  p = put(p, "( ");
  p = putText(p, text);
  finishLine(put(p, trailingBlank ? " ) " : " )"));
}

void GcodeWriter::programStart() { line("G64"); }

void GcodeWriter::toolCall(int tool) { line("T" + std::to_string(tool)); }

void GcodeWriter::feed(std::string_view text, Field field) {
  (void)field;
  char* p = startLine(text.size() + 1);
  *p++ = 'F';
  finishLine(putText(p, text));
}

void GcodeWriter::rapidMove(float x, const CoordWord& z) {
  std::string words = "G0 X";
  appendNumberText(words, x);
  words += " Z";
  words += z.text();
  line(words);
}

void GcodeWriter::expectMoves(std::size_t count) {
  // A move line takes at most 28 bytes with its line break.
  const std::size_t need = size_ + count * 28 + 4096;
  if (need <= capacity_) return;
  if (form_ == Form::File) {
    grow(need);  // never filled, and its pages come as it is written
    return;
  }
  text_.reserve(need);
  prefault(text_.data() + text_.size(), need - text_.size());
  text_.resize(need);
  base_ = text_.data();
  capacity_ = text_.size();
}

std::string GcodeWriter::take() {
  if (form_ == Form::File) return std::string(takeFile().view());
  text_.resize(size_);
  std::string text = std::move(text_);
  text_.clear();
  base_ = nullptr;
  size_ = capacity_ = 0;
  return text;
}

FileBytes GcodeWriter::takeFile() {
  if (form_ == Form::Text) return FileBytes(toProgramFileBytes(take()));
  // One line end after the last line; an empty program is an empty file.
  if (size_ != 0) {
    if (size_ + kLineBreak.size() > capacity_) grow(size_ + kLineBreak.size());
    size_ = static_cast<std::size_t>(put(base_ + size_, kLineBreak) - base_);
  }
  file_.setSize(size_);
  FileBytes bytes = std::move(file_);
  file_ = FileBytes();
  base_ = nullptr;
  size_ = capacity_ = 0;
  return bytes;
}

}  // namespace ventaro
