#include "toolpath/toolpath.h"

#include "machine/machine_limits.h"

namespace ventaro {

namespace {

class Builder {
 public:
  explicit Builder(Toolpath& path) : ops_(path.ops) {}

  void add(ToolpathOpKind kind, std::string text = {}) { ops_.push_back({kind, {}, 0, 0, std::move(text), {}}); }
  void add(ToolpathOpKind kind, const Vec3& to, double value = 0) { ops_.push_back({kind, to, value, 0, {}, {}}); }
  void value(ToolpathOpKind kind, double value) { ops_.push_back({kind, {}, value, 0, {}, {}}); }
  void toolChange(ToolpathOpKind kind, int tool, std::string what, std::string touchOff) {
    ops_.push_back({kind, {}, 0, tool, std::move(what), std::move(touchOff)});
  }

 private:
  std::vector<ToolpathOp>& ops_;
};

std::string toolText(const ToolRun& run) {
  return std::string(toolShapeTitle(run.cutter.shape)) + " " + machineNumber(2 * run.cutter.radius) + " mm";
}

}  // namespace

Vec3 shopOrigin(const Block& block) { return {block.x0, block.y0, block.top}; }

std::string_view toolShapeTitle(ToolShape shape) { return shape == ToolShape::Ball ? "ball-nose" : "flat end mill"; }

namespace {

// The comments that open a program of the job: the zero, the block and the
// tools.
void header(Builder& out, const ShopPlan& plan, const std::vector<const ToolRun*>& tools) {
  const Block& b = plan.block;
  out.add(ToolpathOpKind::Comment, "Zero: block top face, hub end, Y 0 edge. Block X0 to " +
                                       machineNumber(b.x1 - b.x0) + ", Y0 to " + machineNumber(b.y1 - b.y0) +
                                       ", Z0 down to " + machineNumber(b.bottom - b.top));
  for (const ToolRun* run : tools) {
    const std::string what = run->number == 1 ? "roughing, " + std::to_string(plan.layers) + " layers"
                                              : "finishing, scallop " + machineNumber(plan.scallop) + " mm";
    out.add(ToolpathOpKind::Comment, "T" + std::to_string(run->number) + " " + toolText(*run) + ": " + what);
  }
  // A controller that blends moves does so within the tolerance.
  out.value(ToolpathOpKind::Start, plan.tolerance);
}

// Without a tool table the operator sets each tool's zero on the block top
// before the job; by the second tool the top is cut away, so it is set
// against the reference the first was measured from.
std::string zeroNote(const ShopPlan& plan, const ToolRun& run) {
  return &run == &plan.tools.front() ? "Set Z0 on the block top" : "Set Z0 against the reference of the tool before";
}

// A tool's cut: lifted to the clearance height, the spindle started, over
// the start and along its moves.
void cut(Builder& out, const ShopPlan& plan, const ToolRun& run) {
  out.add(ToolpathOpKind::RapidZ, Vec3{0, 0, plan.clearanceZ});
  out.value(ToolpathOpKind::SpindleOn, run.rpm);
  const Vec3& start = run.moves.front().to;
  out.add(ToolpathOpKind::Rapid, Vec3{start.x, start.y, plan.clearanceZ});
  for (const PathMove& m : run.moves) {
    if (m.kind == PathMoveKind::Rapid) {
      out.add(ToolpathOpKind::Rapid, m.to);
    } else {
      out.add(ToolpathOpKind::Feed, m.to, m.kind == PathMoveKind::Plunge ? plan.plungeFeed : run.feed);
    }
  }
}

void finish(Builder& out, const ShopPlan& plan) {
  out.add(ToolpathOpKind::RapidZ, Vec3{0, 0, plan.clearanceZ});
  out.add(ToolpathOpKind::SpindleOff);
  out.add(ToolpathOpKind::End);
}

}  // namespace

Toolpath shopToolpath(const ShopPlan& plan) {
  Toolpath path;
  std::size_t moves = 0;
  for (const ToolRun& run : plan.tools) moves += run.moves.size() + 8;
  path.ops.reserve(moves + 8);
  path.setup.origin = shopOrigin(plan.block);
  Builder out(path);
  std::vector<const ToolRun*> tools;
  for (const ToolRun& run : plan.tools) tools.push_back(&run);
  header(out, plan, tools);
  for (const ToolRun& run : plan.tools) {
    // Nothing moves before the first tool is fitted; a later tool is
    // fitted above the block with the spindle stopped. Each is lifted to the
    // clearance height before anything else moves: its length differs from
    // the tool before.
    if (&run != &plan.tools.front()) {
      out.add(ToolpathOpKind::RapidZ, Vec3{0, 0, plan.clearanceZ});
      out.add(ToolpathOpKind::SpindleOff);
    }
    out.toolChange(ToolpathOpKind::ToolChange, run.number, toolText(run), zeroNote(plan, run));
    cut(out, plan, run);
  }
  finish(out, plan);
  return path;
}

std::vector<Toolpath> shopToolpathPerTool(const ShopPlan& plan) {
  std::vector<Toolpath> paths;
  for (const ToolRun& run : plan.tools) {
    Toolpath& path = paths.emplace_back();
    path.ops.reserve(run.moves.size() + 16);
    path.setup.origin = shopOrigin(plan.block);
    Builder out(path);
    header(out, plan, {&run});
    out.toolChange(ToolpathOpKind::ToolReady, run.number, toolText(run), zeroNote(plan, run));
    cut(out, plan, run);
    finish(out, plan);
  }
  return paths;
}

}  // namespace ventaro
