// The preview module's entry point: rebuilds the design record and the
// program's moves from the request and draws the picture with Qt.
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "png/preview.h"
#include "png/preview_abi.h"

namespace ventaro {
namespace {

DesignRecord recordOf(const VentaroPreviewRequest& request) {
  DesignRecord record;
  for (std::size_t i = 0; i < request.stationCount; ++i) {
    const VentaroPreviewStation& s = request.stations[i];
    StationRecord rec;
    rec.index = s.index;
    rec.station = BladeStation{s.radius, s.chordScale, s.twist, s.offsetZ, s.offsetY};
    rec.x = s.x;
    static_assert(VENTARO_PREVIEW_POINTS == SectionTable::kUpper + 1);
    for (std::size_t j = 0; j < rec.points.size(); ++j) rec.points[j] = PlacedPoint{s.points[j].y, s.points[j].z};
    (s.sweep == VENTARO_PREVIEW_FINISHING ? record.finishing : record.roughing).push_back(rec);
  }
  return record;
}

std::string draw(const VentaroPreviewRequest& request) {
  if (request.abiVersion != VENTARO_PREVIEW_ABI_VERSION) {
    throw PreviewError("the preview module does not belong to this ventaro-gcode (interface version " +
                       std::to_string(request.abiVersion) + " asked, " + std::to_string(VENTARO_PREVIEW_ABI_VERSION) +
                       " built)");
  }
  if (request.format != VENTARO_PREVIEW_SVG && request.format != VENTARO_PREVIEW_PNG) {
    throw PreviewError("the preview module was asked for an unknown picture format");
  }
  const DesignRecord record = recordOf(request);
  const ProgramMoves moves = readProgramMoves(std::string_view(request.program, request.programSize));
  const PreviewInput input{&record, &moves, request.stockWidthMm, request.hubMm, request.tipMm};
  return previewBytes(input, request.format == VENTARO_PREVIEW_SVG ? PreviewFormat::Svg : PreviewFormat::Png);
}

}  // namespace
}  // namespace ventaro

extern "C" __attribute__((visibility("default"))) int ventaro_preview_draw(const VentaroPreviewRequest* request,
                                                                           VentaroPreviewSink picture,
                                                                           VentaroPreviewSink error, void* context) {
  // Nothing may unwind into the caller.
  const auto fail = [&](std::string_view text) {
    error(context, text.data(), text.size());
    return 1;
  };
  try {
    const std::string bytes = ventaro::draw(*request);
    picture(context, bytes.data(), bytes.size());
    return 0;
  } catch (const std::bad_alloc&) {
    return fail("out of memory while drawing the preview");
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("the preview could not be drawn");
  }
}

static_assert(std::is_same_v<decltype(&ventaro_preview_draw), VentaroPreviewDraw>);
