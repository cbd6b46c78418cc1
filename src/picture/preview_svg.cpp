#include "picture/preview_svg.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "machine/fixed_text.h"
#include "picture/svg_canvas.h"
#include "picture/svg_text.h"

namespace ventaro {

namespace {

constexpr std::string_view kInk = "#1e1e1e";
constexpr std::string_view kGrid = "#e1e1e1";
constexpr std::string_view kBlock = "#f0e2c4";
constexpr std::string_view kBlockEdge = "#b8ae97";
constexpr std::string_view kChord = "#145ab4";
constexpr std::string_view kTwist = "#c83c28";
constexpr std::string_view kSurface = "#bebebe";
constexpr std::string_view kPass[] = {"#d67814", "#9646aa", "#1e8c5a", "#b4285a", "#5a5ac8"};

// Decimals of the values in the drawing's own units: millimetres to the
// micrometre, degrees as the station table gives them, and move coordinates
// as the program writes them (six characters hold at most four decimals).
constexpr int kMmDecimals = 3;
constexpr int kDegDecimals = 4;
constexpr int kMoveDecimals = 4;

// The baseline of a line of text centred on `y`, for DejaVu-like metrics.
double middleBaseline(double y, int size) { return y + 0.35 * size; }
// The baseline of a line of text whose top is at `y`.
double topBaseline(double y, int size) { return y + 0.93 * size; }
// A text's width estimated from its characters: the picture is drawn
// without font metrics, so boxes around text leave room for a wide font
// (DejaVu Sans is among the widest).
double textWidth(std::string_view text, int size) {
  double em = 0;
  for (const char c : text) {
    if (std::string_view(" .,:;()/'ijlrtfI").find(c) != std::string_view::npos) {
      em += 0.36;
    } else if (std::string_view("mwMW").find(c) != std::string_view::npos) {
      em += 0.98;
    } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
      em += 0.68;
    } else {
      em += 0.6;
    }
  }
  return em * size;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` ticks.
double tickStep(double range, int count) {
  if (!(range > 0)) return 1;
  const double raw = range / count;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * p >= raw) return m * p;
  }
  return 10 * p;
}

std::string tickText(double v, double step) {
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
  return fixedText(v, decimals);
}

// The ticks of a range: every multiple of the step within it.
std::vector<double> ticks(double lo, double hi, double step) {
  std::vector<double> out;
  for (double k = std::ceil(lo / step); k * step <= hi + 1e-9 * step; ++k) out.push_back(k * step);
  return out;
}

struct Area {
  double left, top, right, bottom;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
  double midY() const { return (top + bottom) / 2; }
};

// One panel: a range of the drawing's units mapped onto an area of the page.
struct Plot {
  Area area;
  double x0, x1, y0, y1;

  Plot(Area a, double xl, double xh, double yl, double yh) : area(a), x0(xl), x1(xh), y0(yl), y1(yh) {
    // An empty range (no station, a zero stock) still maps somewhere.
    if (!(x1 > x0)) x1 = x0 + 1;
    if (!(y1 > y0)) y1 = y0 + 1;
  }
  double sx() const { return area.width() / (x1 - x0); }
  double sy() const { return area.height() / (y1 - y0); }
  SvgPoint map(double x, double y) const { return {area.left + (x - x0) * sx(), area.bottom - (y - y0) * sy()}; }

  // The group transform that puts the drawing's units onto the page.
  std::string transform() const {
    return "matrix(" + svgNumber(sx(), 6) + ",0,0," + svgNumber(-sy(), 6) + "," + svgNumber(area.left - x0 * sx(), 3) +
           "," + svgNumber(area.bottom + y0 * sy(), 3) + ")";
  }

  // Widens the range so that a millimetre is as long on both axes.
  void equalScale() {
    if (sx() < sy()) {
      const double mid = (y0 + y1) / 2, half = area.height() / sx() / 2;
      y0 = mid - half, y1 = mid + half;
    } else {
      const double mid = (x0 + x1) / 2, half = area.width() / sy() / 2;
      x0 = mid - half, x1 = mid + half;
    }
  }
};

// A point in the drawing's units, "x,y", the ordinate with its own decimals
// where they differ (degrees beside millimetres).
std::string dataPoint(double x, double y, int decimals, int yDecimals = -1) {
  return svgNumber(x, decimals) + "," + svgNumber(y, yDecimals < 0 ? decimals : yDecimals);
}

void appendPoint(std::string& points, double x, double y, int decimals, int yDecimals = -1) {
  if (!points.empty()) points += ' ';
  points += dataPoint(x, y, decimals, yDecimals);
}

void title(SvgCanvas& c, const Plot& plot, std::string_view text) {
  c.text({plot.area.left, middleBaseline(plot.area.top - 25, 20)}, text, {20, kInk, SvgAnchor::Start, true});
}

void frame(SvgCanvas& c, const Plot& plot, std::string_view xLabel, std::string_view yLabel) {
  const double xs = tickStep(plot.x1 - plot.x0, 8), ys = tickStep(plot.y1 - plot.y0, 5);
  for (double x : ticks(plot.x0, plot.x1, xs)) {
    const SvgPoint a = plot.map(x, plot.y0);
    c.line(a, plot.map(x, plot.y1), {kGrid, 1});
    c.line(a, {a.x, a.y + 6}, {kInk, 1});
    c.text({a.x, topBaseline(a.y + 8, 14)}, tickText(x, xs), {14, kInk, SvgAnchor::Middle});
  }
  for (double y : ticks(plot.y0, plot.y1, ys)) {
    const SvgPoint a = plot.map(plot.x0, y);
    c.line(a, plot.map(plot.x1, y), {kGrid, 1});
    c.line(a, {a.x - 6, a.y}, {kInk, 1});
    c.text({a.x - 8, middleBaseline(a.y, 14)}, tickText(y, ys), {14, kInk, SvgAnchor::End});
  }
  const Area& r = plot.area;
  c.rect({r.left, r.top}, {r.right, r.bottom}, {kInk, 1.5}, {"none"});
  c.text({(r.left + r.right) / 2, topBaseline(r.bottom + 30, 15)}, xLabel, {15, kInk, SvgAnchor::Middle});
  c.text({r.left - 81.5, r.midY()}, yLabel, {15, kInk, SvgAnchor::Middle}, -90);
}

struct LegendEntry {
  SvgStroke sample;
  std::string text;
};

// A framed list of line samples and their texts, at the top right of `area`.
void legend(SvgCanvas& c, const Area& area, const std::vector<LegendEntry>& entries) {
  double width = 0;
  for (const auto& e : entries) width = std::max(width, textWidth(e.text, 14));
  const double w = width + 56, h = 22.0 * static_cast<double>(entries.size()) + 8;
  const double left = area.right - 10 - w, top = area.top + 10;
  c.rect({left, top}, {left + w, top + h}, {kInk, 1}, {"#ffffff", 0.92});
  double y = top + 15;
  for (const auto& e : entries) {
    c.line({left + 8, y}, {left + 38, y}, e.sample);
    c.text({left + 46, y + 5}, e.text, {14, kInk});
    y += 22;
  }
}

double degrees(double radians) { return radians * (180.0 / std::numbers::pi); }

void planform(SvgCanvas& c, const PreviewInput& in, const Area& area) {
  const auto& st = in.record->finishing.empty() ? in.record->roughing : in.record->finishing;
  // The span from hub to tip, and every station even where a hub beyond
  // the tip turns the span round.
  AxisRange span;
  span.add(in.hubMm);
  span.add(in.tipMm);
  double maxChord = in.stockWidthMm, minTwist = 0, maxTwist = 1;
  for (const auto& r : st) {
    span.add(r.x);
    maxChord = std::max(maxChord, r.station.ChordScale * 100);
    minTwist = std::min(minTwist, degrees(r.station.Twist)), maxTwist = std::max(maxTwist, degrees(r.station.Twist));
  }
  const double cs = tickStep(maxChord, 5);
  const Plot plot{area, *span.lo - 20, *span.hi + 20, 0, cs * std::ceil(maxChord * 1.05 / cs)};
  title(c, plot, "Planform: chord and twist along the span (finishing stations)");
  frame(c, plot, "radius X / mm", "chord / mm");

  // The twist has its own scale on the right.
  const double ts = tickStep(maxTwist - minTwist, 5);
  const Plot twist{area, plot.x0, plot.x1, std::floor(minTwist / ts) * ts, std::ceil(maxTwist * 1.05 / ts) * ts};
  for (double t : ticks(twist.y0, twist.y1, ts)) {
    const SvgPoint a = twist.map(twist.x1, t);
    c.line(a, {a.x + 6, a.y}, {kTwist, 1});
    c.text({a.x + 9, middleBaseline(a.y, 14)}, tickText(t, ts), {14, kTwist});
  }
  c.text({area.right + 65.5, area.midY()}, "twist / degrees", {15, kTwist, SvgAnchor::Middle}, 90);

  std::string chordPoints, twistPoints;
  for (const auto& r : st) {
    appendPoint(chordPoints, r.x, r.station.ChordScale * 100, kMmDecimals);
    appendPoint(twistPoints, r.x, degrees(r.station.Twist), kMmDecimals, kDegDecimals);
  }
  c.beginGroup("planform", plot.transform());
  c.polyline("stock-width",
             dataPoint(plot.x0, in.stockWidthMm, kMmDecimals) + " " + dataPoint(plot.x1, in.stockWidthMm, kMmDecimals),
             {kInk, 1.5, true});
  c.polyline("chord", chordPoints, {kChord, 2.5});
  c.endGroup();
  c.beginGroup("twist-scale", twist.transform());
  c.polyline("twist", twistPoints, {kTwist, 2.5});
  c.endGroup();
  legend(c, area,
         {{{kChord, 2.5}, "chord"},
          {{kTwist, 2.5}, "twist (right scale)"},
          {{kInk, 1.5, true}, "stock width " + fixedText(in.stockWidthMm, 1) + " mm"}});
}

// The points of a section's moves that have all three axes, as (X, Y) seen
// from above or (X, Z) seen from the side.
std::string sectionPoints(const ProgramSection& s, bool topView) {
  std::string points;
  for (const Move& m : s.moves) {
    if (m.x && m.y && m.z) appendPoint(points, *m.x, topView ? *m.y : *m.z, kMoveDecimals);
  }
  return points;
}

void topView(SvgCanvas& c, const PreviewInput& in, const Area& area) {
  Box box;
  box.add(in.hubMm, 0.0, std::nullopt);
  box.add(in.tipMm, in.stockWidthMm, std::nullopt);
  for (const auto& s : in.moves->sections) {
    if (s.tool == 2) box.add(s.box);
  }
  const double pad = 20;
  Plot plot{area, *box.x.lo - pad, *box.x.hi + pad, *box.y.lo - pad, *box.y.hi + pad};
  plot.equalScale();
  title(c, plot, "Top view: finishing toolpath (T2) over the block");
  frame(c, plot, "radius X / mm", "across the stock Y / mm");
  c.beginGroup("top-view", plot.transform());
  c.polygon("block",
            dataPoint(in.hubMm, 0, kMmDecimals) + " " + dataPoint(in.tipMm, 0, kMmDecimals) + " " +
                dataPoint(in.tipMm, in.stockWidthMm, kMmDecimals) + " " +
                dataPoint(in.hubMm, in.stockWidthMm, kMmDecimals),
            {kInk, 1.5}, {kBlock});
  c.beginGroup("finishing-toolpath", "");
  for (const auto& s : in.moves->sections) {
    if (s.tool == 2) c.polyline("", sectionPoints(s, true), {kChord, 1});
  }
  c.endGroup();
  c.endGroup();
  legend(c, area, {{{kChord, 1.5}, "finishing toolpath"}, {{kBlockEdge, 8}, "block (hub to tip)"}});
}

// The finished surface seen from the side: between the lowest and the
// highest point of each finishing station.
std::string surfaceBand(const std::vector<StationRecord>& fin) {
  const auto extreme = [](const StationRecord& r, bool highest) {
    float z = r.points[SectionTable::kLower].Z;
    for (std::size_t j = SectionTable::kLower; j < r.points.size(); ++j) {
      z = highest ? std::max(z, r.points[j].Z) : std::min(z, r.points[j].Z);
    }
    return z;
  };
  std::string points;
  for (const auto& r : fin) appendPoint(points, r.x, extreme(r, true), kMmDecimals);
  for (auto it = fin.rbegin(); it != fin.rend(); ++it) appendPoint(points, it->x, extreme(*it, false), kMmDecimals);
  return points;
}

// One roughing pass: its cutting moves solid, the rapid move back to the
// highest point dashed, each run of moves of one kind a polyline.
void roughingPass(SvgCanvas& c, const ProgramSection& s, std::string_view colour) {
  c.beginGroup("roughing-pass-" + std::to_string(s.pass), "");
  std::optional<std::pair<double, double>> last;
  std::string run;
  bool runRapid = false;
  const auto flush = [&] {
    if (!run.empty()) c.polyline("", run, {colour, runRapid ? 1.0 : 1.2, runRapid});
    run.clear();
  };
  for (const Move& m : s.moves) {
    if (!m.x || !m.z) continue;
    if (last && (run.empty() || m.rapid != runRapid)) {
      flush();
      run = dataPoint(last->first, last->second, kMoveDecimals);
      runRapid = m.rapid;
    }
    if (last) appendPoint(run, *m.x, *m.z, kMoveDecimals);
    last = std::pair{*m.x, *m.z};
  }
  flush();
  c.endGroup();
}

void sideView(SvgCanvas& c, const PreviewInput& in, const Area& area) {
  Box box;
  box.add(in.hubMm, std::nullopt, std::nullopt);
  box.add(in.tipMm, std::nullopt, std::nullopt);
  for (const auto& s : in.moves->sections) box.add(s.box);
  if (!box.z.lo) box.add(std::nullopt, std::nullopt, 0.0);
  const double pad = 20;
  Plot plot{area, *box.x.lo - pad, *box.x.hi + pad, *box.z.lo - pad, *box.z.hi + pad};
  plot.equalScale();
  title(c, plot, "Side view: roughing passes (T1) and the finished surface");
  frame(c, plot, "radius X / mm", "height Z / mm");
  c.beginGroup("side-view", plot.transform());
  if (!in.record->finishing.empty()) {
    c.polygon("finished-surface", surfaceBand(in.record->finishing), {kInk, 1.5}, {kSurface});
  }
  std::vector<LegendEntry> entries;
  for (const auto& s : in.moves->sections) {
    if (s.tool != 1 || s.pass == 0) continue;
    const std::string_view colour = kPass[static_cast<std::size_t>(s.pass - 1) % std::size(kPass)];
    roughingPass(c, s, colour);
    entries.push_back({{colour, 2.5}, "roughing pass " + std::to_string(s.pass)});
  }
  c.endGroup();
  entries.push_back({{kSurface, 8}, "finished surface (lowest to highest Z per station)"});
  legend(c, area, entries);
}

}  // namespace

std::string previewSvg(const PreviewInput& in) {
  SvgCanvas c(kPreviewWidth, kPreviewHeight, "Ventaro blade preview", kPreviewFonts);
  const double left = 120, right = kPreviewWidth - 90;
  planform(c, in, {left, 60, right, 440});
  topView(c, in, {left, 560, right, 960});
  sideView(c, in, {left, 1080, right, 1460});
  c.text({left, topBaseline(kPreviewHeight - 30, 13)},
         "Millimetres, machine axes. Toolpaths drawn from the program's own move lines; rapid moves dashed.",
         {13, kInk});
  return c.finish();
}

namespace {

// A curve of (x, y) points in a plot, in the drawing's units.
void curve(SvgCanvas& c, const Plot& plot, std::string_view id, const std::vector<std::pair<double, double>>& points,
           std::string_view colour, int decimals) {
  std::string text;
  for (const auto& [x, y] : points) appendPoint(text, x, y, decimals);
  c.beginGroup(id, plot.transform());
  c.polyline("", text, {colour, 2.5});
  c.endGroup();
}

}  // namespace

std::string performanceSvg(const PerformancePlot& in) {
  SvgCanvas c(kPerformanceWidth, kPerformanceHeight, "Ventaro rotor performance", kPreviewFonts);
  const double left = 120, right = kPerformanceWidth - 60;
  // Cp against the tip speed ratio, up to Betz's limit.
  constexpr double kBetz = 16.0 / 27.0;
  double tsrHigh = 1;
  for (const auto& [x, y] : in.cp) tsrHigh = std::max(tsrHigh, x);
  std::vector<std::pair<double, double>> cp;
  for (const auto& [x, y] : in.cp) cp.emplace_back(x, std::max(0.0, y));  // a braking rotor draws along the axis
  const Plot cpPlot({left, 80, right, 500}, 0, tsrHigh, 0, 0.65);
  title(c, cpPlot, "Power coefficient against tip speed ratio");
  frame(c, cpPlot, "tip speed ratio", "power coefficient Cp");
  c.line(cpPlot.map(0, kBetz), cpPlot.map(tsrHigh, kBetz), {kTwist, 1.5, true});
  curve(c, cpPlot, "cp", cp, kChord, 4);
  const SvgPoint design = cpPlot.map(in.designTsr, std::max(0.0, in.designCp));
  c.rect({design.x - 5, design.y - 5}, {design.x + 5, design.y + 5}, {kInk, 1.5}, {std::string_view(kPass[0])});
  legend(c, cpPlot.area,
         {{{kChord, 2.5}, "Cp (BEM)"},
          {{kTwist, 1.5, true}, "Betz's limit 16/27"},
          {{kPass[0], 6}, "design: " + fixedText(in.designTsr, 2) + ", Cp " + fixedText(in.designCp, 3)}});
  // Power against the wind speed at the design ratio.
  double windLow = 0, windHigh = 1, powerHigh = 1;
  if (!in.power.empty()) windLow = in.power.front().first, windHigh = in.power.back().first;
  for (const auto& [x, y] : in.power) powerHigh = std::max(powerHigh, y);
  const Plot powerPlot({left, 620, right, 1000}, windLow, windHigh, 0, powerHigh * 1.05);
  title(c, powerPlot, "Power against wind speed at the design tip speed ratio");
  frame(c, powerPlot, "wind speed (m/s)", "power (W)");
  curve(c, powerPlot, "power", in.power, kTwist, 1);
  c.text({left, topBaseline(kPerformanceHeight - 40, 13)}, in.caption, {13, kInk});
  return c.finish();
}

}  // namespace ventaro
