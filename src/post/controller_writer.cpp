#include "post/controller_writer.h"

#include <string>

namespace ventaro {

ControllerWriter::ControllerWriter(Controller controller, GcodeWriter& out, const ShopSettings& settings)
    : out_(out), post_(makePost(controller, out)), settings_(settings) {}

// The tool leaves the block before the spindle stops, and before the
// operator reaches for it even when it is stopped.
void ControllerWriter::retractAndStop() {
  post_->retractAbove(settings_.clearance);
  if (!spindleOn_) return;
  post_->spindleOff();
  spindleOn_ = false;
}

void ControllerWriter::toolCall(int tool) {
  if (spindleOn_) retractAndStop();
  post_->toolSelect(tool);
  post_->spindleOn(tool == 1 ? settings_.roughRpm : settings_.finRpm);
  spindleOn_ = true;
}

void ControllerWriter::pause(int tool, std::string_view diameter) {
  retractAndStop();
  const std::string which = tool == 1 ? "roughing" : "finishing";
  post_->pause(which + " tool T" + std::to_string(tool) + ", " + std::string(diameter) + " mm");
}

void ControllerWriter::programEnd() {
  retractAndStop();
  post_->end();
}

}  // namespace ventaro
