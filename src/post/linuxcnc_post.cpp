// LinuxCNC: G64 path blending, a tool table (each change applies its length
// with G43), operator messages shown by "(MSG,...)".
#include "machine/machine_limits.h"
#include "post/controller_words.h"
#include "post/post.h"

namespace ventaro {

namespace {

class LinuxCncPost final : public Post {
 public:
  explicit LinuxCncPost(GcodeWriter& out) : Post(Controller::LinuxCnc, out) {}

  void start(bool planeAndFeed, std::optional<double> blend) override {
    words(planeAndFeed ? std::string(kSafeStart) : "G21 G90");
    if (blend) {
      words("G64 P" + machineNumber(*blend));
    } else {
      out().programStart();
    }
  }

  void toolSelect(int tool) override { words(ventaro::toolChange(Controller::LinuxCnc, tool)); }

  // The change stops the program by itself (M6); the message says what to fit.
  void toolChange(int tool, std::string_view description, std::string_view) override {
    words("(MSG,Fit T" + std::to_string(tool) + ": " + std::string(description) + ")");
    words(ventaro::toolChange(Controller::LinuxCnc, tool));
  }

  void pause(std::string_view what) override {
    words("(MSG,Fit " + std::string(what) + ", then press Cycle Start)");
    words(std::string(kProgramStop));
  }
};

}  // namespace

std::unique_ptr<Post> makeLinuxCncPost(GcodeWriter& out) { return std::make_unique<LinuxCncPost>(out); }

}  // namespace ventaro
