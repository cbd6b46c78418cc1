// Writing the program bytes where the user asked for them. A G-code file
// that is cut short still looks like a program to a controller, so every
// write is checked, and a file is replaced only by a complete new one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ventaro::cli {

// Writes `bytes` to `path` so that the path holds either its old content or
// all of the new: the bytes go to a temporary file in the same folder, which
// is flushed to disk and then renamed over the target. On any failure the
// temporary file is removed and the target is left as it was. An existing
// regular target keeps its permission bits; a symbolic link is followed. A
// target that is a device or a pipe (/dev/null, /dev/stdout) cannot be
// replaced, so it is written directly. Returns the error text on failure:
// cannot write "PATH": REASON.
std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes);

// Writes `bytes` to standard output, checking every write (a closed standard
// output gives "Bad file descriptor", a full device "No space left on
// device"). Returns the error text on failure.
std::optional<std::string> writeStandardOutput(std::string_view bytes);

}  // namespace ventaro::cli
