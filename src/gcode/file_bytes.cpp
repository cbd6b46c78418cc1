#include "gcode/file_bytes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace ventaro {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From this size on a buffer is mapped for itself: a megabyte is about a
// third of the largest program, and far more than any other output.
constexpr std::size_t kMapFrom = std::size_t{1} << 20;

#if defined(__linux__)
// A mapping of `length` (a whole number of huge pages) that starts on a huge
// page boundary, or null. Recent kernels align such a mapping by themselves;
// otherwise a larger one is made and its ends are given back.
char* mapAligned(std::size_t length) {
  void* first = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (first == MAP_FAILED) return nullptr;
  if (reinterpret_cast<std::uintptr_t>(first) % kHugePage == 0) return static_cast<char*>(first);
  ::munmap(first, length);
  void* wide = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (wide == MAP_FAILED) return nullptr;
  char* start = static_cast<char*>(wide);
  const std::size_t head = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
  if (head != 0) ::munmap(start, head);
  ::munmap(start + head + length, kHugePage - head);
  return start + head;
}

// Whether the system backs memory marked for it with huge pages: its
// transparent huge pages are "always" or "madvise", not "never" (or absent).
bool hugePagesOffered() {
  static const bool offered = [] {
    const int fd = ::open("/sys/kernel/mm/transparent_hugepage/enabled", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char text[128] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    return n > 0 && (std::strstr(text, "[always]") != nullptr || std::strstr(text, "[madvise]") != nullptr);
  }();
  return offered;
}
#endif

}  // namespace

FileBytes::FileBytes(FileBytes&& other) noexcept
    : text_(std::move(other.text_)),
      raw_(std::exchange(other.raw_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
  if (this != &other) {
    release();
    text_ = std::move(other.text_);
    raw_ = std::exchange(other.raw_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

FileBytes::~FileBytes() { release(); }

void FileBytes::release() {
#if defined(__linux__)
  if (mapped_ != 0) {
    ::munmap(raw_, mapped_);
    raw_ = nullptr;
  }
#endif
  std::free(raw_);
  raw_ = nullptr;
  size_ = capacity_ = mapped_ = 0;
}

void FileBytes::reserve(std::size_t capacity) {
  if (raw_ && capacity <= capacity_) return;
  const std::string_view kept = view();
#if defined(__linux__)
  if (capacity >= kMapFrom) {
    const std::size_t length = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    char* mapped = mapAligned(length);
    if (mapped == nullptr) throw std::bad_alloc();
    // On huge pages the buffer takes two traps as it is written. Without
    // them it would take one for every four kilobytes: they are asked for
    // in one call instead, as far as the writer said it needs.
    const bool huge = hugePagesOffered() && ::madvise(mapped, length, MADV_HUGEPAGE) == 0;
#if defined(MADV_POPULATE_WRITE)
    if (!huge) (void)::madvise(mapped, (capacity + 4095) / 4096 * 4096, MADV_POPULATE_WRITE);
#else
    (void)huge;
#endif
    std::memcpy(mapped, kept.data(), kept.size());
    const std::size_t size = kept.size();
    release();
    text_.clear();
    raw_ = mapped;
    size_ = size;
    capacity_ = length;
    mapped_ = length;
    return;
  }
#endif
  // Below the mapping size, so the buffer is still on the heap (or text).
  char* grown = nullptr;
  if (raw_) {
    grown = static_cast<char*>(std::realloc(raw_, capacity));
    if (grown == nullptr) throw std::bad_alloc();
  } else {
    grown = static_cast<char*>(std::malloc(capacity == 0 ? 1 : capacity));
    if (grown == nullptr) throw std::bad_alloc();
    std::memcpy(grown, kept.data(), kept.size());
    size_ = kept.size();
    text_.clear();
  }
  raw_ = grown;
  capacity_ = capacity;
}

}  // namespace ventaro
