#include "post/controller_writer.h"

#include <string>

namespace ventaro {

ControllerWriter::ControllerWriter(Controller controller, GcodeWriter& out, const ShopSettings& settings)
    : out_(out), post_(makePost(controller, out)), settings_(settings) {}

void ControllerWriter::stopSpindle() {
  if (!spindleOn_) return;
  post_->retractAbove(settings_.clearance);
  post_->spindleOff();
  spindleOn_ = false;
}

void ControllerWriter::toolCall(int tool) {
  stopSpindle();
  post_->toolSelect(tool);
  post_->spindleOn(tool == 1 ? settings_.roughRpm : settings_.finRpm);
  spindleOn_ = true;
}

void ControllerWriter::pause(int tool, std::string_view diameter) {
  // The retract comes first even with the spindle stopped: the tool leaves
  // the block before the operator reaches for it.
  if (spindleOn_) {
    stopSpindle();
  } else {
    post_->retractAbove(settings_.clearance);
  }
  const std::string which = tool == 1 ? "roughing" : "finishing";
  post_->pause(which + " tool T" + std::to_string(tool) + ", " + std::string(diameter) + " mm");
}

void ControllerWriter::programEnd() {
  if (spindleOn_) {
    stopSpindle();
  } else {
    post_->retractAbove(settings_.clearance);
  }
  post_->end();
}

}  // namespace ventaro
