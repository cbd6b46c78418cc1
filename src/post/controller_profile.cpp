#include "post/controller_profile.h"

#include "gcode/gcode_writer.h"
#include "post/controller_writer.h"

namespace ventaro {

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
