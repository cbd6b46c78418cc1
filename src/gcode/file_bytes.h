// The bytes of a file on their way to disk: a short text as a string, or a
// whole program written straight into memory of its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ventaro {

// A program of a thousand stations is megabytes that a fresh process has
// never touched. A string would be filled with zeros before the first line
// is written, and the system would map its memory four kilobytes at a time,
// a trap for each. Large buffers are mapped for themselves instead, aligned
// so that the system can back them with huge pages where it offers them
// (two traps for a 3 MB program), and are never filled before they are
// written. Small ones come from the heap.
class FileBytes {
 public:
  FileBytes() = default;
  // Implicit: every output that is text already is taken as it stands.
  FileBytes(std::string text) : text_(std::move(text)) {}  // NOLINT(google-explicit-constructor)
  FileBytes(const char* text) : text_(text) {}             // NOLINT(google-explicit-constructor)
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&& other) noexcept;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes();

  std::string_view view() const { return raw_ ? std::string_view(raw_, size_) : std::string_view(text_); }
  bool operator==(std::string_view other) const { return view() == other; }

  // For a writer filling the buffer: room for at least `capacity` bytes,
  // the first `size()` kept; what lies beyond them is undefined until
  // written. Throws std::bad_alloc when the memory cannot be had.
  void reserve(std::size_t capacity);
  char* data() { return raw_; }
  std::size_t capacity() const { return capacity_; }
  // The bytes written so far, at most the capacity.
  void setSize(std::size_t size) { size_ = size; }
  std::size_t size() const { return raw_ ? size_ : text_.size(); }

 private:
  void release();

  std::string text_;
  char* raw_ = nullptr;  // a writer's buffer, from the heap or mapped
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t mapped_ = 0;  // the length of the mapping; 0 for heap memory
};

}  // namespace ventaro
