// A job's program before any controller's words: the setup it is meant for
// and, in order, its operations (rapid to, feed to, tool change, spindle on
// and off, pause, dwell) in the blade frame: X along the span, Y across the
// stock, Z up, millimetres; the programmed point is the tool tip. A post
// (post/post.h) turns a toolpath into a program for one controller.
#pragma once

#include <string>
#include <vector>

#include "blade/target_surface.h"
#include "toolpath/shop_job.h"

namespace ventaro {

enum class ToolpathOpKind {
  Comment,     // text
  Start,       // units, absolute coordinates, XY plane, feed per minute; value: the blend tolerance
  ToolChange,  // tool, text: what it is ("flat end mill 37 mm"), note: where it is touched off
  ToolReady,   // the same for a tool fitted, and its zero set, before the program starts
  SpindleOn,   // value: rpm, clockwise
  SpindleOff,
  Rapid,   // to
  RapidZ,  // to.z: straight up or down, X and Y where they are
  Feed,    // to, at value mm/min
  Pause,   // text: what the operator is to do before resuming
  Dwell,   // value: seconds
  End,
};

struct ToolpathOp {
  ToolpathOpKind kind = ToolpathOpKind::Comment;
  Vec3 to{};
  double value = 0;
  int tool = 0;
  std::string text;
  std::string note;
};

// Where the program's coordinates come from: a blade-frame point less
// `origin` (the work zero in the blade frame), with the blade's upper face
// up (the only face milled today).
struct ToolpathSetup {
  std::string name = "A";
  Vec3 origin{};
  bool upperFaceUp = true;
};

struct Toolpath {
  ToolpathSetup setup;
  std::vector<ToolpathOp> ops;
};

// "flat end mill", "ball-nose".
std::string_view toolShapeTitle(ToolShape shape);

// The shop job's work zero in the blade frame: the block's top face at its
// hub end and Y 0 edge. Every cut then lies at or below Z 0 and within
// positive X and Y.
Vec3 shopOrigin(const Block& block);

// The shop job as a toolpath, its zero on the block's top face at the hub
// end and Y 0 edge: per tool (after the first, a retract to the clearance
// height and the spindle stopped) the tool change, a retract to the
// clearance height, the spindle started, a rapid move above the start and
// the feeds down and along its path (plunges at the plunge feed); at the
// end a retract, the spindle stopped and the end.
Toolpath shopToolpath(const ShopPlan& plan);

// The same as one toolpath per tool, each a whole program whose tool is
// fitted, and its zero set, before it starts: for a controller without
// tool changes.
std::vector<Toolpath> shopToolpathPerTool(const ShopPlan& plan);

}  // namespace ventaro
