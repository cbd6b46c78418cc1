// The preview picture of one program: the planform (chord and twist along
// the span), the top view of the finishing toolpath over the block, and a
// side view of the roughing passes over the finished surface. Drawn with
// Qt's painter, as SVG (QSvgGenerator) or PNG (QImage).
#pragma once

#include <string>

#include "machining/preview_input.h"

namespace ventaro {

// Text on a picture needs a QGuiApplication: creates one when the process
// has none, on the offscreen platform unless QT_QPA_PLATFORM names another.
void ensureGuiApplication();

// The picture's file bytes; raises PreviewError when it cannot be encoded.
std::string previewBytes(const PreviewInput& input, PreviewFormat format);

}  // namespace ventaro
