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
  void toolChange(int tool, std::string what, std::string touchOff) {
    ops_.push_back({ToolpathOpKind::ToolChange, {}, 0, tool, std::move(what), std::move(touchOff)});
  }

 private:
  std::vector<ToolpathOp>& ops_;
};

std::string toolText(const ToolRun& run) {
  return std::string(toolShapeTitle(run.cutter.shape)) + " " + machineNumber(2 * run.cutter.radius) + " mm";
}

}  // namespace

std::string_view toolShapeTitle(ToolShape shape) { return shape == ToolShape::Ball ? "ball-nose" : "flat end mill"; }

Toolpath shopToolpath(const ShopPlan& plan) {
  Toolpath path;
  std::size_t moves = 0;
  for (const ToolRun& run : plan.tools) moves += run.moves.size() + 8;
  path.ops.reserve(moves + 8);
  Builder out(path);
  const Block& b = plan.block;
  out.add(ToolpathOpKind::Comment, "Block X" + machineNumber(b.x0) + " to " + machineNumber(b.x1) + ", Y" +
                                       machineNumber(b.y0) + " to " + machineNumber(b.y1) + ", top Z" +
                                       machineNumber(b.top));
  for (const ToolRun& run : plan.tools) {
    const std::string what = run.number == 1 ? "roughing, " + std::to_string(plan.layers) + " layers"
                                             : "finishing, scallop " + machineNumber(plan.scallop) + " mm";
    out.add(ToolpathOpKind::Comment, "T" + std::to_string(run.number) + " " + toolText(run) + ": " + what);
  }
  // A controller that blends moves does so within the tolerance.
  out.value(ToolpathOpKind::Start, plan.tolerance);
  for (const ToolRun& run : plan.tools) {
    out.add(ToolpathOpKind::RapidZ, Vec3{0, 0, plan.clearanceZ});
    out.add(ToolpathOpKind::SpindleOff);
    // Without a tool table the operator touches each tool off. The first
    // tool can take the block top; by the second the top is cut away, so it
    // takes whatever reference the first was measured against.
    out.toolChange(run.number, toolText(run),
                   &run == &plan.tools.front() ? "Touch off Z on the block top: Z" + machineNumber(b.top)
                                               : "Touch off Z against the reference of the tool before");
    out.value(ToolpathOpKind::SpindleOn, run.rpm);
    const Vec3& start = run.moves.front().to;
    out.add(ToolpathOpKind::Rapid, Vec3{start.x, start.y, plan.clearanceZ});
    for (const PathMove& m : run.moves) {
      out.add(ToolpathOpKind::Feed, m.to, m.kind == PathMoveKind::Plunge ? plan.plungeFeed : run.feed);
    }
  }
  out.add(ToolpathOpKind::RapidZ, Vec3{0, 0, plan.clearanceZ});
  out.add(ToolpathOpKind::SpindleOff);
  out.add(ToolpathOpKind::End);
  return path;
}

}  // namespace ventaro
