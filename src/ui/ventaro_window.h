// The top-level window: the menu bar over Form1, the client area. The menus
// offer what the command line offers: design files, the exports, the
// preview, the report and the check, the controller, the job and the shop settings.
// Form1 keeps its size and every control its place; the window grows by
// the menu bar's height.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "machine/machine_settings.h"
#include "picture/preview_input.h"

class QAction;
class QActionGroup;
class QMenu;
class QLabel;

namespace ventaro {

class ProgramWindow;

class CheckWindow;
class FileDialogs;
class Form1;
struct JobRun;
class MessageBoxes;
class PreviewWindow;
class TextWindow;

class VentaroWindow : public QMainWindow {
  Q_OBJECT

 public:
  VentaroWindow(MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent = nullptr);

  Form1* form() const { return form_; }

  // Opens the design at `path`: every field text and machine setting as
  // saved. A design that cannot be read changes nothing and is named with
  // its problem in an error box.
  void openDesign(const QString& path);

  // The designs opened or saved last, the latest first.
  QStringList recentDesigns() const;

  PreviewWindow* previewWindow() const { return preview_; }
  PreviewWindow* performanceWindow() const { return performance_; }
  TextWindow* reportWindow() const { return report_; }
  TextWindow* setupWindow() const { return setup_; }
  ProgramWindow* programWindow() const { return program_; }
  CheckWindow* checkWindow() const { return check_; }
  // The status line's text.
  QString statusText() const;

 private:
  void createFileMenu();
  void createExportMenu();
  void createViewMenu();
  void createMachineMenu();
  QAction* addAction(QMenu* menu, const char* name, const QString& text, void (VentaroWindow::*slot)());

  void openDesignDialog();
  void saveDesignAs();
  void rememberDesign(const QString& path);
  void forgetDesign(const QString& path);
  void fillRecentMenu();

  // The last computed run for an export, once the user has agreed to an
  // out-of-date one or computed it again; null when there is none to use.
  const JobRun* currentRun(const QString& useEarlier);
  void showStatus();

  void exportStationTable();
  void exportReport();
  void exportPreview();
  void exportSetup();
  void exportPerformance();
  void exportPower();
  void exportPerformancePicture();
  void exportStl();
  void exportTemplates();
  void exportPerformanceOutput(const QString& what, const QString& title, const QString& suffix, const QString& filter,
                               const std::function<std::string(const JobRun&, const QString&)>& make);
  // Writes an export through the shared file writer; names a failure in an
  // error box headed "The <what> could not be saved to PATH".
  void writeExport(const QString& what, const QString& path, std::string bytes);
  QString suggestedPath(const QString& suffix) const;

  void showPreview();
  void showPerformance();
  void showReport();
  void showCheck();
  void showSetup();
  void showProgram();
  // The names of the files the program is saved to, for the setup sheet.
  std::vector<std::string> programFiles(const JobRun& run) const;
  void refreshViews();

  void chooseMachine(const MachineSettings& machine);
  void editShopSettings();
  void editDesign();
  void showMachine();

  MessageBoxes& boxes_;
  FileDialogs& dialogs_;
  Form1* form_;
  QMenu* recentMenu_ = nullptr;
  QList<QAction*> needRun_;  // the actions that need a computed program
  QActionGroup* controllers_ = nullptr;
  QActionGroup* jobs_ = nullptr;
  PreviewWindow* preview_ = nullptr;
  PreviewWindow* performance_ = nullptr;
  TextWindow* report_ = nullptr;
  TextWindow* setup_ = nullptr;
  ProgramWindow* program_ = nullptr;
  std::string shownProgram_;  // what the program view holds
  bool programShown_ = false;
  CheckWindow* check_ = nullptr;
  QLabel* status_ = nullptr;
  QString lastDesign_;
};

}  // namespace ventaro
