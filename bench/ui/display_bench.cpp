// Time from the click on "Compute" to the program shown in the output field,
// for the largest program the limits allow: five roughing passes and 1001
// stations in both sweeps, 108,131 lines. Run it under Xvfb for a real X
// server, or with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <memory>

#include "gcode/compute.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace {

class NoBoxes : public ventaro::MessageBoxes {
 public:
  void show(QWidget*, ventaro::MessageKind, const QString&, const QString& text) override {
    qFatal("unexpected message: %s", qPrintable(text));
  }
  ventaro::StaleAnswer askStale(QWidget*, const QString&, const QString& text, const QString&) override {
    qFatal("unexpected question: %s", qPrintable(text));
  }
};

struct Window {
  NoBoxes boxes;
  std::unique_ptr<ventaro::Form1> form = std::make_unique<ventaro::Form1>(boxes);
  QLineEdit* field(const char* name) { return form->findChild<QLineEdit*>(QLatin1String(name)); }
  QPlainTextEdit* output() { return form->findChild<QPlainTextEdit*>("txtOutput"); }
  QPushButton* start() { return form->findChild<QPushButton*>("cmdStart"); }

  Window(bool largest) {
    form->show();
    (void)QTest::qWaitForWindowExposed(form.get());
    if (largest) {
      // Station counts near 1135 give station 1000 as the last of each sweep.
      field("txtRoughPassesNo")->setText("5");
      field("txtRoughStep")->setText("3.524");  // 4000 / 3.524 = 1135.07
      field("txtFinStep")->setText("6.52");     // 7400 / 6.52 = 1134.97
    }
  }
};

void clickToShown(benchmark::State& state, bool largest) {
  Window window(largest);
  for (auto _ : state) {
    window.start()->click();
    // The event loop paints the window: the program is then on screen.
    QCoreApplication::processEvents();
  }
  const int lines = window.output()->document()->blockCount();
  if (lines != (largest ? 108131 : 4051)) state.SkipWithError("wrong program length");
  state.counters["lines"] = lines;
}

void BM_ClickToShown_Largest(benchmark::State& state) { clickToShown(state, true); }
void BM_ClickToShown_Default(benchmark::State& state) { clickToShown(state, false); }

// The parts of the click: the core's run alone, and the display alone.
ventaro::JobFields largestFields() {
  ventaro::JobFields fields;
  fields[ventaro::Field::RoughPassesNo] = "5";
  fields[ventaro::Field::STNrough] = "1135.07";
  fields[ventaro::Field::STNfinish] = "1134.97";
  return fields;
}

void BM_ComputeOnly_Largest(benchmark::State& state) {
  ventaro::SectionTable table;
  table.fill();
  const ventaro::JobFields fields = largestFields();
  for (auto _ : state) benchmark::DoNotOptimize(ventaro::compute(fields, table));
}

void BM_ShowOnly_Largest(benchmark::State& state) {
  Window window(false);
  ventaro::SectionTable table;
  table.fill();
  const std::string program = ventaro::compute(largestFields(), table);
  // Qt's setPlainText alone, for comparison with the window's insertion.
  // Argument 1: without line wrapping, to see what wrapping costs.
  if (state.range(0) == 1) window.output()->setLineWrapMode(QPlainTextEdit::NoWrap);
  for (auto _ : state) {
    QString text = QString::fromUtf8(program.data(), static_cast<qsizetype>(program.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    window.output()->setPlainText(text);
    window.output()->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
  }
}

// One progress figure painted on the spot; the largest run reports 2002.
void BM_ProgressRepaint(benchmark::State& state) {
  Window window(false);
  QLineEdit* progress = window.field("txtProgress");
  int i = 0;
  for (auto _ : state) {
    progress->setText(QString::number(++i % 100) + "%");
    progress->repaint();
  }
}

}  // namespace

BENCHMARK(BM_ClickToShown_Largest)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ClickToShown_Default)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputeOnly_Largest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowOnly_Largest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
