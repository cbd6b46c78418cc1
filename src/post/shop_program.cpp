#include "post/shop_program.h"

#include <array>
#include <charconv>

#include "gcode/text_conventions.h"
#include "machine/machine_limits.h"
#include "post/controller_words.h"

namespace ventaro {

namespace {

// Appends the value with four decimals, "-0.0000" written as zero.
void appendCoord(std::string& out, double value) {
  std::array<char, 400> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 4);
  const char* begin = buf.data();
  if (*begin == '-' && std::string_view(begin + 1, res.ptr).find_first_not_of("0.") == std::string_view::npos) ++begin;
  out.append(begin, static_cast<std::size_t>(res.ptr - begin));
}

class ProgramText {
 public:
  ProgramText(Controller controller, std::size_t moves) : controller_(controller) { text_.reserve(moves * 36 + 1024); }

  void line(std::string_view l) {
    if (std::string problem = lineTooLong(controller_, l); !problem.empty()) throw ShopError(problem);
    if (!text_.empty()) text_ += kLineBreak;
    text_ += l;
  }

  void feed(double f) {
    if (f == feed_) return;
    feed_ = f;
    line("F" + shortNumber(f));
  }

  void move(bool rapid, const Vec3& p) {
    scratch_.assign(rapid ? "G0 X" : "G1 X");
    appendCoord(scratch_, p.x);
    scratch_ += " Y";
    appendCoord(scratch_, p.y);
    scratch_ += " Z";
    appendCoord(scratch_, p.z);
    line(scratch_);
  }

  void rapidZ(double z) {
    scratch_.assign("G0 Z");
    appendCoord(scratch_, z);
    line(scratch_);
  }

  std::string take() { return std::move(text_); }

 private:
  Controller controller_;
  std::string text_, scratch_;
  double feed_ = -1;
};

std::string toolText(const ToolRun& run) {
  return std::string(toolShapeTitle(run.cutter.shape)) + " " + shortNumber(2 * run.cutter.radius) + " mm";
}

void header(ProgramText& out, const ShopPlan& plan, Controller controller) {
  const Block& b = plan.block;
  out.line("( Blade from its block, for " + std::string(controllerName(controller)) + " )");
  out.line("( Block X" + shortNumber(b.x0) + " to " + shortNumber(b.x1) + ", Y" + shortNumber(b.y0) + " to " +
           shortNumber(b.y1) + ", top Z" + shortNumber(b.top) + " )");
  for (const ToolRun& run : plan.tools) {
    const std::string what = run.number == 1 ? "roughing, " + std::to_string(plan.layers) + " layers"
                                             : "finishing, stations " + shortNumber(plan.finStepover) + " apart";
    out.line("( T" + std::to_string(run.number) + " " + toolText(run) + ": " + what + " )");
  }
  out.line("G21 G90 G17 G94");
  // LinuxCNC blends moves within the tolerance; GRBL has no G64.
  if (controller == Controller::LinuxCnc) out.line("G64 P" + shortNumber(plan.tolerance));
}

void toolChange(ProgramText& out, const ShopPlan& plan, const ToolRun& run, Controller controller) {
  const std::string t = std::to_string(run.number);
  out.rapidZ(plan.clearanceZ);
  out.line(kSpindleStop);
  if (controller == Controller::LinuxCnc) {
    out.line("(MSG,Fit T" + t + ": " + toolText(run) + ")");
    out.line(toolChange(controller, run.number));
  } else {
    // GRBL has no tool changer and no tool table: the operator fits the
    // tool and touches it off before resuming. The first tool can take the
    // block top; by the second the top is cut away, so it takes whatever
    // reference the first was measured against.
    out.line("( Pause: fit T" + t + ", " + toolText(run) + ", then resume )");
    out.line(&run == &plan.tools.front() ? "( Touch off Z on the block top: Z" + shortNumber(plan.block.top) + " )"
                                         : "( Touch off Z against the reference of the tool before )");
    out.line(kProgramStop);
  }
  out.line(spindleStart(run.rpm));
}

void toolMoves(ProgramText& out, const ShopPlan& plan, const ToolRun& run) {
  const Vec3& start = run.moves.front().to;
  out.move(true, {start.x, start.y, plan.clearanceZ});
  for (const PathMove& m : run.moves) {
    out.feed(m.kind == PathMoveKind::Plunge ? plan.plungeFeed : run.feed);
    out.move(false, m.to);
  }
}

}  // namespace

std::string_view toolShapeTitle(ToolShape shape) { return shape == ToolShape::Ball ? "ball-nose" : "flat end mill"; }

std::string shortNumber(double value) { return machineNumber(value); }

std::string shopProgram(const ShopPlan& plan, Controller controller) {
  if (controller == Controller::Plain) {
    throw ShopError("the shop job is written for a machine: LinuxCNC or GRBL, not the plain controller");
  }
  std::size_t moves = 0;
  for (const ToolRun& run : plan.tools) moves += run.moves.size();
  ProgramText out(controller, moves);
  header(out, plan, controller);
  for (const ToolRun& run : plan.tools) {
    toolChange(out, plan, run, controller);
    toolMoves(out, plan, run);
  }
  out.rapidZ(plan.clearanceZ);
  out.line(kSpindleStop);
  out.line(kProgramEnd);
  return out.take();
}

}  // namespace ventaro
