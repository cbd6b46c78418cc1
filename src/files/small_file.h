// Reading a small input file (a design, a polar) safely: a regular file or a
// pipe only, and no more than a limit, so that /dev/zero or a large file
// named by mistake does not fill the memory.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ventaro {

// Why a file could not be read, in words for the user.
class SmallFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the whole file; raises SmallFileError with the system's reason, or
// `tooLarge` for a file beyond `limit` bytes.
std::string readSmallFile(const std::string& path, std::size_t limit, std::string_view tooLarge);

}  // namespace ventaro
