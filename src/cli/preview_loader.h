// The preview picture drawn by the preview module, which ventaro-gcode loads
// from its own folder on first use: only a run with --preview brings in Qt.
#pragma once

#include <string>
#include <string_view>

#include "machining/design_record.h"
#include "machining/preview_input.h"

namespace ventaro::cli {

// The module's path: the folder of the running program and the module's
// file name.
std::string previewModulePath();

// The picture's file bytes. Raises PreviewError when the module cannot be
// loaded or cannot draw the picture.
std::string previewThroughModule(const DesignRecord& record, std::string_view program, const JobFields& fields,
                                 PreviewFormat format);

}  // namespace ventaro::cli
