#include "machine/controller.h"

#include "gcode/program_bytes.h"

namespace ventaro {

std::optional<Controller> controllerByName(std::string_view name) {
  if (name == "plain") return Controller::Plain;
  if (name == "linuxcnc") return Controller::LinuxCnc;
  if (name == "grbl") return Controller::Grbl;
  return std::nullopt;
}

std::string_view controllerName(Controller controller) {
  switch (controller) {
    case Controller::Plain:
      return "plain";
    case Controller::LinuxCnc:
      return "linuxcnc";
    case Controller::Grbl:
      return "grbl";
  }
  return "plain";
}

std::size_t savedLength(std::string_view line) { return toWindows1252(line).size(); }

}  // namespace ventaro
