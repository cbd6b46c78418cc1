// GRBL: no path modes, no tool changer and no tool table (it rejects G64,
// M6 and G43), so a tool is fitted by hand at a stop whose comment says
// what to do; every line within its 80-character buffer, and no byte it
// acts on at once (grbl_text.h).
#include "post/controller_words.h"
#include "post/grbl_text.h"
#include "post/post.h"

namespace ventaro {

namespace {

class GrblPost final : public Post {
 public:
  explicit GrblPost(GcodeWriter& out) : Post(Controller::Grbl, out) {}

  void start(bool planeAndFeed, std::optional<double>) override {
    words(planeAndFeed ? std::string(kSafeStart) : "G21 G90");
  }

  void toolSelect(int tool) override { words(ventaro::toolChange(Controller::Grbl, tool)); }

  // The operator fits the tool and measures its length (`touchOff`) before
  // resuming.
  void toolChange(int tool, std::string_view description, std::string_view touchOff) override {
    comment("Pause: fit T" + std::to_string(tool) + ", " + std::string(description) + ", then resume");
    comment(touchOff);
    words(std::string(kProgramStop));
  }

  // A program of its own for the tool: the operator fits it and sets its
  // zero before starting the program, where the controller's own zeroing
  // is at hand. The tool word names it for readers of the program; GRBL
  // takes it and does nothing.
  void toolReady(int tool, std::string_view description, std::string_view zero) override {
    comment("Before starting: fit T" + std::to_string(tool) + ", " + std::string(description));
    comment(std::string(zero) + ", then start");
    toolSelect(tool);
  }

  void pause(std::string_view what) override {
    comment("Pause: fit " + std::string(what) + ", then resume");
    words(std::string(kProgramStop));
  }

 protected:
  std::string safeText(std::string text) const override { return grblSafeText(text); }
};

}  // namespace

std::unique_ptr<Post> makeGrblPost(GcodeWriter& out) { return std::make_unique<GrblPost>(out); }

}  // namespace ventaro
