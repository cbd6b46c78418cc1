// A post: a job's operations in one controller's words. Both jobs hand
// their operations to a post, the plain job's controller forms as the
// computation makes them, the shop job as its toolpath; the post writes the
// header words, tool changes, spindle, feeds and speeds (plain decimals that
// never round a positive value to zero), operator messages, comments made
// safe, the line limit as the controller counts it, and the program end.
// What every controller shares is written here once; a controller is a
// subclass that says what it writes differently (post/linuxcnc_post.cpp,
// post/grbl_post.cpp). Adding a controller is adding one post.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "blade/target_surface.h"
#include "gcode/gcode_writer.h"
#include "machine/controller.h"
#include "toolpath/toolpath.h"

namespace ventaro {

class Post {
 public:
  Post(Controller controller, GcodeWriter& out) : controller_(controller), out_(out) {}
  virtual ~Post() = default;
  Post(const Post&) = delete;
  Post& operator=(const Post&) = delete;

  Controller controller() const { return controller_; }

  // A comment line around `text`, made safe and shortened to the line.
  void comment(std::string_view text, bool trailingBlank = false);
  // Millimetres and absolute coordinates; with `planeAndFeed` also the XY
  // plane and feeds per minute; `blend` is the path tolerance a controller
  // that blends moves may use (none: its default blending).
  virtual void start(bool planeAndFeed, std::optional<double> blend) = 0;
  // The tool called by its number, as the plain job calls its tools.
  virtual void toolSelect(int tool) = 0;
  // The tool fitted for the next cut: `tool` is its number, `description`
  // what it is ("flat end mill 37 mm"), `touchOff` where its length is
  // measured on a controller without a tool table.
  virtual void toolChange(int tool, std::string_view description, std::string_view touchOff) = 0;
  // The tool of a program that starts with it fitted and its zero set (one
  // program per tool); by default a tool change.
  virtual void toolReady(int tool, std::string_view description, std::string_view zero) {
    toolChange(tool, description, zero);
  }
  // A stop for the operator to fit `what` ("finishing tool T2, 20 mm").
  virtual void pause(std::string_view what) = 0;
  void spindleOn(double rpm);
  void spindleOff();
  // A feed typed in a job field, which must be a positive number; and one
  // the job worked out.
  void feedText(std::string_view text, Field field);
  void feedRate(double feed);
  // The plain job's move lines, with the words its writer cut.
  void moveWords(const CoordWord& x, const CoordWord& y, const CoordWord& z);
  void rapidWords(float x, const CoordWord& z);
  // A move with four decimals.
  void move(bool rapid, const Vec3& to);
  void rapidZ(double z);
  // A rapid move up to the highest Z so far plus `clearance`, rounded up to
  // a whole millimetre; nothing before the first move.
  void retractAbove(double clearance);
  void end();
  // A dwell of `seconds`.
  void dwell(double seconds);

  // Every operation of the toolpath in order; a feed is written where it
  // changes.
  void write(const Toolpath& path);

 protected:
  // A line of the post's own words, refused when the controller cannot
  // read it.
  void words(const std::string& line);
  // A comment's text as the controller may read it: parentheses as square
  // brackets, control characters as blanks, and what the controller's own
  // rules add.
  virtual std::string safeText(std::string text) const { return text; }
  GcodeWriter& out() { return out_; }

 private:
  void reached(double z) {
    if (!highestZ_ || z > *highestZ_) highestZ_ = z;
  }

  Controller controller_;
  GcodeWriter& out_;
  std::optional<double> highestZ_;  // none until a move has set Z
  std::string scratch_;
};

// The post of a controller that takes machine words (linuxcnc, grbl).
std::unique_ptr<Post> makePost(Controller controller, GcodeWriter& out);

}  // namespace ventaro
