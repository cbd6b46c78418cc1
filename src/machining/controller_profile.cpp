#include "machining/controller_profile.h"

#include "gcode/gcode_writer.h"
#include "gcode/program_bytes.h"
#include "machining/controller_writer.h"

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

namespace {

void writeFor(Controller controller, const JobFields& fields, const SectionTable& table, ComputeObserver* observer,
              const ShopSettings& settings, GcodeWriter& out) {
  if (controller == Controller::Plain) {
    compute(fields, table, out, observer);
  } else {
    ControllerWriter profile(controller, out, settings);
    compute(fields, table, profile, observer);
  }
}

}  // namespace

std::string programFor(Controller controller, const JobFields& fields, const SectionTable& table,
                       ComputeObserver* observer, const ShopSettings& settings) {
  GcodeWriter out;
  writeFor(controller, fields, table, observer, settings, out);
  return out.take();
}

FileBytes programFileFor(Controller controller, const JobFields& fields, const SectionTable& table,
                         ComputeObserver* observer, const ShopSettings& settings) {
  GcodeWriter out(GcodeWriter::Form::File);
  writeFor(controller, fields, table, observer, settings, out);
  return out.takeFile();
}

}  // namespace ventaro
