#include "png/preview.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <vector>

#include "machining/fixed_text.h"

namespace ventaro {

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 1560;
const QColor kInk(30, 30, 30);
const QColor kGrid(225, 225, 225);
const QColor kBlock(240, 226, 196);
const QColor kChord(20, 90, 180);
const QColor kTwist(200, 60, 40);
const QColor kPass[] = {QColor(214, 120, 20), QColor(150, 70, 170), QColor(30, 140, 90), QColor(180, 40, 90),
                        QColor(90, 90, 200)};

QFont font(int px, bool bold = false) {
  QFont f("DejaVu Sans");
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
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

QString number(double v, double step) {
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
  return QString::fromStdString(fixedText(v, decimals));
}

// One panel: a data range mapped onto a rectangle of the picture.
struct Plot {
  QRectF area;
  double x0, x1, y0, y1;

  QPointF map(double x, double y) const {
    return {area.left() + (x - x0) / (x1 - x0) * area.width(), area.bottom() - (y - y0) / (y1 - y0) * area.height()};
  }

  // Widens the range so that a millimetre is as long on both axes.
  void equalScale() {
    const double sx = area.width() / (x1 - x0), sy = area.height() / (y1 - y0);
    if (sx < sy) {
      const double mid = (y0 + y1) / 2, half = area.height() / sx / 2;
      y0 = mid - half, y1 = mid + half;
    } else {
      const double mid = (x0 + x1) / 2, half = area.width() / sy / 2;
      x0 = mid - half, x1 = mid + half;
    }
  }
};

void drawTitle(QPainter& p, const Plot& plot, const QString& title) {
  p.setFont(font(20, true));
  p.setPen(kInk);
  p.drawText(QRectF(plot.area.left(), plot.area.top() - 40, plot.area.width(), 30), Qt::AlignLeft | Qt::AlignVCenter,
             title);
}

void drawFrame(QPainter& p, const Plot& plot, const QString& xLabel, const QString& yLabel) {
  p.setFont(font(14));
  const double xs = tickStep(plot.x1 - plot.x0, 8), ys = tickStep(plot.y1 - plot.y0, 5);
  for (double x = std::ceil(plot.x0 / xs) * xs; x <= plot.x1 + 1e-9; x += xs) {
    const QPointF a = plot.map(x, plot.y0);
    p.setPen(QPen(kGrid, 1));
    p.drawLine(a, plot.map(x, plot.y1));
    p.setPen(kInk);
    p.drawLine(a, a + QPointF(0, 6));
    p.drawText(QRectF(a.x() - 50, a.y() + 8, 100, 20), Qt::AlignHCenter | Qt::AlignTop, number(x, xs));
  }
  for (double y = std::ceil(plot.y0 / ys) * ys; y <= plot.y1 + 1e-9; y += ys) {
    const QPointF a = plot.map(plot.x0, y);
    p.setPen(QPen(kGrid, 1));
    p.drawLine(a, plot.map(plot.x1, y));
    p.setPen(kInk);
    p.drawLine(a, a - QPointF(6, 0));
    p.drawText(QRectF(a.x() - 88, a.y() - 10, 80, 20), Qt::AlignRight | Qt::AlignVCenter, number(y, ys));
  }
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot.area);
  p.setFont(font(15));
  p.drawText(QRectF(plot.area.left(), plot.area.bottom() + 30, plot.area.width(), 22), Qt::AlignHCenter, xLabel);
  p.save();
  p.translate(plot.area.left() - 78, plot.area.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-plot.area.height() / 2, -22, plot.area.height(), 22), Qt::AlignHCenter | Qt::AlignBottom, yLabel);
  p.restore();
}

void legend(QPainter& p, QPointF at, const std::vector<std::pair<QPen, QString>>& entries) {
  p.setFont(font(14));
  QFontMetricsF fm(p.font());
  double width = 0;
  for (const auto& e : entries) width = std::max(width, fm.horizontalAdvance(e.second));
  const QRectF box(at, QSizeF(width + 56, 22.0 * static_cast<double>(entries.size()) + 8));
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(255, 255, 255, 235));
  p.drawRect(box);
  double y = at.y() + 15;
  for (const auto& [pen, text] : entries) {
    p.setPen(pen);
    p.drawLine(QPointF(at.x() + 8, y), QPointF(at.x() + 38, y));
    p.setPen(kInk);
    p.drawText(QPointF(at.x() + 46, y + 5), text);
    y += 22;
  }
}

std::vector<QPointF> pathOf(const Plot& plot, const ProgramSection& s, bool topView) {
  std::vector<QPointF> pts;
  for (const Move& m : s.moves) {
    if (!m.x || !m.y || !m.z) continue;
    pts.push_back(plot.map(*m.x, topView ? *m.y : *m.z));
  }
  return pts;
}

void drawPlanform(QPainter& p, const PreviewInput& in, QRectF area) {
  const auto& st = in.record->finishing.empty() ? in.record->roughing : in.record->finishing;
  double maxChord = in.stockWidthMm, minTwist = 0, maxTwist = 1;
  for (const auto& r : st) {
    maxChord = std::max(maxChord, r.station.ChordScale * 100);
    const double t = r.station.Twist * 180 / std::numbers::pi;
    minTwist = std::min(minTwist, t), maxTwist = std::max(maxTwist, t);
  }
  Plot plot{area, in.hubMm - 20, in.tipMm + 20, 0,
            tickStep(maxChord, 5) * std::ceil(maxChord * 1.05 / tickStep(maxChord, 5))};
  drawTitle(p, plot, "Planform: chord and twist along the span (finishing stations)");
  drawFrame(p, plot, "radius X / mm", "chord / mm");

  // The twist has its own scale on the right.
  const double ts = tickStep(maxTwist - minTwist, 5);
  const double t0 = std::floor(minTwist / ts) * ts, t1 = std::ceil(maxTwist * 1.05 / ts) * ts;
  const Plot twist{area, plot.x0, plot.x1, t0, t1};
  p.setFont(font(14));
  for (double t = t0; t <= t1 + 1e-9; t += ts) {
    const QPointF a = twist.map(twist.x1, t);
    p.setPen(kTwist);
    p.drawLine(a, a + QPointF(6, 0));
    p.drawText(QRectF(a.x() + 9, a.y() - 10, 60, 20), Qt::AlignLeft | Qt::AlignVCenter, number(t, ts));
  }
  p.save();
  p.translate(area.right() + 62, area.center().y());
  p.rotate(90);
  p.setFont(font(15));
  p.drawText(QRectF(-area.height() / 2, -22, area.height(), 22), Qt::AlignHCenter | Qt::AlignBottom, "twist / degrees");
  p.restore();

  p.setClipRect(area);
  p.setPen(QPen(kInk, 1.5, Qt::DashLine));
  p.drawLine(plot.map(plot.x0, in.stockWidthMm), plot.map(plot.x1, in.stockWidthMm));
  QPolygonF chord, tw;
  for (const auto& r : st) {
    chord << plot.map(r.x, r.station.ChordScale * 100);
    tw << twist.map(r.x, r.station.Twist * 180 / std::numbers::pi);
  }
  p.setPen(QPen(kChord, 2.5));
  p.drawPolyline(chord);
  p.setPen(QPen(kTwist, 2.5));
  p.drawPolyline(tw);
  p.setClipping(false);
  legend(p, area.topRight() + QPointF(-300, 10),
         {{QPen(kChord, 2.5), "chord"},
          {QPen(kTwist, 2.5), "twist (right scale)"},
          {QPen(kInk, 1.5, Qt::DashLine),
           "stock width " + QString::fromStdString(fixedText(in.stockWidthMm, 1)) + " mm"}});
}

void drawTopView(QPainter& p, const PreviewInput& in, QRectF area) {
  Box box;
  box.add(in.hubMm, 0.0, std::nullopt);
  box.add(in.tipMm, in.stockWidthMm, std::nullopt);
  for (const auto& s : in.moves->sections) {
    if (s.tool == 2) box.add(s.box);
  }
  const double pad = 20;
  Plot plot{area, *box.x.lo - pad, *box.x.hi + pad, *box.y.lo - pad, *box.y.hi + pad};
  plot.equalScale();
  drawTitle(p, plot, "Top view: finishing toolpath (T2) over the block");
  drawFrame(p, plot, "radius X / mm", "across the stock Y / mm");
  p.setClipRect(area);
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(kBlock);
  p.drawRect(QRectF(plot.map(in.hubMm, in.stockWidthMm), plot.map(in.tipMm, 0)));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kChord, 1));
  for (const auto& s : in.moves->sections) {
    if (s.tool != 2) continue;
    const auto pts = pathOf(plot, s, true);
    p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
  }
  p.setClipping(false);
  legend(p, area.topRight() + QPointF(-250, 10),
         {{QPen(kChord, 1.5), "finishing toolpath"}, {QPen(kBlock.darker(130), 8), "block (hub to tip)"}});
}

void drawSideView(QPainter& p, const PreviewInput& in, QRectF area) {
  Box box;
  box.add(in.hubMm, std::nullopt, std::nullopt);
  box.add(in.tipMm, std::nullopt, std::nullopt);
  for (const auto& s : in.moves->sections) box.add(s.box);
  if (!box.z.lo) box.add(std::nullopt, std::nullopt, 0.0);
  const double pad = 20;
  Plot plot{area, *box.x.lo - pad, *box.x.hi + pad, *box.z.lo - pad, *box.z.hi + pad};
  plot.equalScale();
  drawTitle(p, plot, "Side view: roughing passes (T1) and the finished surface");
  drawFrame(p, plot, "radius X / mm", "height Z / mm");
  p.setClipRect(area);

  // The finished surface seen from the side: between the lowest and the
  // highest point of each finishing station.
  const auto& fin = in.record->finishing;
  if (!fin.empty()) {
    QPolygonF band;
    for (const auto& r : fin) {
      float hi = r.points[1].Z;
      for (std::size_t j = 1; j < r.points.size(); ++j) hi = std::max(hi, r.points[j].Z);
      band << plot.map(r.x, hi);
    }
    for (auto it = fin.rbegin(); it != fin.rend(); ++it) {
      float lo = it->points[1].Z;
      for (std::size_t j = 1; j < it->points.size(); ++j) lo = std::min(lo, it->points[j].Z);
      band << plot.map(it->x, lo);
    }
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(190, 190, 190));
    p.drawPolygon(band);
  }
  p.setBrush(Qt::NoBrush);
  std::vector<std::pair<QPen, QString>> entries;
  for (const auto& s : in.moves->sections) {
    if (s.tool != 1 || s.pass == 0) continue;
    const QColor c = kPass[static_cast<std::size_t>(s.pass - 1) % std::size(kPass)];
    // Cutting moves solid, the rapid move back to the highest point dashed.
    std::optional<QPointF> last;
    for (const Move& m : s.moves) {
      if (!m.x || !m.z) continue;
      const QPointF pt = plot.map(*m.x, *m.z);
      if (last) {
        p.setPen(m.rapid ? QPen(c, 1, Qt::DashLine) : QPen(c, 1.2));
        p.drawLine(*last, pt);
      }
      last = pt;
    }
    entries.push_back({QPen(c, 2.5), "roughing pass " + QString::number(s.pass)});
  }
  p.setClipping(false);
  entries.push_back({QPen(QColor(190, 190, 190), 8), "finished surface (lowest to highest Z per station)"});
  legend(p, area.topRight() + QPointF(-430, 10), entries);
}

void paint(QPainter& p, const PreviewInput& in) {
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, 0, kWidth, kHeight), Qt::white);
  const double left = 120, right = kWidth - 90;
  drawPlanform(p, in, QRectF(QPointF(left, 60), QPointF(right, 440)));
  drawTopView(p, in, QRectF(QPointF(left, 560), QPointF(right, 960)));
  drawSideView(p, in, QRectF(QPointF(left, 1080), QPointF(right, 1460)));
  p.setFont(font(13));
  p.setPen(kInk);
  p.drawText(QRectF(left, kHeight - 30, right - left, 20), Qt::AlignLeft,
             "Millimetres, machine axes. Toolpaths drawn from the program's own move lines; rapid moves dashed.");
}

// A headless run has no runtime folder; Qt's note about it says nothing the
// user can act on. Every other message goes to Qt's usual handler.
QtMessageHandler qtDefaultHandler = nullptr;

void quietHeadlessNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
  if (qtDefaultHandler) qtDefaultHandler(type, context, message);
}

}  // namespace

void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qtDefaultHandler = qInstallMessageHandler(quietHeadlessNotes);
  // A picture drawn into memory needs no display: the offscreen platform
  // also keeps a run over ssh with a stale DISPLAY from aborting, which is
  // what Qt does when it cannot reach the display it was told to use. A
  // platform the user chose is kept.
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "ventaro-gcode";
  static char* argv[] = {name, nullptr};
  // Kept for the rest of the process: Qt wants one application object for
  // as long as fonts are in use.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

std::string previewBytes(const PreviewInput& in, PreviewFormat format) {
  ensureGuiApplication();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == PreviewFormat::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(kWidth, kHeight));
    svg.setViewBox(QRect(0, 0, kWidth, kHeight));
    svg.setTitle("Ventaro blade preview");
    QPainter p;
    if (!p.begin(&svg)) throw PreviewError("the SVG picture could not be drawn");
    paint(p, in);
    p.end();
  } else {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    paint(p, in);
    p.end();
    if (!image.save(&buffer, "PNG")) throw PreviewError("the PNG picture could not be encoded");
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace ventaro
