// The plain job's operations handed to a post as the computation makes
// them: a controller form of the plain program. Every move line stays as the
// plain program writes it; the post adds its controller's words around them.
//
// Both forms: "G21 G90" (millimetres, absolute) at the program start; the
// spindle started ("M3 S<rpm>") right after each tool call, before the tool
// cuts; before the pause for a tool change and at the end a rapid move up to
// the highest Z of the program so far plus the clearance, rounded up to a
// whole millimetre, and "M5"; "M2" at the end. Feeds must be positive
// numbers and are written as plain decimals ("1.2e3" as "F1200"), since both
// controllers read an exponent as an E word. What each controller writes of
// its own (G64, M6 and G43, messages, the line limit, the bytes GRBL acts
// on) is its post's (post.h).
#pragma once

#include <memory>
#include <string_view>

#include "gcode/gcode_writer.h"
#include "machine/shop_settings.h"
#include "post/post.h"

namespace ventaro {

class ControllerWriter final : public ProgramWriter {
 public:
  // `controller` is linuxcnc or grbl.
  ControllerWriter(Controller controller, GcodeWriter& out, const ShopSettings& settings);

  void comment(std::string_view text, bool trailingBlank) override { post_->comment(text, trailingBlank); }
  void programStart() override { post_->start(false, std::nullopt); }
  void toolCall(int tool) override;
  void feed(std::string_view text, Field field) override { post_->feedText(text, field); }
  void linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) override { post_->moveWords(x, y, z); }
  void rapidMove(float x, const CoordWord& z) override { post_->rapidWords(x, z); }
  void pause(int tool, std::string_view diameter) override;
  void programEnd() override;
  void expectMoves(std::size_t count) override { out_.expectMoves(count); }

 private:
  void retractAndStop();

  GcodeWriter& out_;
  std::unique_ptr<Post> post_;
  ShopSettings settings_;  // the spindle speeds and the clearance
  bool spindleOn_ = false;
};

}  // namespace ventaro
