#include "picture/preview_input.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace ventaro {

PreviewExtent previewExtent(const BladeParameters& p) {
  return PreviewExtent{p.Max.value() * 1000.0, static_cast<double>(p.HubRad) * 1000.0, p.D.value() * 1000.0 / 2.0};
}

PreviewInput previewInput(const DesignRecord& record, const ProgramMoves& moves, const BladeParameters& p) {
  const PreviewExtent e = previewExtent(p);
  return PreviewInput{&record, &moves, e.stockWidthMm, e.hubMm, e.tipMm};
}

PreviewFormat previewFormat(std::string_view path) {
  const auto dot = path.rfind('.');
  std::string ext(dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "svg") return PreviewFormat::Svg;
  if (ext == "png") return PreviewFormat::Png;
  throw PreviewError("the preview file name must end in .svg or .png: \"" + std::string(path) + "\"");
}

}  // namespace ventaro
