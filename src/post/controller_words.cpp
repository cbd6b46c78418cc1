#include "post/controller_words.h"

#include "machine/machine_limits.h"

namespace ventaro {

std::string spindleStart(double rpm) { return "M3 S" + machineNumber(rpm); }

std::string toolChange(Controller controller, int tool) {
  const std::string number = std::to_string(tool);
  return controller == Controller::Grbl ? "T" + number : "T" + number + " M6 G43 H" + number;
}

std::size_t lineLimit(Controller controller) {
  return controller == Controller::Grbl ? kGrblLineLimit : kLinuxCncLineLimit;
}

std::string lineTooLong(Controller controller, std::string_view line) {
  if (savedLength(line) <= lineLimit(controller)) return {};
  return "the " + std::string(controllerName(controller)) + " program cannot hold the line \u201c" + std::string(line) +
         "\u201d: the controller takes at most " + std::to_string(lineLimit(controller)) + " characters per line";
}

}  // namespace ventaro
