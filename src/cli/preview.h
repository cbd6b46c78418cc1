// The preview picture of one program: the planform (chord and twist along
// the span), the top view of the finishing toolpath over the block, and a
// side view of the roughing passes over the finished surface. Drawn with
// Qt's painter, as SVG (QSvgGenerator) or PNG (QImage).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "cli/design_record.h"
#include "cli/program_moves.h"

namespace ventaro {

struct PreviewInput {
  const DesignRecord* record;  // the stations the computation placed
  const ProgramMoves* moves;   // the moves as the program writes them
  double stockWidthMm;
  double hubMm;
  double tipMm;
};

PreviewInput previewInput(const DesignRecord& record, const ProgramMoves& moves, const JobFields& fields);

enum class PreviewFormat { Svg, Png };

class PreviewError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// From the file name's extension, ".svg" or ".png" in any case; raises
// PreviewError for any other name.
PreviewFormat previewFormat(std::string_view path);

// Text on a picture needs a QGuiApplication: creates one when the process
// has none, on the offscreen platform unless QT_QPA_PLATFORM names another.
void ensureGuiApplication();

// The picture's file bytes; raises PreviewError when it cannot be encoded.
std::string previewBytes(const PreviewInput& input, PreviewFormat format);

}  // namespace ventaro
