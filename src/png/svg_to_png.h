// The PNG picture of an SVG picture: painted at the SVG's own size onto
// white. Used by the PNG module of ventaro-gcode and by the window, so both
// write the same PNG bytes. Needs a QGuiApplication.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// The PNG file's bytes. Raises std::runtime_error when the SVG cannot be
// read or the PNG cannot be encoded.
std::string svgToPng(std::string_view svg);

}  // namespace ventaro
