// The window with its menu bar, driven as a user drives it: menus, their
// shortcuts and dialogs, with message boxes and file dialogs answered by the
// test. A design gives the same files through the window as through
// ventaro-gcode --design.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "aero/xfoil_run.h"
#include "cli_process.h"
#include "files/design_file.h"
#include "gcode/program_bytes.h"
#include "recording_boxes.h"
#include "scripted_dialogs.h"
#include "ui/background_work.h"
#include "ui/check_window.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/preview_window.h"
#include "ui/program_window.h"
#include "ui/text_window.h"
#include "ui/ventaro_window.h"
#include "ui/window_place.h"

using ventaro::MessageKind;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<cannot read " + path.toUtf8() + ">";
  return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

std::vector<std::string> words(const QStringList& list) {
  std::vector<std::string> result;
  for (const QString& word : list) result.push_back(word.toStdString());
  return result;
}

}  // namespace

class MenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RecordingBoxes> boxes;
  std::unique_ptr<ScriptedDialogs> dialogs;
  std::unique_ptr<ventaro::VentaroWindow> window;
  std::unique_ptr<QTemporaryDir> dir;

  QString file(const QString& name) const { return dir->path() + "/" + name; }
  QLineEdit* field(const char* name) {
    auto* found = window->findChild<QLineEdit*>(QLatin1String(name));
    if (found == nullptr) qFatal("no field %s", name);
    return found;
  }
  QAction* action(const char* name) {
    auto* found = window->findChild<QAction*>(QLatin1String(name));
    if (found == nullptr) qFatal("no action %s", name);
    return found;
  }
  void click(const char* button) {
    QTest::mouseClick(window->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
  }
  QStringList fieldTexts() {
    QStringList texts;
    for (QLineEdit* edit : window->form()->findChildren<QLineEdit*>()) texts << edit->objectName() + "=" + edit->text();
    return texts;
  }
  // Saves the program of the last "Compute" into the test's folder.
  QByteArray savedProgram() {
    field("txtPath")->setText(dir->path() + "/");
    field("txtFileName")->setText("window.nc");
    click("cmdSave");
    // A job of one program per tool is saved as window-T1.nc, window-T2.nc,
    // and one of a program per side as window-A.nc, window-B.nc: their
    // bytes follow each other here.
    for (const auto& [first, second] :
         {std::pair{"window-T1.nc", "window-T2.nc"}, std::pair{"window-A.nc", "window-B.nc"}}) {
      const QString parts = file(first) + ", " + file(second);
      if (!boxes->shown.isEmpty() && boxes->shown.last().text == "Gcode has been saved to " + parts) {
        boxes->shown.removeLast();
        return readAll(file(first)) + readAll(file(second));
      }
    }
    if (boxes->shown.isEmpty() || boxes->shown.takeLast().text != "Gcode has been saved to " + file("window.nc")) {
      return "<not saved>";
    }
    return readAll(file("window.nc"));
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // recent designs in a test folder
    QApplication::setOrganizationName("VentaroTest");
    QApplication::setApplicationName("VentaroMenuTest");
  }
  void init() {
    QSettings().clear();
    dir = std::make_unique<QTemporaryDir>();
    boxes = std::make_unique<RecordingBoxes>();
    dialogs = std::make_unique<ScriptedDialogs>();
    window = std::make_unique<ventaro::VentaroWindow>(*boxes, *dialogs);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }
  void cleanup() {
    window.reset();
    dialogs.reset();
    boxes.reset();
    dir.reset();
  }

  void menuBarAboveTheUnchangedClientArea() {
    const double perTwip = QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0;
    const auto px = [perTwip](int twips) { return qRound(twips * perTwip); };
    const int bar = window->menuBar()->height();
    QVERIFY(bar > 0);
    QCOMPARE(window->form()->geometry(), QRect(0, bar, px(6405), px(9720)));
    // The status line below it is empty until there is something to say.
    QCOMPARE(window->size(), QSize(px(6405), px(9720) + bar + window->statusBar()->height()));
    QCOMPARE(window->statusText(), QString());
    QCOMPARE(window->windowTitle(), QString("Ventaro"));
    QCOMPARE(QApplication::focusWidget(), window->findChild<QPlainTextEdit*>("txtOutput"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmdStart"));

    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) {
      QStringList entries;
      for (QAction* entry : menu->menu()->actions()) {
        if (entry->isSeparator()) continue;
        entries << entry->text() + (entry->shortcut().isEmpty() ? "" : " " + entry->shortcut().toString());
      }
      menus << menu->text() + ": " + entries.join(", ");
    }
    QCOMPARE(menus, QStringList({
                        "&File: &Open Design\u2026 Ctrl+O, Save Design &As\u2026 Ctrl+Shift+S, &Recent Designs, "
                        "&Save Gcode, &Quit Ctrl+Q",
                        "&Export: &Station table\u2026, &Machining report\u2026, &Preview picture\u2026, "
                        "S&etup sheet\u2026, P&erformance table\u2026, Po&wer curve\u2026, "
                        "Performance p&icture\u2026, Blade so&lid (STL)\u2026, Section &templates\u2026",
                        "&View: &Preview, &Report, &Check, &Setup sheet, P&erformance, Pro&gram Ctrl+L",
                        "&Machine: &Controller, &Job, &Shop Job Settings\u2026, &Blade Design\u2026",
                    }));
  }

  void initialSettingsWriteTodaysProgram() {
    QVERIFY(!action("exportReport")->isEnabled());
    click("cmdStart");
    const std::string golden = readAll(VENTARO_GOLDEN_PROGRAM).toStdString();
    QCOMPARE(savedProgram(), QByteArray::fromStdString(ventaro::programFileBytes(golden)));
    QVERIFY(action("exportReport")->isEnabled());
  }

  // A design saved by the command line, opened with Ctrl+O: the window then
  // writes the command line's bytes, for the program and every other output.
  void designGivesTheCommandLinesFiles_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("plain") << QStringList{};
    QTest::newRow("linuxcnc") << QStringList{"--diameter", "3.360", "--fin-dia", "25", "--controller", "linuxcnc"};
    QTest::newRow("grbl") << QStringList{"--tsr", "7", "--rough-step", "70", "--controller", "grbl"};
    // The shop rows on a small rotor at a coarse scallop: the same code at a
    // fraction of the default job's time.
    QTest::newRow("shop linuxcnc") << QStringList{"--job",      "shop", "--fin-dia", "25",
                                                  "--diameter", "1.6",  "--scallop", "1"};
    QTest::newRow("shop grbl") << QStringList{"--job",       "shop", "--controller", "grbl", "--rough-shape", "ball",
                                              "--clearance", "12.5", "--tolerance",  "0.02", "--diameter",    "1.6",
                                              "--scallop",   "1"};
    QTest::newRow("two-sided") << QStringList{"--job",       "two-sided", "--fin-dia",         "25",
                                              "--diameter",  "1.6",       "--scallop",         "1",
                                              "--chord-cap", "150",       "--blank-thickness", "40"};
  }
  void designGivesTheCommandLinesFiles() {
    QFETCH(QStringList, options);
    options << "--quiet"
            << "-o" << file("cli.nc") << "--save-design" << file("d.json") << "--stations" << file("cli.csv")
            << "--report=" + file("cli.txt") << "--preview" << file("cli.svg");
    const auto cli = ventaro::testing::runCli(words(options));
    QVERIFY2(cli.status == 0, cli.err.c_str());
    const auto png = ventaro::testing::runCli({"--quiet", "-o", "/dev/null", "--design", file("d.json").toStdString(),
                                               "--preview", file("cli.png").toStdString()});
    QVERIFY2(png.status == 0, png.err.c_str());

    dialogs->answers << file("d.json");
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialogs->titles, QStringList{"Open Design"});
    QVERIFY(boxes->shown.isEmpty());
    const ventaro::Design design = ventaro::readDesignFile(file("d.json").toStdString());
    QCOMPARE(field("txtSTNfinish")->text().toStdString(), design.fields[ventaro::Field::STNfinish]);
    QCOMPARE(field("txtD")->text().toStdString(), design.fields[ventaro::Field::D]);

    click("cmdStart");
    const bool parts = options.contains("grbl") && options.contains("shop");
    const bool sides = options.contains("two-sided");
    QCOMPARE(savedProgram(), parts   ? readAll(file("cli-T1.nc")) + readAll(file("cli-T2.nc"))
                             : sides ? readAll(file("cli-A.nc")) + readAll(file("cli-B.nc"))
                                     : readAll(file("cli.nc")));
    const std::pair<const char*, const char*> exports[] = {{"exportStations", "cli.csv"},
                                                           {"exportReport", "cli.txt"},
                                                           {"exportPreview", "cli.svg"},
                                                           {"exportPreview", "cli.png"}};
    for (const auto& [name, cliFile] : exports) {
      const QString own = file(QString("window-") + cliFile);
      dialogs->answers << own;
      action(name)->trigger();
      QCOMPARE(readAll(own), readAll(file(cliFile)));
    }
    // The save dialogs start in the folder field's folder, named after the file name field.
    QCOMPARE(dialogs->suggestions.mid(0, 3),
             QStringList({file("window-stations.csv"), file("window-report.txt"), file("window-preview.svg")}));
    QVERIFY(boxes->shown.isEmpty());
    // The check: the same figures and picture (the plain job has hazards: 3).
    const auto check = ventaro::testing::runCli({"--quiet", "-o", "/dev/null", "--design", file("d.json").toStdString(),
                                                 "--check=" + file("cli-check.svg").toStdString()});
    QVERIFY2(check.status == 0 || check.status == 3, check.err.c_str());
    action("viewCheck")->trigger();
    QCOMPARE(window->checkWindow()->text().toStdString(), check.out);
    QCOMPARE(QByteArray::fromStdString(window->checkWindow()->picture()), readAll(file("cli-check.svg")));
    // The window saves the design as the command line did.
    dialogs->answers << file("again.json");
    action("saveDesignAs")->trigger();
    QCOMPARE(readAll(file("again.json")), readAll(file("d.json")));
  }

  void openingADesignRunsNoToolHandler() {
    ventaro::Design design;
    design.fields[ventaro::Field::FinDia] = "25";  // its count would be 80
    design.fields[ventaro::Field::STNfinish] = "123";
    design.machine.controller = ventaro::Controller::Grbl;
    writeFile(file("d.json"), QByteArray::fromStdString(ventaro::designText(design, "d.json")));
    window->openDesign(file("d.json"));
    QCOMPARE(field("TxtFinDia")->text(), QString("25"));
    QCOMPARE(field("txtSTNfinish")->text(), QString("123"));
    QVERIFY(action("controller_grbl")->isChecked());
    QVERIFY(window->form()->finishPass().empty());  // opening computes nothing
    // Typing a tool field afterwards works its count out, as ever.
    field("TxtFinDia")->setText("20");
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    QVERIFY(boxes->shown.isEmpty());
  }

  void brokenDesignChangesNothing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("problem");
    const std::string good = ventaro::designText(ventaro::Design{}, "d.json");
    const auto edited = [&good](const std::string& from, const std::string& to) {
      std::string text = good;
      return QByteArray::fromStdString(text.replace(text.find(from), from.size(), to));
    };
    QTest::newRow("not json") << QByteArray("tsr = 6") << "it is not JSON text: parse error at line 1";
    QTest::newRow("version") << edited("\"version\": 1", "\"version\": 9")
                             << "unknown format version 9; this Ventaro reads versions 1 to 2";
    QTest::newRow("missing") << edited("\"lift\": \"0.8\",", "") << "the field \"fields.lift\" is missing";
    QTest::newRow("type") << edited("\"3.36\"", "3.36") << "the field \"fields.diameter\" is not a text";
    QTest::newRow("line break") << edited("\"0.8\"", "\"0.8\\r\\n\"")
                                << "the text of \"fields.lift\" holds a line break";
    // The JSON library's own failures end in the same box, never the window.
    QTest::newRow("huge number") << edited("\"clearance\": 10.0", "\"clearance\": 1e999")
                                 << "it holds what cannot be read: number overflow parsing '1e999'";
    QTest::newRow("shop, plain") << edited("\"job\": \"plain\"", "\"job\": \"shop\"")
                                 << "the job \"shop\" is written for a machine, but the controller is \"plain\"";
  }
  void brokenDesignChangesNothing() {
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    writeFile(file("broken.json"), text);
    field("txtD")->setText("4");
    action("controller_linuxcnc")->trigger();
    const QStringList before = fieldTexts();
    dialogs->answers << file("broken.json");
    action("openDesign")->trigger();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Error);
    const QString head = "The design could not be opened from " + file("broken.json") + "\n\n";
    QVERIFY2(boxes->shown[0].text.startsWith(head + problem), qPrintable(boxes->shown[0].text));
    QCOMPARE(fieldTexts(), before);
    QVERIFY(action("controller_linuxcnc")->isChecked());
    QVERIFY(window->recentDesigns().isEmpty());
  }

  void recentDesignsReopen() {
    dialogs->answers << file("a.json") << file("b.json");
    field("txtTSR")->setText("7");
    action("saveDesignAs")->trigger();
    field("txtTSR")->setText("8");
    action("saveDesignAs")->trigger();
    QCOMPARE(window->recentDesigns(), QStringList({file("b.json"), file("a.json")}));
    QMenu* recent = window->findChild<QMenu*>("recentMenu");
    QCOMPARE(recent->actions().size(), 2);
    recent->actions()[1]->trigger();
    QCOMPARE(field("txtTSR")->text(), QString("7"));
    QCOMPARE(window->recentDesigns(), QStringList({file("a.json"), file("b.json")}));
    // A cancelled dialog writes nothing.
    action("saveDesignAs")->trigger();
    QCOMPARE(dialogs->suggestions.last(), file("a.json"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({"a.json", "b.json"}));
    // A design deleted since leaves the list when opening it fails.
    QVERIFY(QFile::remove(file("b.json")));
    recent->actions()[1]->trigger();
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->shown[0].text.endsWith("the file cannot be opened: No such file or directory"),
             qPrintable(boxes->shown[0].text));
    QCOMPARE(window->recentDesigns(), QStringList({file("a.json")}));
  }

  void controllerMenuMakesTheProgramAgain() {
    click("cmdStart");
    const std::string plain = window->form()->finishPass();
    action("controller_grbl")->trigger();
    QVERIFY(action("controller_grbl")->isChecked());
    const auto cli = ventaro::testing::runCli({"--quiet", "--controller", "grbl"});
    QCOMPARE(savedProgram(), QByteArray::fromStdString(cli.out));
    // The shop job is written for a machine: LinuxCNC when the controller was plain.
    action("controller_plain")->trigger();
    action("job_shop")->trigger();
    QVERIFY(action("controller_linuxcnc")->isChecked());
    QVERIFY(!action("controller_plain")->isEnabled());
    const auto shop = ventaro::testing::runCli({"--quiet", "--job", "shop"});
    QCOMPARE(savedProgram(), QByteArray::fromStdString(shop.out));
    // Its setup sheet, on a page and in a file, names the program file as
    // the command line's does.
    action("viewSetup")->trigger();
    QVERIFY(window->setupWindow()->text().startsWith("Setup sheet: one setup, the blade's upper face up\n"));
    QVERIFY(window->setupWindow()->text().contains("Program: window.nc, for linuxcnc.\n"));
    dialogs->answers << file("window-setup.json");
    action("exportSetup")->trigger();
    const auto sheet = ventaro::testing::runCli({"--quiet", "--job", "shop", "-o", file("window.nc").toStdString(),
                                                 "--setup", file("cli-setup.json").toStdString()});
    QCOMPARE(sheet.status, 0);
    QCOMPARE(readAll(file("window-setup.json")), readAll(file("cli-setup.json")));
    action("job_plain")->trigger();
    QVERIFY(action("controller_plain")->isEnabled());
    action("controller_plain")->trigger();
    QCOMPARE(window->form()->finishPass(), plain);
  }

  // The shop job runs under a progress dialog; Cancel leaves the window as
  // it was: no program where there was none, the earlier one where there
  // was one.
  void aCancelledShopJobChangesNothing() {
    const auto cancelSoon = [this] {
      QTimer::singleShot(50, window.get(), [this] {
        auto* dialog = window->findChild<QProgressDialog*>(ventaro::kWorkDialogName);
        QVERIFY(dialog != nullptr);
        dialog->cancel();
      });
    };
    action("job_shop")->trigger();
    cancelSoon();
    click("cmdStart");
    QVERIFY(window->form()->lastRun() == nullptr);
    QCOMPARE(window->findChild<QPlainTextEdit*>("txtOutput")->toPlainText(), QString());
    action("job_plain")->trigger();
    click("cmdStart");
    const std::string plain = window->form()->finishPass();
    cancelSoon();
    action("job_shop")->trigger();
    QCOMPARE(window->form()->finishPass(), plain);
    QCOMPARE(window->form()->lastRun()->machine.job, ventaro::Job::Plain);
    QVERIFY(window->findChild<QProgressDialog*>(ventaro::kWorkDialogName) == nullptr);
  }

  void shopJobSettingsDialog() {
    // Answered once the dialog is up: first a bad clearance, then good texts.
    QString problem, range;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->findChild<QComboBox*>("roughShape")->setCurrentIndex(1);
      dialog->findChild<QLineEdit*>("clearance")->setText("-5");
      auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      QTest::mouseClick(ok, Qt::LeftButton);
      problem = dialog->findChild<QLabel*>("problem")->text();
      dialog->findChild<QLineEdit*>("clearance")->setText("1e300");
      QTest::mouseClick(ok, Qt::LeftButton);
      range = dialog->findChild<QLabel*>("problem")->text();
      dialog->findChild<QLineEdit*>("clearance")->setText("12.5");
      dialog->findChild<QLineEdit*>("blockTop")->setText("310");
      dialog->findChild<QLineEdit*>("finRpm")->setText("20000");
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    action("shopSettings")->trigger();
    QCOMPARE(problem, QString("The clearance must be a positive number."));
    QCOMPARE(range, QString("\u201cClearance / mm\u201d must be a number above 0 and at most 1000 mm"));
    const ventaro::ShopSettings& shop = window->form()->machine().shop;
    QCOMPARE(shop.roughShape, ventaro::ToolShape::Ball);
    QCOMPARE(shop.clearance, 12.5);
    QCOMPARE(shop.blockTop, std::optional<double>(310));
    QCOMPARE(shop.finRpm, 20000.0);
    // They go into the design file.
    dialogs->answers << file("shop.json");
    action("saveDesignAs")->trigger();
    QVERIFY(ventaro::readDesignFile(file("shop.json").toStdString()).machine == window->form()->machine());
  }

  // Machine > Blade Design: the design options and the performance's wind;
  // a text that does not fit keeps the dialog open and says why. The
  // performance view follows Compute and the options; its curves export.
  void bladeDesignAndPerformance() {
    action("viewPerformance")->trigger();
    QVERIFY(window->performanceWindow()->isVisible());
    QVERIFY(window->performanceWindow()->svg().isEmpty());
    click("cmdStart");
    const QByteArray classic = window->performanceWindow()->svg();
    QVERIFY(classic.contains("Power coefficient against tip speed ratio"));
    QVERIFY(classic.contains("design: 6.00, Cp 0.456"));
    QString problem, rootProblem;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->findChild<QComboBox*>("designLift")->setCurrentIndex(1);
      dialog->findChild<QLineEdit*>("straight")->setText("0.9, 0.5");
      auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      QTest::mouseClick(ok, Qt::LeftButton);
      problem = dialog->findChild<QLabel*>("problem")->text();
      dialog->findChild<QLineEdit*>("straight")->setText("0.5, 0.9");
      dialog->findChild<QLineEdit*>("rootBlock")->setText("60");
      QTest::mouseClick(ok, Qt::LeftButton);
      rootProblem = dialog->findChild<QLabel*>("problem")->text();
      dialog->findChild<QLineEdit*>("rootBlock")->setText("60, 80");
      dialog->findChild<QLineEdit*>("blankThickness")->setText("50");
      dialog->findChild<QLineEdit*>("wind")->setText("7");
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    action("bladeDesign")->trigger();
    QVERIFY(problem.startsWith("The straight chord and twist need two rising fractions"));
    QVERIFY(rootProblem.startsWith("The root block needs its length and the transition's"));
    QCOMPARE(window->form()->machine().design.blankThickness, std::optional<double>(50));
    QCOMPARE(window->form()->machine().design.rootBlock, (std::optional<std::pair<double, double>>{{60, 80}}));
    const ventaro::MachineSettings& machine = window->form()->machine();
    QVERIFY(machine.design.liftFromPolar);
    QCOMPARE(machine.design.straight, (std::optional<std::pair<double, double>>{{0.5, 0.9}}));
    QCOMPARE(machine.performance.wind, 7.0);
    click("cmdStart");
    const QByteArray shaped = window->performanceWindow()->svg();
    QVERIFY(shaped.contains("design: 6.00, Cp 0.45"));
    dialogs->answers << file("cp.csv") << file("power.csv") << file("curves.svg") << file("blade.stl");
    action("exportPerformance")->trigger();
    action("exportPower")->trigger();
    action("exportPerformancePicture")->trigger();
    action("exportStl")->trigger();
    QVERIFY(readAll(file("blade.stl")).startsWith("Ventaro blade, binary STL in millimetres"));
    dialogs->answers << file("t.svg");
    action("exportTemplates")->trigger();
    QVERIFY(readAll(file("t-1.svg")).contains("<line id=\"calibration\""));
    QVERIFY(readAll(file("cp.csv")).startsWith("tsr,cp,ct,cq\r\n1.0,"));
    QVERIFY(readAll(file("power.csv")).startsWith("wind,rpm,power_w,torque_nm\r\n3,"));
    QCOMPARE(readAll(file("curves.svg")), shaped);
    // They go into the design file.
    dialogs->answers << file("shaped.json");
    action("saveDesignAs")->trigger();
    QVERIFY(ventaro::readDesignFile(file("shaped.json").toStdString()).machine == window->form()->machine());
    // XFOIL's polars, run here once the dialog is accepted.
    if (!ventaro::xfoilInstalled()) QSKIP("xfoil is not installed");
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      dialog->findChild<QCheckBox*>("xfoil")->setChecked(true);
      QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    action("bladeDesign")->trigger();
    QVERIFY(window->form()->machine().performance.xfoil);
    click("cmdStart");
    QVERIFY(window->performanceWindow()->svg().contains("XFOIL&apos;s polars of the airfoil"));
  }

  // View > Program: the program with its line numbers, a search and a
  // go-to-line; a check figure that names a line leads there.
  void programViewFindsLinesAndTheChecksHazardsLeadThere() {
    click("cmdStart");
    const std::string program = window->form()->lastRun()->program;
    action("viewProgram")->trigger();
    ventaro::ProgramWindow* view = window->programWindow();
    QVERIFY(view->isVisible());
    QCOMPARE(view->lineCount(), static_cast<int>(std::count(program.begin(), program.end(), '\n')) + 1);
    QVERIFY(view->goToLine(1634));
    QCOMPARE(view->currentLine(), 1634);
    QVERIFY(!view->goToLine(view->lineCount() + 1));
    QVERIFY(view->find("G0 X200.0001 Z260.46"));
    QCOMPARE(view->currentLine(), 1634);
    QVERIFY(!view->find("no such text"));
    // The plain job's check names the rapid move at line 822.
    view->goToLine(1);
    action("viewCheck")->trigger();
    auto* figures = window->checkWindow()->findChild<QPlainTextEdit*>();
    QTextCursor at = figures->document()->find("line 822: G0");
    QVERIFY(!at.isNull());
    figures->setTextCursor(at);
    QTest::mouseDClick(figures->viewport(), Qt::LeftButton, {}, figures->cursorRect(at).center());
    QCOMPARE(view->currentLine(), 822);
    QCOMPARE(ventaro::namedProgramLine("  deepest engagement of a cutting move: 7.500 mm at X 48.75 Y 20.25, line 4"),
             4);
    QCOMPARE(ventaro::namedProgramLine("T1 (flat end, diameter 37.000 mm): 1 cutting move"), 0);
  }

  // The program no longer matching the fields is said in the status line,
  // and the exports and the check ask before using it.
  void anOutOfDateProgramIsSaidAndAskedFor() {
    click("cmdStart");
    QCOMPARE(window->statusText(), QString());
    field("txtTSR")->setText("7");
    QCOMPARE(window->statusText(), QString("The program is out of date: the fields changed since the last Compute."));
    action("exportReport")->trigger();  // cancelled: no dialog
    QVERIFY(dialogs->titles.isEmpty());
    action("viewCheck")->trigger();
    QVERIFY(!window->checkWindow()->isVisible());
    QCOMPARE(boxes->asked.size(), 2);
    QVERIFY(boxes->asked[1].text.endsWith(" / Check the earlier program"));
    boxes->answers << ventaro::StaleAnswer::UseEarlier;
    dialogs->answers << file("r.txt");
    action("exportReport")->trigger();
    QVERIFY(readAll(file("r.txt")).startsWith("Machining report\n"));
    boxes->answers << ventaro::StaleAnswer::ComputeNow;
    action("viewCheck")->trigger();
    QVERIFY(window->checkWindow()->isVisible());
    QCOMPARE(window->statusText(), QString());
    // A machine setting counts as much as a field.
    action("controller_grbl")->trigger();  // computes again
    QCOMPARE(window->statusText(), QString());
    // A tool text that is no number is said there, before anything else.
    field("TxtFinDia")->setText("x");
    QCOMPARE(window->statusText(),
             QString("Type mismatch: \u201cFinishing Tool: Diameter / mm\u201d is not a number."));
    QVERIFY(boxes->shown.isEmpty());
  }

  // The windows beside the main one open within the screen, whatever room
  // is left beside it, and their pictures keep their shape.
  void viewsOpenOnTheScreenWithTheirPicturesWhole() {
    const QRect available = window->screen()->availableGeometry();
    window->move(available.right() - window->frameGeometry().width() - 10, available.top());
    click("cmdStart");
    action("viewCheck")->trigger();
    action("viewPreview")->trigger();
    for (QWidget* view :
         {static_cast<QWidget*>(window->checkWindow()), static_cast<QWidget*>(window->previewWindow())}) {
      QVERIFY2(available.contains(view->frameGeometry()), qPrintable(view->objectName()));
    }
    for (ventaro::PictureView* view : {window->checkWindow()->view(), window->previewWindow()->view()}) {
      const QRectF drawn = view->pictureRect();
      QVERIFY(QRectF(view->rect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(drawn));
      QVERIFY(drawn.width() > 0.9 * view->width() || drawn.height() > 0.9 * view->height());
    }
    // The check's verdict is whole: nothing runs off to the side.
    auto* figures = window->checkWindow()->findChild<QPlainTextEdit*>();
    QVERIFY(figures->toPlainText().contains("Check failed: 3 rapid moves through material"));
    QCOMPARE(figures->horizontalScrollBar()->maximum(), 0);
    // The check picture is the page as drawn, not stretched: 1027 by 384.
    const QRectF check = window->checkWindow()->view()->pictureRect();
    QVERIFY(qAbs(check.width() / check.height() - 1027.0 / 384) < 0.01);
    // The preview zooms about the pointer and fits again.
    ventaro::PictureView* preview = window->previewWindow()->view();
    const QRectF fitted = preview->pictureRect();
    const QPointF at = fitted.center() + QPointF(fitted.width() / 4, 0);
    preview->zoomAbout(2, at);
    const QRectF zoomed = preview->pictureRect();
    QCOMPARE(zoomed.width(), 2 * fitted.width());
    QVERIFY(qAbs((at.x() - zoomed.left()) / zoomed.width() - (at.x() - fitted.left()) / fitted.width()) < 1e-9);
    QTest::mouseDClick(preview, Qt::LeftButton);
    QCOMPARE(preview->pictureRect(), fitted);
  }

  void windowPlacesBesideWithinTheScreen_data() {
    QTest::addColumn<QRect>("beside");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1600, 900);
    QTest::newRow("room on the right") << QRect(100, 50, 427, 700) << QSize(640, 720) << QRect(535, 50, 640, 700);
    QTest::newRow("room on the left") << QRect(1100, 50, 427, 700) << QSize(640, 720) << QRect(452, 50, 640, 700);
    QTest::newRow("room on neither") << QRect(600, 50, 427, 700) << QSize(1100, 700) << QRect(500, 50, 1100, 700);
    QTest::newRow("wider than the screen") << QRect(600, 50, 427, 700) << QSize(2000, 700) << QRect(0, 50, 1600, 700);
    QTest::newRow("low on the screen") << QRect(100, 500, 427, 700) << QSize(640, 700) << QRect(535, 200, 640, 700);
  }
  void windowPlacesBesideWithinTheScreen() {
    QFETCH(QRect, beside);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    QCOMPARE(ventaro::placeBesideWithin(beside, size, beside.height(), QRect(0, 0, 1600, 900), QMargins()), expected);
  }

  void previewAndReportFollowCompute() {
    action("viewPreview")->trigger();
    action("viewReport")->trigger();
    QVERIFY(window->previewWindow()->isVisible());
    QVERIFY(window->previewWindow()->svg().isEmpty());
    QVERIFY(window->reportWindow()->text().startsWith("Press \u201cCompute\u201d"));
    click("cmdStart");
    const QByteArray first = window->previewWindow()->svg();
    QVERIFY(first.contains("<svg"));
    QVERIFY(window->reportWindow()->text().startsWith("Machining report\n\nProgram: 4051 lines.\n"));
    field("txtTSR")->setText("7");
    click("cmdStart");
    QVERIFY(window->previewWindow()->svg() != first);
    dialogs->answers << file("p.svg") << file("p.png") << file("p.gif");
    for (int i = 0; i < 3; ++i) action("exportPreview")->trigger();
    QCOMPARE(readAll(file("p.svg")), window->previewWindow()->svg());
    QVERIFY(readAll(file("p.png")).startsWith("\x89PNG"));
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY2(boxes->shown[0].text.startsWith("The preview picture could not be saved to " + file("p.gif") + "\n\n"),
             qPrintable(boxes->shown[0].text));
  }

  void aFileThatCannotBeWrittenIsNamed_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("what");
    QTest::newRow("design") << "saveDesignAs"
                            << "design";
    QTest::newRow("stations") << "exportStations"
                              << "station table";
    QTest::newRow("report") << "exportReport"
                            << "machining report";
  }
  void aFileThatCannotBeWrittenIsNamed() {
    QFETCH(QString, action);
    QFETCH(QString, what);
    click("cmdStart");
    dialogs->answers << file("missing/out");
    this->action(action.toLatin1().constData())->trigger();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Error);
    QCOMPARE(boxes->shown[0].text,
             "The " + what + " could not be saved to " + file("missing/out") + "\n\nNo such file or directory");
    QVERIFY(window->recentDesigns().isEmpty());
  }

  void quitClosesTheWindow() {
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
  }
};

QTEST_MAIN(MenuTest)
#include "menu_test.moc"
