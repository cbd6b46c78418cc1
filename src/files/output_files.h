// Writing the files of a run: the program, and beside it the station table,
// the report and the preview. A G-code file that is cut short still looks
// like a program to a controller, and a program lost to another output of
// the same run is lost work, so all files of a run follow one policy:
//
// - Before anything is written, two outputs that name one file (the same
//   path once links are followed, or the same existing file) are refused.
// - An existing file with no write permission for its owner is
//   write-protected: it is refused for every user, root included, and left
//   as it is. So is a file the system does not let this process open for
//   writing (an immutable file, an access list).
// - Every file goes first to a hidden file beside its target, flushed to
//   disk; only when all of them are complete, and every target is checked
//   once more, are they renamed over their targets. Each replaced file is
//   kept under a second name until every rename has succeeded, so that a
//   failed rename puts back what the ones before it replaced. On any
//   failure no target is created or changed, and the staged files are
//   removed, also when the run is ended by SIGINT, SIGTERM or SIGHUP while
//   it writes. A file size limit ("File too large") and a closed pipe
//   ("Broken pipe") are failures, not the end of the process.
// - A replaced file keeps its permission bits and, where the process may
//   give it away (root), its owner and group. A symbolic link is followed:
//   the file it points to is replaced, and the link stays.
// - A device, a pipe or a socket (/dev/null, a FIFO) cannot be replaced: it
//   is written directly, once every staged file is complete.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gcode/file_bytes.h"

namespace ventaro {

struct OutputError {
  enum class Kind {
    SameFile,  // two outputs name one file: a usage error
    Write,     // a file could not be written
  };
  Kind kind = Kind::Write;
  std::string reason;  // the system's words: "No such file or directory"
  std::string text;    // cannot write "PATH": REASON, or the two paths
};

// The files one run writes, committed together.
class OutputFiles {
 public:
  void add(std::string path, FileBytes bytes);
  // Writes every file added, all or nothing, as described above. Returns
  // the first failure; on success the outputs are cleared.
  std::optional<OutputError> commit();

 private:
  std::vector<std::pair<std::string, FileBytes>> outputs_;
};

// Whether two paths name one existing file (links followed).
bool sameExistingFile(const std::string& a, const std::string& b);

// Writes `bytes` to standard output, checking every write (a closed
// standard output gives "Bad file descriptor", a full device "No space left
// on device"). Returns "cannot write to standard output: REASON" on failure.
std::optional<std::string> writeStandardOutput(std::string_view bytes);

}  // namespace ventaro
