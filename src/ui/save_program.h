// Writing the program file of "Save Gcode".
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "post/shop_program.h"

namespace ventaro {

struct SaveOutcome {
  bool saved = false;
  QString reason;  // why it failed, in the system's words where it has any
};

// Writes the program (UTF-8, lines joined by CR LF) to `fullPath` as the
// bytes of programFileBytes: Windows-1252, one CR LF after the last line.
// The rules are those of every output file (files/output_files.h): the
// file is written beside its target and renamed over it only once every
// byte is on disk, so a failure at any step leaves an existing file exactly
// as it was and no partly written file behind; a write-protected file, or
// one the user may not write although the folder would allow it, is not
// replaced; a replaced file keeps its mode and, for root, its owner.
SaveOutcome saveProgram(const QString& fullPath, const std::string& program);
// A job of one file per tool: each beside the others, named after
// `fullPath` with its suffix before the extension, all or none.
SaveOutcome saveProgramParts(const QString& fullPath, const std::vector<ProgramPart>& parts);
// The files saveProgramParts writes.
QStringList programPartPaths(const QString& fullPath, const std::vector<ProgramPart>& parts);

// "Gcode has been saved to /home/ann/blade.nc"
QString savedMessage(const QString& fullPath);
// "Gcode could not be saved to /home/ann/blade.nc" and the reason below it.
QString notSavedMessage(const QString& fullPath, const QString& reason);

}  // namespace ventaro
