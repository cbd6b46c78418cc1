#include "ui/ventaro_window.h"
#include "ui/program_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>

#include "files/blade_stl.h"
#include "files/design_file.h"
#include "files/job_run.h"
#include "files/output_files.h"
#include "files/performance.h"
#include "files/setup_sheet.h"
#include "png/svg_to_png.h"
#include "ui/background_work.h"
#include "ui/check_window.h"
#include "ui/design_dialog.h"
#include "ui/file_dialogs.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/preview_window.h"
#include "ui/shop_settings_dialog.h"
#include "ui/text_window.h"
#include "ui/window_place.h"

namespace ventaro {

namespace {

const QString kTitle = QStringLiteral("Ventaro");
const QString kRecentKey = QStringLiteral("recentDesigns");
constexpr int kRecentCount = 6;
const QString kDesignFilter = QStringLiteral("Ventaro design (*.json);;All files (*)");

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A path as the system's file functions take it.
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

VentaroWindow::VentaroWindow(MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), boxes_(boxes), dialogs_(dialogs), form_(new Form1(boxes, this)) {
  setWindowTitle(kTitle);
  setCentralWidget(form_);
  createFileMenu();
  createExportMenu();
  createViewMenu();
  createMachineMenu();
  // The client area has a fixed size: the window is that and the menu bar.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // Below the client area: why a station count does not follow its tool,
  // or that the program shown no longer matches the fields.
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("statusText"));
  status_->setTextFormat(Qt::PlainText);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(false);
  connect(form_, &Form1::computed, this, &VentaroWindow::refreshViews);
  connect(form_, &Form1::stateChanged, this, &VentaroWindow::showStatus);
  showMachine();
  refreshViews();
  showStatus();
}

QAction* VentaroWindow::addAction(QMenu* menu, const char* name, const QString& text, void (VentaroWindow::*slot)()) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QLatin1String(name));
  connect(action, &QAction::triggered, this, slot);
  return action;
}

void VentaroWindow::createFileMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&File"));
  menu->setObjectName(QStringLiteral("fileMenu"));
  addAction(menu, "openDesign", QStringLiteral("&Open Design\u2026"), &VentaroWindow::openDesignDialog)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  addAction(menu, "saveDesignAs", QStringLiteral("Save Design &As\u2026"), &VentaroWindow::saveDesignAs)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  recentMenu_ = menu->addMenu(QStringLiteral("&Recent Designs"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  fillRecentMenu();
  menu->addSeparator();
  QAction* save = menu->addAction(QStringLiteral("&Save Gcode"));
  save->setObjectName(QStringLiteral("saveGcode"));
  connect(save, &QAction::triggered, form_, &Form1::saveGcode);
  menu->addSeparator();
  QAction* quit = menu->addAction(QStringLiteral("&Quit"));
  quit->setObjectName(QStringLiteral("quit"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);
}

void VentaroWindow::createExportMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Export"));
  needRun_ << addAction(menu, "exportStations", QStringLiteral("&Station table\u2026"),
                        &VentaroWindow::exportStationTable)
           << addAction(menu, "exportReport", QStringLiteral("&Machining report\u2026"), &VentaroWindow::exportReport)
           << addAction(menu, "exportPreview", QStringLiteral("&Preview picture\u2026"), &VentaroWindow::exportPreview)
           << addAction(menu, "exportSetup", QStringLiteral("S&etup sheet\u2026"), &VentaroWindow::exportSetup)
           << addAction(menu, "exportPerformance", QStringLiteral("P&erformance table\u2026"),
                        &VentaroWindow::exportPerformance)
           << addAction(menu, "exportPower", QStringLiteral("Po&wer curve\u2026"), &VentaroWindow::exportPower)
           << addAction(menu, "exportPerformancePicture", QStringLiteral("Performance p&icture\u2026"),
                        &VentaroWindow::exportPerformancePicture)
           << addAction(menu, "exportStl", QStringLiteral("Blade so&lid (STL)\u2026"), &VentaroWindow::exportStl)
           << addAction(menu, "exportTemplates", QStringLiteral("Section &templates\u2026"),
                        &VentaroWindow::exportTemplates);
}

void VentaroWindow::createViewMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&View"));
  addAction(menu, "viewPreview", QStringLiteral("&Preview"), &VentaroWindow::showPreview);
  addAction(menu, "viewReport", QStringLiteral("&Report"), &VentaroWindow::showReport);
  addAction(menu, "viewCheck", QStringLiteral("&Check"), &VentaroWindow::showCheck);
  addAction(menu, "viewSetup", QStringLiteral("&Setup sheet"), &VentaroWindow::showSetup);
  addAction(menu, "viewPerformance", QStringLiteral("P&erformance"), &VentaroWindow::showPerformance);
  QAction* programAction = addAction(menu, "viewProgram", QStringLiteral("Pro&gram"), &VentaroWindow::showProgram);
  programAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  preview_ = new PreviewWindow(this);
  preview_->setObjectName(QStringLiteral("previewWindow"));
  performance_ = new PreviewWindow(
      this, QStringLiteral("Ventaro performance"), QStringLiteral("performance"),
      QStringLiteral("Press \u201cCompute\u201d: the curves show how the blade it designs performs."),
      [this](const JobRun& run) { return jobPerformanceSvg(run.fields, form_->sectionTable(), run.machine); });
  performance_->setObjectName(QStringLiteral("performanceWindow"));
  report_ = new TextWindow(QStringLiteral("Ventaro machining report"), this);
  report_->setObjectName(QStringLiteral("reportWindow"));
  setup_ = new TextWindow(QStringLiteral("Ventaro setup sheet"), this);
  setup_->setObjectName(QStringLiteral("setupWindow"));
  check_ = new CheckWindow(this);
  check_->setObjectName(QStringLiteral("checkWindow"));
  program_ = new ProgramWindow(this);
  program_->setObjectName(QStringLiteral("programWindow"));
  connect(check_, &CheckWindow::lineChosen, this, [this](int line) {
    showProgram();
    program_->goToLine(line);
  });
}

void VentaroWindow::createMachineMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Machine"));
  QMenu* controllerMenu = menu->addMenu(QStringLiteral("&Controller"));
  controllers_ = new QActionGroup(this);
  const std::pair<Controller, const char*> controllers[] = {
      {Controller::Plain, "Plain"}, {Controller::LinuxCnc, "LinuxCNC"}, {Controller::Grbl, "GRBL"}};
  for (const auto& [controller, text] : controllers) {
    QAction* action = controllerMenu->addAction(QString::fromLatin1(text));
    action->setObjectName(QStringLiteral("controller_") + latin1(controllerName(controller)));
    action->setCheckable(true);
    action->setData(static_cast<int>(controller));
    controllers_->addAction(action);
    connect(action, &QAction::triggered, this, [this, controller] {
      MachineSettings machine = form_->machine();
      machine.controller = controller;
      chooseMachine(machine);
    });
  }
  QMenu* jobMenu = menu->addMenu(QStringLiteral("&Job"));
  jobs_ = new QActionGroup(this);
  const std::pair<Job, const char*> jobs[] = {{Job::Plain, "Plain"}, {Job::Shop, "Shop"}, {Job::TwoSided, "Two-sided"}};
  for (const auto& [job, text] : jobs) {
    QAction* action = jobMenu->addAction(QString::fromLatin1(text));
    action->setObjectName(QStringLiteral("job_") + latin1(jobName(job)));
    action->setCheckable(true);
    action->setData(static_cast<int>(job));
    jobs_->addAction(action);
    connect(action, &QAction::triggered, this, [this, job] {
      MachineSettings machine = form_->machine();
      machine.job = job;
      // The shop job is written for a machine: LinuxCNC unless GRBL is chosen.
      if (forMachine(job) && machine.controller == Controller::Plain) machine.controller = Controller::LinuxCnc;
      chooseMachine(machine);
    });
  }
  addAction(menu, "shopSettings", QStringLiteral("&Shop Job Settings\u2026"), &VentaroWindow::editShopSettings);
  addAction(menu, "bladeDesign", QStringLiteral("&Blade Design\u2026"), &VentaroWindow::editDesign);
}

QString VentaroWindow::statusText() const { return status_->text(); }

void VentaroWindow::showStatus() {
  QString text = form_->toolProblem();
  if (text.isEmpty() && form_->programOutOfDate()) {
    text = QStringLiteral("The program is out of date: the fields changed since the last Compute.");
  }
  status_->setText(text);
}

void VentaroWindow::chooseMachine(const MachineSettings& machine) {
  form_->setMachine(machine);
  showMachine();
}

void VentaroWindow::showMachine() {
  const MachineSettings& machine = form_->machine();
  for (QAction* action : controllers_->actions()) {
    const auto controller = static_cast<Controller>(action->data().toInt());
    action->setChecked(controller == machine.controller);
    // The shop job is not written for the plain controller.
    action->setEnabled(controller != Controller::Plain || !forMachine(machine.job));
  }
  for (QAction* action : jobs_->actions()) action->setChecked(static_cast<Job>(action->data().toInt()) == machine.job);
}

void VentaroWindow::editShopSettings() {
  ShopSettingsDialog dialog(form_->machine().shop, this);
  if (dialog.exec() != QDialog::Accepted) return;
  MachineSettings machine = form_->machine();
  machine.shop = dialog.settings();
  // Only the shop job reads them: the plain program need not be made again.
  form_->setMachine(machine, forMachine(machine.job));
}

void VentaroWindow::editDesign() {
  DesignDialog dialog(form_->machine(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  MachineSettings machine = form_->machine();
  machine.design = dialog.design();
  machine.performance = dialog.performance();
  if (machine.performance.xfoil) {
    // XFOIL takes seconds an airfoil: run it now, under the progress
    // dialog, and the polars are kept for every Compute after.
    try {
      (void)runInBackground(this, QStringLiteral("Running XFOIL for the airfoil\u2019s polars\u2026"),
                            [&machine](WorkMonitor&) { (void)performancePolars(machine.performance, machine.design); });
    } catch (const std::runtime_error& error) {
      boxes_.show(this, MessageKind::Error, kTitle,
                  QStringLiteral("XFOIL gave no polars for the airfoil.\n\n") + QString::fromUtf8(error.what()));
    }
  }
  // The plain program follows the rule whatever they say.
  form_->setMachine(machine, forMachine(machine.job));
  refreshViews();
}

// --- Design files ---------------------------------------------------------

void VentaroWindow::openDesignDialog() {
  const QString folder = lastDesign_.isEmpty() ? form_->outputFolder() : QFileInfo(lastDesign_).path();
  const QString path = dialogs_.openFile(this, QStringLiteral("Open Design"), folder, kDesignFilter);
  if (!path.isEmpty()) openDesign(path);
}

void VentaroWindow::openDesign(const QString& path) {
  Design design;
  try {
    design = readDesignFile(localPath(path));
  } catch (const DesignError& error) {
    // A design that is gone stays gone: it leaves the recent list.
    if (!QFileInfo::exists(path)) forgetDesign(path);
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The design could not be opened from ") + path + QStringLiteral("\n\n") +
                    fromUtf8(error.problem()));
    return;
  }
  // As saved: the station fields keep the saved counts, and nothing is
  // computed until "Compute" is pressed.
  form_->setJobFields(design.fields);
  form_->setMachine(design.machine, false);
  showMachine();
  rememberDesign(path);
}

void VentaroWindow::saveDesignAs() {
  const QString suggested = lastDesign_.isEmpty() ? suggestedPath(QStringLiteral(".json")) : lastDesign_;
  const QString path = dialogs_.saveFile(this, QStringLiteral("Save Design As"), suggested, kDesignFilter);
  if (path.isEmpty()) return;
  std::string text;
  try {
    text = designText(Design{form_->jobFields(), form_->machine()}, localPath(path));
  } catch (const DesignError& error) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The design could not be saved to ") + path + QStringLiteral("\n\n") +
                    fromUtf8(error.problem()));
    return;
  }
  OutputFiles files;
  files.add(localPath(path), std::move(text));
  if (const auto error = files.commit()) {
    boxes_.show(
        this, MessageKind::Error, kTitle,
        QStringLiteral("The design could not be saved to ") + path + QStringLiteral("\n\n") + fromUtf8(error->reason));
    return;
  }
  rememberDesign(path);
}

QStringList VentaroWindow::recentDesigns() const { return QSettings().value(kRecentKey).toStringList(); }

void VentaroWindow::rememberDesign(const QString& path) {
  lastDesign_ = QFileInfo(path).absoluteFilePath();
  QStringList recent = recentDesigns();
  recent.removeAll(lastDesign_);
  recent.prepend(lastDesign_);
  while (recent.size() > kRecentCount) recent.removeLast();
  QSettings().setValue(kRecentKey, recent);
  fillRecentMenu();
}

void VentaroWindow::forgetDesign(const QString& path) {
  QStringList recent = recentDesigns();
  if (recent.removeAll(QFileInfo(path).absoluteFilePath()) == 0) return;
  QSettings().setValue(kRecentKey, recent);
  fillRecentMenu();
}

void VentaroWindow::fillRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = recentDesigns();
  int number = 0;
  for (const QString& path : recent) {
    ++number;
    QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(number).arg(path));
    connect(action, &QAction::triggered, this, [this, path] { openDesign(path); });
  }
  recentMenu_->setEnabled(!recent.isEmpty());
}

// --- Exports and views ----------------------------------------------------

const JobRun* VentaroWindow::currentRun(const QString& useEarlier) {
  if (form_->lastRun() == nullptr || !form_->confirmProgram(useEarlier)) return nullptr;
  return form_->lastRun();
}

QString VentaroWindow::suggestedPath(const QString& suffix) const {
  const QString base = QFileInfo(form_->outputFileName()).completeBaseName();
  return form_->outputFolder() + (base.isEmpty() ? QStringLiteral("blade") : base) + suffix;
}

void VentaroWindow::writeExport(const QString& what, const QString& path, std::string bytes) {
  OutputFiles files;
  files.add(localPath(path), std::move(bytes));
  if (const auto error = files.commit()) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The ") + what + QStringLiteral(" could not be saved to ") + path +
                    QStringLiteral("\n\n") + fromUtf8(error->reason));
  }
}

void VentaroWindow::exportStationTable() {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  const QString path =
      dialogs_.saveFile(this, QStringLiteral("Export Station Table"), suggestedPath(QStringLiteral("-stations.csv")),
                        QStringLiteral("Station table (*.csv)"));
  if (!path.isEmpty()) writeExport(QStringLiteral("station table"), path, jobStationTable(*run, form_->sectionTable()));
}

void VentaroWindow::exportReport() {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  const QString path =
      dialogs_.saveFile(this, QStringLiteral("Export Machining Report"), suggestedPath(QStringLiteral("-report.txt")),
                        QStringLiteral("Machining report (*.txt)"));
  if (!path.isEmpty()) writeExport(QStringLiteral("machining report"), path, jobReport(*run, form_->sectionTable()));
}

void VentaroWindow::exportPreview() {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  const QString path =
      dialogs_.saveFile(this, QStringLiteral("Export Preview Picture"), suggestedPath(QStringLiteral("-preview.svg")),
                        QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"));
  if (path.isEmpty()) return;
  std::string bytes;
  try {
    bytes = previewPicture(*run, previewFormat(localPath(path)));
  } catch (const PreviewError& error) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The preview picture could not be saved to ") + path + QStringLiteral("\n\n") +
                    QString::fromUtf8(error.what()));
    return;
  }
  writeExport(QStringLiteral("preview picture"), path, std::move(bytes));
}

// Writes one of the rotor's performance outputs of the last run.
void VentaroWindow::exportPerformanceOutput(const QString& what, const QString& title, const QString& suffix,
                                            const QString& filter,
                                            const std::function<std::string(const JobRun&, const QString&)>& make) {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  const QString path = dialogs_.saveFile(this, title, suggestedPath(suffix), filter);
  if (path.isEmpty()) return;
  std::string bytes;
  try {
    bytes = make(*run, path);
  } catch (const std::runtime_error& error) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The ") + what + QStringLiteral(" could not be saved to ") + path +
                    QStringLiteral("\n\n") + QString::fromUtf8(error.what()));
    return;
  }
  writeExport(what, path, std::move(bytes));
}

void VentaroWindow::exportPerformance() {
  exportPerformanceOutput(QStringLiteral("performance table"), QStringLiteral("Export Performance Table"),
                          QStringLiteral("-performance.csv"), QStringLiteral("Performance table (*.csv)"),
                          [this](const JobRun& run, const QString&) {
                            return jobPerformanceCsv(run.fields, form_->sectionTable(), run.machine);
                          });
}

void VentaroWindow::exportPower() {
  exportPerformanceOutput(QStringLiteral("power curve"), QStringLiteral("Export Power Curve"),
                          QStringLiteral("-power.csv"), QStringLiteral("Power curve (*.csv)"),
                          [this](const JobRun& run, const QString&) {
                            return jobPowerCsv(run.fields, form_->sectionTable(), run.machine);
                          });
}

void VentaroWindow::exportPerformancePicture() {
  exportPerformanceOutput(QStringLiteral("performance picture"), QStringLiteral("Export Performance Picture"),
                          QStringLiteral("-performance.svg"),
                          QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"),
                          [this](const JobRun& run, const QString& path) {
                            std::string svg = jobPerformanceSvg(run.fields, form_->sectionTable(), run.machine);
                            return previewFormat(localPath(path)) == PreviewFormat::Png ? svgToPng(svg) : svg;
                          });
}

void VentaroWindow::exportStl() {
  exportPerformanceOutput(
      QStringLiteral("blade solid"), QStringLiteral("Export Blade Solid"), QStringLiteral(".stl"),
      QStringLiteral("STL solid (*.stl)"), [this](const JobRun& run, const QString&) {
        return bladeStl(designedBlade(readParameters(run.fields), form_->sectionTable(), run.machine));
      });
}

void VentaroWindow::exportTemplates() {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  const QString path = dialogs_.saveFile(
      this, QStringLiteral("Export Section Templates"), suggestedPath(QStringLiteral("-templates.pdf")),
      QStringLiteral("PDF, A4 pages (*.pdf);;SVG pages, one file per A4 sheet (*.svg)"));
  if (path.isEmpty()) return;
  OutputFiles files;
  try {
    const BladeModel blade = designedBlade(readParameters(run->fields), form_->sectionTable(), run->machine);
    for (auto& [name, bytes] : templateFiles(blade, localPath(path))) files.add(name, std::move(bytes));
  } catch (const std::runtime_error& error) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The section templates could not be saved to ") + path + QStringLiteral("\n\n") +
                    QString::fromUtf8(error.what()));
    return;
  }
  if (const auto error = files.commit()) {
    boxes_.show(this, MessageKind::Error, kTitle,
                QStringLiteral("The section templates could not be saved to ") + path + QStringLiteral("\n\n") +
                    fromUtf8(error->reason));
  }
}

std::vector<std::string> VentaroWindow::programFiles(const JobRun& run) const {
  const QString name = QFileInfo(form_->outputFileName()).fileName();
  if (name.isEmpty()) return {};
  return programFileNames(run, name.toStdString());
}

void VentaroWindow::exportSetup() {
  const JobRun* run = currentRun(QStringLiteral("Save the earlier program"));
  if (run == nullptr) return;
  if (!forMachine(run->machine.job)) {
    boxes_.show(this, MessageKind::Notice, kTitle,
                QStringLiteral("The setup sheet is written for the shop job: choose Machine > Job > Shop and press "
                               "\u201cCompute\u201d."));
    return;
  }
  const QString path =
      dialogs_.saveFile(this, QStringLiteral("Export Setup Sheet"), suggestedPath(QStringLiteral("-setup.json")),
                        QStringLiteral("Setup sheet (*.json)"));
  if (!path.isEmpty()) writeExport(QStringLiteral("setup sheet"), path, setupSheetJson(*run, programFiles(*run)));
}

void VentaroWindow::showProgram() {
  if (!program_->isVisible()) placeBeside(program_, this);
  program_->show();
  program_->raise();
  refreshViews();
}

void VentaroWindow::showSetup() {
  if (!setup_->isVisible()) placeBeside(setup_, this);
  setup_->show();
  setup_->raise();
  refreshViews();
}

void VentaroWindow::showPreview() {
  if (!preview_->isVisible()) placeBeside(preview_, this);
  preview_->show();
  preview_->raise();
  refreshViews();
}

void VentaroWindow::showPerformance() {
  if (!performance_->isVisible()) placeBeside(performance_, this);
  performance_->show();
  performance_->raise();
  refreshViews();
}

void VentaroWindow::showReport() {
  if (!report_->isVisible()) placeBeside(report_, this);
  report_->show();
  report_->raise();
  refreshViews();
}

void VentaroWindow::showCheck() {
  // The check of a program the fields no longer describe must be asked for.
  if (form_->lastRun() != nullptr && !form_->confirmProgram(QStringLiteral("Check the earlier program"))) return;
  if (!check_->isVisible()) placeBeside(check_, this);
  check_->show();
  check_->raise();
  refreshViews();
}

void VentaroWindow::refreshViews() {
  const JobRun* run = form_->lastRun();
  for (QAction* action : needRun_) action->setEnabled(run != nullptr);
  if (preview_->isVisible()) preview_->showRun(run);
  if (performance_->isVisible()) performance_->showRun(run);
  if (check_->isVisible()) check_->showRun(run);
  // The program view reads the program once per Compute: a program of a
  // million lines is not laid out again on every refresh.
  if (program_->isVisible()) {
    static const std::string kNone;
    const std::string& program = run != nullptr ? run->program : kNone;
    if (!programShown_ || program != shownProgram_) {
      program_->setProgram(program);
      shownProgram_ = program;
      programShown_ = true;
    }
  }
  if (setup_->isVisible()) {
    setup_->setText(run == nullptr ? QStringLiteral("Press \u201cCompute\u201d: the setup sheet describes the shop job "
                                                    "it makes.")
                    : !forMachine(run->machine.job)
                        ? QStringLiteral("The setup sheet is for the shop job: choose Machine > Job > Shop and press "
                                         "\u201cCompute\u201d.")
                        : fromUtf8(setupSheetText(*run, programFiles(*run))));
  }
  if (report_->isVisible()) {
    report_->setText(run != nullptr ? fromUtf8(jobReport(*run, form_->sectionTable()))
                                    : QStringLiteral("Press \u201cCompute\u201d: the report describes the program "
                                                     "it makes."));
  }
}

}  // namespace ventaro
