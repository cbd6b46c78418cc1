// Form1, the window's client area: the job fields with their labels, the
// two derived station counts, the output folder and file name, "Compute",
// "Save Gcode", the progress figure and the program text. A thin client of
// the core: every number it shows comes from ventaro_core / ventaro_gcode /
// ventaro_machining. The menu bar above it is VentaroWindow's.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "core/job_parameters.h"
#include "core/section_table.h"
#include "core/station_count.h"
#include "files/job_run.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ventaro {

// The classic Windows dialog font at `points`, or a font with its metrics
// (Arial's); where none is installed the platform's sans-serif face.
QFont dialogFont(double points);

class MessageBoxes;

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(MessageBoxes& boxes, QWidget* parent = nullptr);

  // The program of the last successful computation, as "Save Gcode" writes
  // it; empty before the first one.
  const std::string& finishPass() const { return run_.program; }

  // The last successful computation, with the stations it placed; null
  // before the first one. Every export is made from it.
  const JobRun* lastRun() const { return computed_ ? &run_ : nullptr; }
  const SectionTable& sectionTable() const { return table_; }

  // The job field texts as they stand.
  JobFields jobFields() const { return readFields(); }
  // Sets every job field's text as given without running the tool fields'
  // change handlers, so the station fields show the texts given too.
  void setJobFields(const JobFields& fields);

  // The machine the next computation writes for. Changing it computes
  // again when a program is shown, so that the program field and "Save
  // Gcode" always hold the chosen machine's program.
  const MachineSettings& machine() const { return machine_; }
  void setMachine(const MachineSettings& machine, bool computeAgain = true);

  // Presses "Compute" / "Save Gcode", as the File menu does.
  void compute() { cmdStart_Click(); }
  void saveGcode() { cmdSave_Click(); }

  // Whether the job fields or the machine differ from those of the last
  // computed program (false before the first Compute).
  bool programOutOfDate() const;
  // Before a program is saved, exported or checked: when it is out of date,
  // asks whether to compute now, to go on with the program of the last Compute (the
  // second button says `useEarlier`) or to cancel. Returns whether to go on
  // with lastRun(), which a successful Compute has then renewed.
  bool confirmProgram(const QString& useEarlier);

  // Why a tool's station count could not be worked out from its fields as
  // typed: empty while both counts follow their fields. Shown in a status
  // line, never in a box, so that typing is never interrupted.
  QString toolProblem() const;

  // The output folder and file name as their fields hold them (the folder
  // ends in a separator).
  QString outputFolder() const;
  QString outputFileName() const;

 signals:
  // A computation succeeded: lastRun() is new.
  void computed();
  // A field, the machine or the program changed: programOutOfDate() or
  // toolProblem() may say otherwise now.
  void stateChanged();

 private:
  // The window's event handlers, and no others.
  void Form_Load();
  void cmdStart_Click();
  void cmdSave_Click();
  void TxtFinDia_Change();
  void txtFinStep_Change();
  void txtRoughDia_Change();
  void txtRoughStep_Change();

  // The one routine behind the four tool-field handlers.
  void updateStationCount(Tool tool);
  void setToolProblem(Tool tool, const QString& problem);
  JobFields readFields() const;
  void showError(const QString& text);

  void createControls();
  void setTabOrder();
  void connectHandlers();
  QLabel* addLabel(const QString& text, int left, int top, int width, int height, const QFont& font);
  QLineEdit* addField(const char* name, const QString& text, int left, int top, int width, int height);
  // A job field named and filled from the field table, one row high.
  QLineEdit* addJobField(Field job, int left, int top, int width);
  void place(QWidget* widget, int left, int top, int width, int height) const;

  MessageBoxes& boxes_;
  double pixelsPerTwip_;
  SectionTable table_;
  MachineSettings machine_;
  // The last good run; its program is the window's FinishPass.
  JobRun run_;
  bool computed_ = false;
  // Per tool (roughing, finishing): why its count does not follow its fields.
  std::array<QString, 2> toolProblems_;

  QLineEdit* txtFileName = nullptr;
  QLineEdit* txtPath = nullptr;
  QLineEdit* txtProgress = nullptr;
  QPushButton* cmdStart = nullptr;
  QPushButton* cmdSave = nullptr;
  QPlainTextEdit* txtOutput = nullptr;
  QLineEdit* txtD = nullptr;
  QLineEdit* txtHubRad = nullptr;
  QLineEdit* txtTSR = nullptr;
  QLineEdit* txtB = nullptr;
  QLineEdit* txtAT = nullptr;
  QLineEdit* txtCl = nullptr;
  QLineEdit* txtMax = nullptr;
  QLineEdit* txtSTNfinish = nullptr;
  QLineEdit* txtSTNrough = nullptr;
  QLineEdit* txtRoughPassesNo = nullptr;
  QLineEdit* txtRoughDepth = nullptr;
  QLineEdit* txtFinishDepth = nullptr;
  QLineEdit* txtFinishFeed = nullptr;
  QLineEdit* txtRoughFeed = nullptr;
  QLineEdit* txtRoughDia = nullptr;
  QLineEdit* txtRoughStep = nullptr;
  QLineEdit* TxtFinDia = nullptr;
  QLineEdit* txtFinStep = nullptr;

  // The field of each job field, indexed by Field.
  std::array<QLineEdit*, kFieldCount> jobFields_{};
};

}  // namespace ventaro
