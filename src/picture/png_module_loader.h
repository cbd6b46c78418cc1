// PNG pictures without linking Qt: the SVG preview rasterised by the PNG
// module, which the running program loads from its own folder on first use,
// so only a run that asks for a PNG picture brings in Qt. A build without Qt has no module and
// refuses PNG pictures.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// Whether this build has the module: a build without Qt has none.
bool pngModuleBuilt();

// The PNG file's bytes of the SVG picture `svg`. Raises PreviewError when
// the module is missing or cannot draw the picture.
std::string pngFromSvg(std::string_view svg);

}  // namespace ventaro
