// A post turns a toolpath into one controller's program: every operation
// in its words, the same toolpath for either controller.
#include <gtest/gtest.h>

#include <string>

#include "post/post.h"

namespace ventaro {
namespace {

Toolpath everyOperation() {
  using K = ToolpathOpKind;
  Toolpath path;
  path.ops = {
      {K::Comment, {}, 0, 0, "a (b)", {}},
      {K::Start, {}, 0.01, 0, {}, {}},
      {K::ToolChange, {}, 0, 1, "ball-nose 6 mm", "Touch off Z on the vice"},
      {K::SpindleOn, {}, 18000.5, 0, {}, {}},
      {K::Rapid, {1, 2, 10}, 0, 0, {}, {}},
      {K::Feed, {1, 2, -1}, 300, 0, {}, {}},
      {K::Feed, {3, 2, -1}, 300, 0, {}, {}},
      {K::Feed, {3, 4, -0.00001}, 1200, 0, {}, {}},  // written without its minus
      {K::Dwell, {}, 0.5, 0, {}, {}},
      {K::Pause, {}, 0, 0, "the clamp", {}},
      {K::RapidZ, {0, 0, 10}, 0, 0, {}, {}},
      {K::SpindleOff, {}, 0, 0, {}, {}},
      {K::End, {}, 0, 0, {}, {}},
  };
  return path;
}

std::string posted(Controller controller, const Toolpath& path) {
  GcodeWriter out;
  makePost(controller, out)->write(path);
  return out.take();
}

TEST(Post, WritesEveryOperationInItsControllersWords) {
  const std::string moves =
      "G0 X1.0000 Y2.0000 Z10.0000\r\nF300\r\nG1 X1.0000 Y2.0000 Z-1.0000\r\nG1 X3.0000 Y2.0000 Z-1.0000\r\n"
      "F1200\r\nG1 X3.0000 Y4.0000 Z0.0000\r\nG4 P0.5\r\n";
  EXPECT_EQ(
      posted(Controller::LinuxCnc, everyOperation()),
      "( a [b] )\r\nG17 G21 G40 G49 G54 G80 G90 G94\r\nG64 P0.01\r\n(MSG,Fit T1: ball-nose 6 mm)\r\nT1 M6 G43 H1\r\n"
      "M3 S18000.5\r\n" +
          moves + "(MSG,Fit the clamp, then press Cycle Start)\r\nM0\r\nG0 Z10.0000\r\nM5\r\nM2");
  EXPECT_EQ(posted(Controller::Grbl, everyOperation()),
            "( a [b] )\r\nG17 G21 G40 G49 G54 G80 G90 G94\r\n( Pause: fit T1, ball-nose 6 mm, then resume )\r\n"
            "( Touch off Z on the vice )\r\nM0\r\nM3 S18000.5\r\n" +
                moves + "( Pause: fit the clamp, then resume )\r\nM0\r\nG0 Z10.0000\r\nM5\r\nM2");
}

TEST(Post, RefusesALineItsControllerCannotRead) {
  Toolpath path;
  path.ops = {{ToolpathOpKind::Rapid, {1e60, 0, 0}, 0, 0, {}, {}}};
  EXPECT_THROW(posted(Controller::Grbl, path), ControllerError);
  EXPECT_THROW(posted(Controller::Plain, path), ControllerError);
}

}  // namespace
}  // namespace ventaro
