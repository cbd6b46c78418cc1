#include "ui/main_window.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <exception>
#include <mutex>
#include <string_view>

#include "gcode/compute.h"
#include "ui/background_work.h"
#include "ui/message_boxes.h"
#include "ui/save_program.h"

namespace ventaro {

namespace {

const QString kTitle = QStringLiteral("Ventaro");

// Positions are in twips, 1440 to the inch: 15 to a pixel at 96 dpi.
constexpr double kTwipsPerInch = 1440.0;
constexpr int kClientWidth = 6405;
constexpr int kClientHeight = 9720;

}  // namespace

// The classic Windows dialog font, or a font with its metrics (Arial's):
// the fixed layout was drawn for them, and wider faces would be cut off by
// the label widths. Where none is installed the platform's sans-serif face
// stands in.
QFont dialogFont(double points) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"), font.family()});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  return font;
}

namespace {

QFont progressFont() {
  QFont font = dialogFont(18);
  font.setBold(true);
  return font;
}

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The label beside a field, as the field table holds it.
QString label(Field field) { return fromUtf8(fieldInfo(field).label); }

// Shows each progress figure in the progress field as the run reaches it.
// The field is repainted on the spot, since the run keeps the window's
// thread until it ends, but at most every 40 ms: the largest run reports
// 2002 figures, and painting every one would cost more than the run.
class ProgressField : public ComputeObserver {
 public:
  explicit ProgressField(QLineEdit* field) : field_(field) { sincePaint_.start(); }

  void progress(const std::string& figure) override {
    field_->setText(fromUtf8(figure));
    if (sincePaint_.elapsed() >= 40) {
      field_->repaint();
      sincePaint_.restart();
    }
  }

 private:
  QLineEdit* field_;
  QElapsedTimer sincePaint_;
};

// The progress figure of a computation on another thread: kept, and shown
// once the run is over.
class KeptFigure : public ComputeObserver {
 public:
  void progress(const std::string& figure) override {
    const std::lock_guard<std::mutex> lock(mutex_);
    figure_ = figure;
  }
  std::string figure() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return figure_;
  }

 private:
  mutable std::mutex mutex_;
  std::string figure_;
};

}  // namespace

Form1::Form1(MessageBoxes& boxes, QWidget* parent) : QWidget(parent), boxes_(boxes) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
  pixelsPerTwip_ = dpi / kTwipsPerInch;

  setWindowTitle(kTitle);
  // The window's default font, that of its fields and buttons.
  setFont(dialogFont(8));
  setFixedSize(qRound(kClientWidth * pixelsPerTwip_), qRound(kClientHeight * pixelsPerTwip_));
  createControls();
  setTabOrder();
  Form_Load();
  // Connected only now: opening the window runs no change handler, so the
  // station fields keep their stored defaults.
  connectHandlers();
  txtOutput->setFocus();
}

void Form1::place(QWidget* widget, int left, int top, int width, int height) const {
  const auto px = [this](int twips) { return qRound(twips * pixelsPerTwip_); };
  widget->setGeometry(px(left), px(top), px(width), px(height));
}

QLabel* Form1::addLabel(const QString& text, int left, int top, int width, int height, const QFont& font) {
  auto* label = new QLabel(text, this);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  place(label, left, top, width, height);
  // A face a little wider than the one the layout was drawn for must not cut
  // the label's end off: it may then run into the gap before its field.
  const int needed = QFontMetrics(font).horizontalAdvance(text) + 1;
  if (needed > label->width()) label->resize(needed, label->height());
  return label;
}

QLineEdit* Form1::addField(const char* name, const QString& text, int left, int top, int width, int height) {
  auto* field = new QLineEdit(text, this);
  field->setObjectName(QLatin1String(name));
  place(field, left, top, width, height);
  return field;
}

void Form1::createControls() {
  const QFont defaultFont = font();
  const QFont rowFont = dialogFont(12);

  // Top strip: file, progress and buttons.
  addLabel(QStringLiteral("File name:"), 120, 240, 735, 255, defaultFont);
  txtFileName = addField("txtFileName", QStringLiteral("blade.nc"), 960, 240, 1335, 405);
  addLabel(QStringLiteral("File Path:"), 120, 720, 735, 255, defaultFont);
  txtPath = addField("txtPath", QDir::toNativeSeparators(QDir::homePath()) + QDir::separator(), 960, 720, 3495, 375);
  txtProgress = addField("txtProgress", QStringLiteral("0%"), 3480, 120, 1400, 495);
  txtProgress->setFont(progressFont());
  cmdStart = new QPushButton(QStringLiteral("Compute"), this);
  cmdStart->setObjectName(QStringLiteral("cmdStart"));
  place(cmdStart, 4920, 120, 1335, 495);
  cmdSave = new QPushButton(QStringLiteral("Save Gcode"), this);
  cmdSave->setObjectName(QStringLiteral("cmdSave"));
  place(cmdSave, 4920, 720, 1335, 495);
  // Return and Enter press a focused button, as Space does and as on
  // Windows, where the focused button is also drawn as the one they press.
  // The window is no dialog: Return in a field presses no button.
  for (QPushButton* button : {cmdStart, cmdSave}) button->setAutoDefault(true);

  // The program text, editable by the user but never read back.
  txtOutput = new QPlainTextEdit(this);
  txtOutput->setObjectName(QStringLiteral("txtOutput"));
  txtOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txtOutput->setTabChangesFocus(true);
  place(txtOutput, 120, 1320, 3135, 6855);

  // Rotor and job parameters, one row each; labels, control names and
  // initial texts come from the field table.
  struct Row {
    int top;
    int labelWidth;
    QLineEdit** field;
    Field job;
    int fieldWidth;
  };
  const Row rows[] = {
      {1320, 2055, &txtD, Field::D, 500},
      {1800, 2055, &txtHubRad, Field::HubRad, 500},
      {2280, 2055, &txtTSR, Field::TSR, 500},
      {2760, 2055, &txtB, Field::B, 500},
      {3240, 2055, &txtAT, Field::AT, 500},
      {3720, 2055, &txtCl, Field::Cl, 500},
      {4200, 2055, &txtMax, Field::Max, 495},
      {4800, 1935, &txtSTNfinish, Field::STNfinish, 500},
      {5280, 1935, &txtSTNrough, Field::STNrough, 500},
      {5760, 1935, &txtRoughPassesNo, Field::RoughPassesNo, 500},
      {6240, 2175, &txtRoughDepth, Field::RoughDepth, 500},
      {6720, 1935, &txtFinishDepth, Field::FinishDepth, 500},
      {7200, 1935, &txtFinishFeed, Field::FinishFeed, 500},
      {7680, 1935, &txtRoughFeed, Field::RoughFeed, 500},
  };
  for (const Row& row : rows) {
    const QFont font = row.job == Field::RoughDepth ? dialogFont(9.75) : rowFont;
    addLabel(label(row.job), 3480, row.top, row.labelWidth, 375, font);
    *row.field = addJobField(row.job, 5760, row.top, row.fieldWidth);
  }
  // Written by the station-count rule only; the user may focus, select and
  // copy them.
  txtSTNfinish->setReadOnly(true);
  txtSTNrough->setReadOnly(true);

  // The two tools, a column each, under the heading their fields share.
  struct ToolColumn {
    int left;
    QLineEdit** dia;
    Field diaJob;
    QLineEdit** step;
    Field stepJob;
  };
  const ToolColumn tools[] = {
      {120, &txtRoughDia, Field::RoughDia, &txtRoughStep, Field::RoughStep},
      {2520, &TxtFinDia, Field::FinDia, &txtFinStep, Field::FinStep},
  };
  for (const ToolColumn& tool : tools) {
    addLabel(fromUtf8(fieldInfo(tool.diaJob).heading), tool.left, 8280, 1695, 375, rowFont);
    addLabel(label(tool.diaJob), tool.left, 8760, 1575, 375, rowFont);
    addLabel(label(tool.stepJob), tool.left, 9240, 1455, 375, rowFont);
    const int fieldLeft = tool.left + 1680;
    *tool.dia = addJobField(tool.diaJob, fieldLeft, 8760, 500);
    *tool.step = addJobField(tool.stepJob, fieldLeft, 9240, 500);
  }
}

QLineEdit* Form1::addJobField(Field job, int left, int top, int width) {
  const FieldInfo& info = fieldInfo(job);
  const std::string name(info.control);
  QLineEdit* field = addField(name.c_str(), fromUtf8(info.defaultText), left, top, width, 375);
  jobFields_[static_cast<std::size_t>(job)] = field;
  return field;
}

void Form1::setTabOrder() {
  // Ascending tab index; the progress field (33) sits between the file name
  // (30) and the roughing tool diameter (37).
  QWidget* const order[] = {txtOutput,
                            cmdStart,
                            txtTSR,
                            txtD,
                            txtB,
                            txtAT,
                            txtCl,
                            txtSTNfinish,
                            txtMax,
                            txtSTNrough,
                            txtRoughPassesNo,
                            txtRoughDepth,
                            txtFinishDepth,
                            txtFinishFeed,
                            txtRoughFeed,
                            cmdSave,
                            txtPath,
                            txtFileName,
                            txtProgress,
                            txtRoughDia,
                            txtRoughStep,
                            txtHubRad,
                            txtFinStep,
                            TxtFinDia};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::connectHandlers() {
  connect(cmdStart, &QPushButton::clicked, this, &Form1::cmdStart_Click);
  connect(cmdSave, &QPushButton::clicked, this, &Form1::cmdSave_Click);
  // textChanged: every change of the text, typed, deleted, pasted or cut.
  connect(TxtFinDia, &QLineEdit::textChanged, this, &Form1::TxtFinDia_Change);
  connect(txtFinStep, &QLineEdit::textChanged, this, &Form1::txtFinStep_Change);
  connect(txtRoughDia, &QLineEdit::textChanged, this, &Form1::txtRoughDia_Change);
  connect(txtRoughStep, &QLineEdit::textChanged, this, &Form1::txtRoughStep_Change);
  // After the handlers: whether the program still matches the fields.
  for (QLineEdit* field : jobFields_) connect(field, &QLineEdit::textChanged, this, &Form1::stateChanged);
}

void Form1::Form_Load() { table_.fill(); }

JobFields Form1::readFields() const {
  JobFields fields;
  for (int i = 0; i < kFieldCount; ++i) {
    fields[static_cast<Field>(i)] = jobFields_[static_cast<std::size_t>(i)]->text().toStdString();
  }
  return fields;
}

void Form1::showError(const QString& text) { boxes_.show(this, MessageKind::Error, kTitle, text); }

void Form1::cmdStart_Click() {
  // The plain computation holds the window's thread to its end; no event is
  // handled meanwhile, so the fields cannot change under it. The shop job
  // takes seconds: it runs on a thread of its own under a window-modal
  // progress dialog, and a cancelled run changes nothing.
  ProgressField progress(txtProgress);
  try {
    // The core hands the program over only when the run succeeds: after a
    // failure, the program and the output field keep the last good one.
    // The stations are recorded for the exports, the preview and the report.
    if (forMachine(machine_.job)) {
      const JobFields fields = readFields();
      KeptFigure figure;
      JobRun run;
      if (!runInBackground(this, QStringLiteral("Laying out the shop job\u2026"), [&](WorkMonitor& monitor) {
            run = runJob(fields, machine_, table_, &figure, true, &monitor);
          })) {
        return;
      }
      run_ = std::move(run);
      txtProgress->setText(fromUtf8(figure.figure()));
    } else {
      run_ = runJob(readFields(), machine_, table_, &progress, true);
    }
    computed_ = true;
  } catch (const RunError& error) {
    showError(fromUtf8(error.report()));
    return;
  } catch (const std::exception& error) {
    showError(QStringLiteral("The computation failed: ") + QString::fromLocal8Bit(error.what()));
    return;
  }
  // Lines are joined by CR LF; the text field's own line break is LF.
  QString text = fromUtf8(run_.program);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // Emptied, then the program inserted at the caret. Without undo
  // recording the insertion is about a tenth faster on a large program,
  // and replacing the whole text ends the undo history anyway.
  QTextDocument* document = txtOutput->document();
  txtOutput->clear();
  document->setUndoRedoEnabled(false);
  txtOutput->insertPlainText(text);
  document->setUndoRedoEnabled(true);
  // Caret after the last character, so that the end of the program is in view.
  txtOutput->moveCursor(QTextCursor::End);
  emit computed();
  emit stateChanged();
}

void Form1::setJobFields(const JobFields& fields) {
  for (int i = 0; i < kFieldCount; ++i) {
    QLineEdit* field = jobFields_[static_cast<std::size_t>(i)];
    const QSignalBlocker noHandler(field);
    field->setText(fromUtf8(fields[static_cast<Field>(i)]));
  }
  // Opened as saved: the counts stand as the design holds them.
  for (Tool tool : {Tool::Roughing, Tool::Finishing}) setToolProblem(tool, {});
  emit stateChanged();
}

void Form1::setMachine(const MachineSettings& machine, bool computeAgain) {
  machine_ = machine;
  if (computeAgain && computed_) cmdStart_Click();
  emit stateChanged();
}

bool Form1::programOutOfDate() const { return computed_ && (readFields() != run_.fields || machine_ != run_.machine); }

bool Form1::confirmProgram(const QString& useEarlier) {
  if (!programOutOfDate()) return true;
  switch (boxes_.askStale(this, kTitle, QStringLiteral("The fields changed since the last Compute."), useEarlier)) {
    case StaleAnswer::ComputeNow:
      cmdStart_Click();
      // A Compute that fails has said why; nothing is written then.
      return !programOutOfDate();
    case StaleAnswer::UseEarlier:
      return true;
    case StaleAnswer::Cancel:
      return false;
  }
  return false;
}

QString Form1::toolProblem() const {
  for (const QString& problem : toolProblems_) {
    if (!problem.isEmpty()) return problem;
  }
  return {};
}

void Form1::setToolProblem(Tool tool, const QString& problem) {
  QLineEdit* const fields[2][2] = {{txtRoughDia, txtRoughStep}, {TxtFinDia, txtFinStep}};
  const std::size_t index = tool == Tool::Roughing ? 0 : 1;
  toolProblems_[index] = problem;
  // The tool's fields say it too, where the eye is while typing.
  for (QLineEdit* field : fields[index]) {
    field->setToolTip(problem);
    field->setStyleSheet(problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 1px solid #c00000; }"));
  }
}

QString Form1::outputFolder() const { return txtPath->text(); }
QString Form1::outputFileName() const { return txtFileName->text(); }

void Form1::cmdSave_Click() {
  if (!confirmProgram(QStringLiteral("Save the earlier program"))) return;
  const QString fullPath = txtPath->text() + txtFileName->text();
  // A job of one program per tool is saved as one file per tool.
  const bool parts = !run_.programParts.empty();
  const SaveOutcome outcome =
      parts ? saveProgramParts(fullPath, run_.programParts) : saveProgram(fullPath, run_.program);
  if (outcome.saved) {
    boxes_.show(
        this, MessageKind::Notice, kTitle,
        savedMessage(parts ? programPartPaths(fullPath, run_.programParts).join(QStringLiteral(", ")) : fullPath));
  } else {
    showError(notSavedMessage(fullPath, outcome.reason));
  }
}

void Form1::TxtFinDia_Change() { updateStationCount(Tool::Finishing); }
void Form1::txtFinStep_Change() { updateStationCount(Tool::Finishing); }
void Form1::txtRoughDia_Change() { updateStationCount(Tool::Roughing); }
void Form1::txtRoughStep_Change() { updateStationCount(Tool::Roughing); }

void Form1::updateStationCount(Tool tool) {
  QLineEdit* target = tool == Tool::Roughing ? txtSTNrough : txtSTNfinish;
  // Nothing is written while the count fails: the station field keeps its
  // previous text. The reason is shown without a box, which would take the
  // next keystroke: typing ".5" passes through ".", which is no number yet.
  try {
    const std::string count = stationCountText(readFields(), tool);
    target->setText(fromUtf8(count));
    setToolProblem(tool, {});
  } catch (const RunError& error) {
    setToolProblem(tool, fromUtf8(error.report()));
  } catch (const std::exception& error) {
    setToolProblem(tool, QStringLiteral("The station count failed: ") + QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace ventaro
