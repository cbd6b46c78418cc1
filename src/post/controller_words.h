// The words every program for a machine says about its tools, its spindle
// and its end, and the line each controller reads: one place for both the
// plain job's controller forms and the shop job, so that a controller's
// rule is kept, or mended, once.
#pragma once

#include <string>
#include <string_view>

#include "machine/controller.h"

namespace ventaro {

inline constexpr std::string_view kSpindleStop = "M5";
inline constexpr std::string_view kProgramStop = "M0";
inline constexpr std::string_view kProgramEnd = "M2";

// "M3 S12000": the spindle turning clockwise at `rpm`, a plain decimal.
// A job's first line: the XY plane, millimetres, no cutter radius
// compensation, no tool length offset (each tool change applies its own), the
// first work offset, no canned cycle, absolute coordinates, feeds per
// minute. Whatever state the controller was left in, the job starts from
// this one.
inline constexpr std::string_view kSafeStart = "G17 G21 G40 G49 G54 G80 G90 G94";

std::string spindleStart(double rpm);

// The tool change of `tool`: on LinuxCNC "T1 M6 G43 H1" (change it and
// apply its length); GRBL has no tool changer and no tool table, and takes
// the T word alone.
std::string toolChange(Controller controller, int tool);

// The longest line the controller reads (linuxcnc or grbl), and a line of
// the program checked against it: empty when it fits, else why not.
std::size_t lineLimit(Controller controller);
std::string lineTooLong(Controller controller, std::string_view line);

}  // namespace ventaro
