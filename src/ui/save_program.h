// Writing the program file of "Save Gcode".
#pragma once

#include <QString>
#include <string>

namespace ventaro {

struct SaveOutcome {
  bool saved = false;
  QString reason;  // why it failed, in the system's words where it has any
};

// Writes the program (UTF-8, lines joined by CR LF) to `fullPath` as the
// bytes of programFileBytes: Windows-1252, one CR LF after the last line.
// The file is written beside its target and renamed over it only once every
// byte is on disk, so a failure at any step leaves an existing file exactly
// as it was and no partly written file behind. An existing file that the
// user may not write is not replaced, although the folder would allow it.
SaveOutcome saveProgram(const QString& fullPath, const std::string& program);

// "Gcode has been saved to /home/ann/blade.nc"
QString savedMessage(const QString& fullPath);
// "Gcode could not be saved to /home/ann/blade.nc" and the reason below it.
QString notSavedMessage(const QString& fullPath, const QString& reason);

}  // namespace ventaro
