// The design file: a readable JSON text holding everything that decides a
// program, so that a design can be put away and made again byte for byte
// by the window or the command line. It keeps every job field's text
// exactly as typed ("3.360" stays "3.360", never the number it stands
// for), the two station counts as they stood, and the machine settings.
// The output folder and file name are not part of a design.
//
//   {
//     "format": "ventaro-design",
//     "version": 1,
//     "fields": { "tsr": "6", "diameter": "3.36", ... },
//     "machine": {
//       "controller": "plain", "job": "plain",
//       "shop": { "rough-shape": "flat", "fin-shape": "ball",
//                 "rough-rpm": 12000.0, ..., "block-top": null }
//     }
//   }
//
// A block top of null is worked out from the design when the job runs. Keys a reader does not
// know are ignored, so a later version may add some; a file of another
// format version is refused.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/job_parameters.h"
#include "machine/machine_settings.h"

namespace ventaro {

// Version 2 adds the blade's design options and what its performance is
// worked out for; a design without them is still written as version 1,
// which every version reads.
inline constexpr int kDesignFormatVersion = 2;

struct Design {
  JobFields fields;
  MachineSettings machine;
};

// A design that cannot be read or written, with the file and the problem.
// what(): cannot read the design "FILE": PROBLEM
class DesignError : public std::runtime_error {
 public:
  DesignError(std::string file, std::string problem, bool reading = true);

  const std::string& file() const { return file_; }
  const std::string& problem() const { return problem_; }

 private:
  std::string file_;
  std::string problem_;
};

// The key of a job field in the file ("diameter", "hub-radius").
std::string_view designKey(Field field);

// Reads a design from its text; `file` names it in the error. Raises
// DesignError for a text that is not JSON, not a design, of another format
// version, with a field missing or of the wrong type, with an unknown
// controller, job or tool shape, the shop job with the plain controller, a
// number too large to hold, or a text holding a line break.
Design parseDesign(std::string_view text, const std::string& file);

// Reads the file at `path` and parses it. Raises DesignError, with the
// system's reason where the file cannot be opened or read, for anything but
// a regular file or a pipe, and for a file larger than 1 MiB.
Design readDesignFile(const std::string& path);

// The file's text, two-space indented, ending in a line break. Raises
// DesignError (naming `file`) for a text that is not valid UTF-8 or holds
// a line break, which the file could not give back as it was.
std::string designText(const Design& design, const std::string& file);

}  // namespace ventaro
