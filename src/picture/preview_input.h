// What the preview picture is drawn from, and the picture's format from its
// file name. Qt-free: the command line checks the name before the run.
#pragma once

#include <stdexcept>
#include <string_view>

#include "blade/design_record.h"
#include "check/program_moves.h"

namespace ventaro {

// The block the blade is cut from, in millimetres.
struct PreviewExtent {
  double stockWidthMm;
  double hubMm;
  double tipMm;
};

PreviewExtent previewExtent(const BladeParameters& p);

struct PreviewInput {
  const DesignRecord* record;  // the stations the computation placed
  const ProgramMoves* moves;   // the moves as the program writes them
  double stockWidthMm;
  double hubMm;
  double tipMm;
};

PreviewInput previewInput(const DesignRecord& record, const ProgramMoves& moves, const BladeParameters& p);

enum class PreviewFormat { Svg, Png };

class PreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// From the file name's extension, ".svg" or ".png" in any case; raises
// PreviewError for any other name.
PreviewFormat previewFormat(std::string_view path);

}  // namespace ventaro
