// A controller profile as a writer in front of the G-code writer: it takes
// the computation's operations, adds its controller's words around them and
// hands the plain ones on unchanged, so every move line stays as the plain
// program writes it.
//
// Both profiles: "G21 G90" (millimetres, absolute) at the program start; the
// spindle started ("M3 S<rpm>") right after each tool call, before the tool
// cuts; before the pause for a tool change and at the end a rapid move up to
// the highest Z of the program so far plus the clearance, rounded up to a
// whole millimetre, and "M5"; "M2" at the end. Feeds must be positive
// numbers and are written as plain decimals ("1.2e3" as "F1200"), since both
// controllers read an exponent as an E word. Comments get square brackets
// for parentheses and blanks for control characters; one longer than the
// controller's line is shortened to end in "...", and any other line that
// long is refused.
// linuxcnc: G64 after "G21 G90"; each tool call changes the tool and applies
//   its length ("T1 M6 G43 H1"); the pause shows an operator message
//   ("(MSG,...)") and stops with "M0".
// grbl: no G64, M6 or G43 (GRBL has neither path modes, tool changer nor
//   tool table, and rejects them); the pause is a comment for the operator
//   and "M0"; every line within 80 characters; no byte that GRBL acts on at
//   once (grbl_text.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gcode/gcode_writer.h"
#include "post/controller_profile.h"
#include "post/controller_words.h"

namespace ventaro {

class ControllerWriter final : public ProgramWriter {
 public:
  // `controller` is linuxcnc or grbl.
  ControllerWriter(Controller controller, GcodeWriter& out, const ShopSettings& settings);

  void comment(std::string_view text, bool trailingBlank) override;
  void programStart() override;
  void toolCall(int tool) override;
  void feed(std::string_view text, Field field) override;
  void linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) override;
  void rapidMove(float x, const CoordWord& z) override;
  void pause(int tool, std::string_view diameter) override;
  void programEnd() override;
  void expectMoves(std::size_t count) override { out_.expectMoves(count); }

 private:
  bool grbl() const { return controller_ == Controller::Grbl; }
  std::size_t lineLimit() const { return ventaro::lineLimit(controller_); }
  // A line of the profile's own words, refused when it is too long.
  void words(const std::string& line);
  void reached(double z) {
    if (!highestZ_ || z > *highestZ_) highestZ_ = z;
  }
  void retract();
  void spindleOff();

  Controller controller_;
  GcodeWriter& out_;
  ShopSettings settings_;           // the spindle speeds and the clearance
  std::optional<double> highestZ_;  // none until a move has set Z
  bool spindleOn_ = false;
};

}  // namespace ventaro
