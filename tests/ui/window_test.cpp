// Form1 driven as a user drives it: key presses, clicks and Tab, with the
// message boxes answered by the test.
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "gcode/compute.h"
#include "gcode/program_bytes.h"
#include "recording_boxes.h"
#include "ui/main_window.h"

using ventaro::MessageKind;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<cannot read>";
  return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// The program the core gives for these texts, as the output field shows it.
QString shownProgram(const ventaro::JobFields& fields) {
  ventaro::SectionTable table;
  table.fill();
  return QString::fromStdString(ventaro::compute(fields, table)).replace("\r\n", "\n");
}

// The width a line edit's text is drawn in: the style's contents rectangle
// less the text margins and the fixed 2-pixel margin on each side that
// QLineEdit keeps; wider text is scrolled, its start hidden.
int textRoom(const QLineEdit* field) {
  struct Access : QLineEdit {
    using QLineEdit::initStyleOption;
  };
  QStyleOptionFrame option;
  (field->*&Access::initStyleOption)(&option);
  const QRect contents = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
  const QMargins margins = field->textMargins();
  return contents.width() - margins.left() - margins.right() - 2 * 2;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RecordingBoxes> boxes;
  std::unique_ptr<ventaro::Form1> window;

  QLineEdit* field(const char* name) {
    auto* found = window->findChild<QLineEdit*>(QLatin1String(name));
    if (found == nullptr) qFatal("no field %s", name);
    return found;
  }
  QPlainTextEdit* output() { return window->findChild<QPlainTextEdit*>("txtOutput"); }
  QPushButton* button(const char* name) { return window->findChild<QPushButton*>(QLatin1String(name)); }

  // Selects the field's whole text with the keyboard and types over it.
  void typeOver(QLineEdit* target, const QString& text) {
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
      QTest::keyClick(target, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(target, text);
    }
  }

  void pasteOver(QLineEdit* target, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
  }

  void setFolder(const QString& folder) { typeOver(field("txtPath"), folder + "/"); }

 private slots:
  void init() {
    boxes = std::make_unique<RecordingBoxes>();
    window = std::make_unique<ventaro::Form1>(*boxes);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }
  void cleanup() {
    window.reset();
    boxes.reset();
  }

  void startState() {
    QCOMPARE(window->windowTitle(), QString("Ventaro"));
    const std::pair<const char*, const char*> defaults[] = {
        {"txtFileName", "blade.nc"},
        {"txtProgress", "0%"},
        {"txtD", "3.36"},
        {"txtHubRad", "0.2"},
        {"txtTSR", "6"},
        {"txtB", "3"},
        {"txtAT", "5"},
        {"txtCl", "0.8"},
        {"txtMax", "0.3"},
        {"txtSTNfinish", "100"},
        {"txtSTNrough", "50"},
        {"txtRoughPassesNo", "3"},
        {"txtRoughDepth", "5"},
        {"txtFinishDepth", "2"},
        {"txtFinishFeed", "600"},
        {"txtRoughFeed", "1200"},
        {"txtRoughDia", "37"},
        {"txtRoughStep", "80"},
        {"TxtFinDia", "20"},
        {"txtFinStep", "74"},
    };
    for (const auto& [name, text] : defaults) QCOMPARE(field(name)->text(), QString(text));
    QCOMPARE(field("txtPath")->text(), QDir::homePath() + "/");
    QCOMPARE(output()->toPlainText(), QString());
    QCOMPARE(QApplication::focusWidget(), output());
    QVERIFY(field("txtSTNfinish")->isReadOnly());
    QVERIFY(field("txtSTNrough")->isReadOnly());
    QVERIFY(!output()->isReadOnly());
    QCOMPARE(output()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(button("cmdStart")->text(), QString("Compute"));
    QCOMPARE(button("cmdSave")->text(), QString("Save Gcode"));
    QVERIFY(window->finishPass().empty());

    const QFont progress = field("txtProgress")->font();
    QVERIFY(progress.bold());
    QCOMPARE(progress.pointSizeF(), 18.0);

    QStringList labels;
    for (const QLabel* label : window->findChildren<QLabel*>()) labels << label->text();
    labels.sort();
    QStringList expected{"File name:",
                         "File Path:",
                         "Diameter / meter",
                         "Hub Radius / meter",
                         "Tip Speed Ratio",
                         "Number of blades",
                         "Angle attack / \u00b0",
                         "Lift coefficient",
                         "Max. Chord  /meter",
                         "Stations (Finish)",
                         "Stations (Rough)",
                         "Roughing Passes",
                         "Roughing Depth / pass",
                         "Finish pass depth",
                         "Finish Feedrate",
                         "Rough Feedrate",
                         "Roughing Tool:",
                         "Diameter / mm",
                         "Stepover / %:",
                         "Finishing Tool:",
                         "Diameter / mm",
                         "Stepover / %:"};
    expected.sort();
    QCOMPARE(labels, expected);

    // Twips to pixels at the screen's logical dpi (15 to a pixel at 96 dpi).
    const double perTwip = QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 1440.0;
    const auto px = [perTwip](int twips) { return qRound(twips * perTwip); };
    QCOMPARE(window->size(), QSize(px(6405), px(9720)));
    QCOMPARE(output()->geometry(), QRect(px(120), px(1320), px(3135), px(6855)));
    QCOMPARE(field("txtMax")->geometry(), QRect(px(5760), px(4200), px(495), px(375)));
    QCOMPARE(field("TxtFinDia")->geometry(), QRect(px(4200), px(8760), px(500), px(375)));
    QCOMPARE(button("cmdSave")->geometry(), QRect(px(4920), px(720), px(1335), px(495)));
    QVERIFY(boxes->shown.isEmpty());
  }

  // The fixed layout was drawn for Arial's metrics (Liberation Sans here).
  // In a wider face the labels run under their fields and the progress field
  // shows "3.60%" for "53.60%". Arial itself overruns two label widths by a
  // pixel or two, into the gap before the field; so a label's text fits when
  // it ends clear of every control.
  void textsFitTheirPlaces() {
    QList<QRect> controls;
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (qobject_cast<const QLabel*>(child) == nullptr) controls << child->geometry();
    }
    QStringList tooWide;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      const QRect text(label->pos(),
                       QSize(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->height()));
      for (const QRect& control : controls) {
        if (text.intersects(control)) tooWide << label->text();
      }
    }
    QLineEdit* progress = field("txtProgress");
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(progress->text(), QString("53.60%"));
    if (QFontMetrics(progress->font()).horizontalAdvance(progress->text()) > textRoom(progress)) tooWide << "53.60%";
    QVERIFY2(tooWide.isEmpty(), qPrintable("in " + QFontInfo(progress->font()).family() + ": " + tooWide.join(", ")));
  }

  // Return and Enter press a focused button, as Space does.
  void keysPressAFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
  }
  void keysPressAFocusedButton() {
    QFETCH(int, key);
    QTemporaryDir dir;
    setFolder(dir.path());
    button("cmdStart")->setFocus();
    QTest::keyClick(button("cmdStart"), Qt::Key(key));
    QCOMPARE(field("txtProgress")->text(), QString("53.60%"));
    QVERIFY(!window->finishPass().empty());
    button("cmdSave")->setFocus();
    QTest::keyClick(button("cmdSave"), Qt::Key(key));
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, "Gcode has been saved to " + dir.path() + "/blade.nc");
  }

  void typingAToolFieldUpdatesItsStationCount() {
    QSignalSpy finish(field("txtSTNfinish"), &QLineEdit::textChanged);
    typeOver(field("TxtFinDia"), "25");
    QCOMPARE(finish.size(), 2);
    QCOMPARE(finish.at(0).at(0).toString(), QString("1000"));
    QCOMPARE(finish.at(1).at(0).toString(), QString("80"));
    QVERIFY(boxes->shown.isEmpty());

    typeOver(field("TxtFinDia"), "20");
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    typeOver(field("txtFinStep"), "75");  // "7", then "75"
    QCOMPARE(field("txtSTNfinish")->text(), QString("98.6666666666667"));

    typeOver(field("txtRoughDia"), "25");
    typeOver(field("txtRoughStep"), "70");
    QCOMPARE(field("txtSTNrough")->text(), QString("84.5714285714286"));
    QCOMPARE(field("txtSTNfinish")->text(), QString("98.6666666666667"));
    QVERIFY(boxes->shown.isEmpty());
  }

  // While a tool text is no number the count stays, and the reason is said
  // beside the field, never in a box that would take the next keystroke.
  void aFailedStationCountKeepsTheFieldAndTheTyping() {
    typeOver(field("TxtFinDia"), "");
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    const QString notANumber("Type mismatch: \u201cFinishing Tool: Diameter / mm\u201d is not a number.");
    QCOMPARE(window->toolProblem(), notANumber);
    QCOMPARE(field("TxtFinDia")->toolTip(), notANumber);

    QTest::keyClicks(field("TxtFinDia"), "x");
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    QTest::keyClick(field("TxtFinDia"), Qt::Key_Backspace);  // empty again
    QTest::keyClicks(field("TxtFinDia"), "0");
    QVERIFY(window->toolProblem().startsWith("Division by zero"));
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    // Every keystroke lands: "0.5" and ".5" pass through texts that are no
    // number or divide by zero.
    QTest::keyClicks(field("TxtFinDia"), ".5");
    QCOMPARE(field("TxtFinDia")->text(), QString("0.5"));
    QCOMPARE(field("txtSTNfinish")->text(), QString("4000"));
    typeOver(field("TxtFinDia"), ".5");
    QCOMPARE(field("TxtFinDia")->text(), QString(".5"));
    QCOMPARE(window->toolProblem(), QString());
    QCOMPARE(field("TxtFinDia")->toolTip(), QString());
    QCOMPARE(field("txtSTNrough")->text(), QString("50"));
    QVERIFY(boxes->shown.isEmpty());
  }

  // Save Gcode writes the program of the last Compute, but never silently
  // one the fields no longer describe.
  void savingAnOutOfDateProgramAsksFirst() {
    QTemporaryDir dir;
    setFolder(dir.path());
    QVERIFY(!window->programOutOfDate());
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    typeOver(field("txtD"), "2.4");
    QVERIFY(window->programOutOfDate());
    const QString path = dir.path() + "/blade.nc";
    const QString question = "The fields changed since the last Compute. / Save the earlier program";
    // Cancel: nothing written.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->asked.size(), 1);
    QCOMPARE(boxes->asked[0].text, question);
    QVERIFY(!QFile::exists(path));
    // The program of the last Compute, as asked.
    boxes->answers << ventaro::StaleAnswer::UseEarlier;
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY(readAll(path).startsWith("( Blade Diameter = 3.36m )\r\n"));
    // Computed now, then saved.
    boxes->answers << ventaro::StaleAnswer::ComputeNow;
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY(readAll(path).startsWith("( Blade Diameter = 2.4m )\r\n"));
    QVERIFY(!window->programOutOfDate());
    QCOMPARE(boxes->asked.size(), 3);
    // A Compute that fails saves nothing, and says why.
    typeOver(field("txtD"), "x");
    boxes->answers << ventaro::StaleAnswer::ComputeNow;
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QVERIFY(readAll(path).startsWith("( Blade Diameter = 2.4m )\r\n"));
    QCOMPARE(boxes->shown.last().text, QString("Type mismatch: \u201cDiameter / meter\u201d is not a number."));
    // As it was: no question.
    typeOver(field("txtD"), "2.4");
    QVERIFY(!window->programOutOfDate());
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->asked.size(), 4);
    QCOMPARE(boxes->shown.last().text, "Gcode has been saved to " + path);
  }

  void editingTheRotorLeavesTheStationFieldsAlone() {
    typeOver(field("txtD"), "4");
    typeOver(field("txtHubRad"), "0.3");
    QCOMPARE(field("txtSTNfinish")->text(), QString("100"));
    QCOMPARE(field("txtSTNrough")->text(), QString("50"));
    QVERIFY(boxes->shown.isEmpty());
    // The next tool edit uses the new rotor: (4 / 2 - 0.3) * 100000 / 20 / 74.
    typeOver(field("txtFinStep"), "74");
    QCOMPARE(field("txtSTNfinish")->text(), QString("114.864864864865"));
    QCOMPARE(field("txtSTNrough")->text(), QString("50"));
  }

  void typingIntoAStationFieldChangesNothing() {
    QLineEdit* station = field("txtSTNfinish");
    QSignalSpy changes(station, &QLineEdit::textChanged);
    QApplication::clipboard()->setText("123");
    QTest::mouseClick(station, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), station);
    QTest::keyClicks(station, "9");
    QTest::keyClick(station, Qt::Key_Backspace);
    QTest::keyClick(station, Qt::Key_Home);
    QTest::keyClick(station, Qt::Key_Delete);
    QTest::keyClick(station, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(station, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(station, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(station->text(), QString("100"));
    QCOMPARE(changes.size(), 0);
    QCOMPARE(station->selectedText(), QString("100"));
    QTest::keyClick(station, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("100"));
    QCOMPARE(field("txtSTNrough")->text(), QString("50"));
    QVERIFY(boxes->shown.isEmpty());
  }

  void tabOrderFromTheOutput() {
    const QStringList expected{"cmdStart",      "txtTSR",         "txtD",          "txtB",         "txtAT",
                               "txtCl",         "txtSTNfinish",   "txtMax",        "txtSTNrough",  "txtRoughPassesNo",
                               "txtRoughDepth", "txtFinishDepth", "txtFinishFeed", "txtRoughFeed", "cmdSave",
                               "txtPath",       "txtFileName",    "txtProgress",   "txtRoughDia",  "txtRoughStep",
                               "txtHubRad",     "txtFinStep",     "TxtFinDia",     "txtOutput"};
    QCOMPARE(QApplication::focusWidget(), output());
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
    QCOMPARE(output()->toPlainText(), QString());  // Tab moved on, it typed nothing
  }

  void defaultComputation() {
    QSignalSpy figures(field("txtProgress"), &QLineEdit::textChanged);
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QVERIFY(boxes->shown.isEmpty());

    const QString program = output()->toPlainText();
    QCOMPARE(program, shownProgram(ventaro::JobFields{}));
    QCOMPARE(output()->document()->blockCount(), 4051);
    QVERIFY(program.startsWith("( Blade Diameter = 3.36m )\n( Number of blades = 3 )\n"));
    QVERIFY(program.contains("\n( Angle of Attack = 5\u00b0 )\n"));
    QVERIFY(program.contains("\nF600\n( T2:20 ) \nT2\n"));
    QCOMPARE(output()->textCursor().position(), program.size());
    QCOMPARE(QString::fromStdString(window->finishPass()).replace("\r\n", "\n"), program);

    QCOMPARE(field("txtProgress")->text(), QString("53.60%"));
    QCOMPARE(figures.size(), 134);
    QCOMPARE(figures.at(0).at(0).toString(), QString("0.4%"));
    QCOMPARE(figures.at(4).at(0).toString(), QString("2%"));
    QCOMPARE(figures.at(10).at(0).toString(), QString("4.400%"));
    QCOMPARE(figures.at(24).at(0).toString(), QString("9.999%"));

    // A second run replaces the program, it does not append to it.
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(output()->toPlainText(), program);
    QCOMPARE(figures.size(), 268);
    QCOMPARE(figures.at(134).at(0).toString(), QString("0.4%"));
  }

  void failedComputationKeepsTheLastProgram() {
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    const QString program = output()->toPlainText();
    const std::string pass = window->finishPass();
    QCOMPARE(output()->document()->blockCount(), 4051);

    // Fails while the fields are read, before any station.
    typeOver(field("txtHubRad"), "");
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Error);
    QCOMPARE(boxes->shown[0].title, QString("Ventaro"));
    QCOMPARE(boxes->shown[0].text, QString("Type mismatch: \u201cHub Radius / meter\u201d is not a number."));
    QCOMPARE(output()->toPlainText(), program);
    QCOMPARE(window->finishPass(), pass);
    QCOMPARE(field("txtProgress")->text(), QString("53.60%"));

    // Fails at finishing station 1001, after 1046 figures: the last one stays.
    QTest::keyClicks(field("txtHubRad"), "0.2");
    typeOver(field("txtFinStep"), "3.7");
    QCOMPARE(field("txtSTNfinish")->text(), QString("2000"));
    QSignalSpy figures(field("txtProgress"), &QLineEdit::textChanged);
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].text, QString("Subscript out of range: more than 1001 finishing stations."));
    QCOMPARE(figures.size(), 45 + 1001);
    QCOMPARE(field("txtProgress")->text(), figures.last().at(0).toString());
    QVERIFY(field("txtProgress")->text() != QString("53.60%"));
    QCOMPARE(output()->toPlainText(), program);
    QCOMPARE(window->finishPass(), pass);
  }

  void aHubAtOrBeyondTheTipKeepsItsProgram() {
    // With the counts of the initial tools, half a station spacing decides:
    // at 1.68 each sweep keeps its station 0 at the tip, at 2 none is left.
    for (const char* hub : {"1.68", "2"}) {
      typeOver(field("txtHubRad"), hub);
      QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
      ventaro::JobFields fields;
      fields[ventaro::Field::HubRad] = hub;
      QCOMPARE(output()->toPlainText(), shownProgram(fields));
    }
    QVERIFY(boxes->shown.empty());
  }

  void stationsOutsideTheRotorAreRefusedAtCompute() {
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    const QString program = output()->toPlainText();
    const std::string pass = window->finishPass();
    const QString outside = QString(" is below 0: stations would lie outside the rotor.");

    typeOver(field("txtHubRad"), "-0.5");
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, "Overflow: \u201cHub Radius / meter\u201d" + outside);

    // A tool field typed with the hub beyond the tip shows the count below 0
    // as it is; the run refuses it.
    typeOver(field("txtHubRad"), "2");
    typeOver(field("txtFinStep"), "74");
    QCOMPARE(field("txtSTNfinish")->text(), QString("-21.6216216216216"));
    QVERIFY(boxes->shown.size() == 1);
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].text, QString("Overflow: \u201cStations (Finish)\u201d is below 0 because \u201cHub "
                                           "Radius / meter\u201d lies beyond the tip: stations would lie outside "
                                           "the rotor."));

    QCOMPARE(output()->toPlainText(), program);
    QCOMPARE(window->finishPass(), pass);
    QCOMPARE(field("txtProgress")->text(), QString("53.60%"));
  }

  void savingWritesTheComputedProgramNotTheOutputField() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    setFolder(dir.path());
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(output()->viewport(), Qt::LeftButton);
    QTest::keyClicks(output(), "EDITED");
    QVERIFY(output()->toPlainText().contains("EDITED"));
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    const QString path = dir.path() + "/blade.nc";
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Notice);
    QCOMPARE(boxes->shown[0].title, QString("Ventaro"));
    QCOMPARE(boxes->shown[0].text, "Gcode has been saved to " + path);

    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes, QByteArray::fromStdString(ventaro::programFileBytes(window->finishPass())));
    QVERIFY(bytes.startsWith("( Blade Diameter = 3.36m )\r\n( Number of blades = 3 )\r\n"));
    QVERIFY(bytes.contains("\r\n( Angle of Attack = 5\xb0 )\r\n"));  // one byte for the degree sign
    QVERIFY(bytes.endsWith("\r\n"));
    QVERIFY(!bytes.endsWith("\r\n\r\n"));
    QCOMPARE(bytes.count("\r\n"), 4051);
    QVERIFY(!bytes.contains("EDITED"));
  }

  void savingReplacesALongerFileAndWritesEightBitText() {
    QTemporaryDir dir;
    setFolder(dir.path());
    typeOver(field("txtFileName"), "old.nc");
    const QString path = dir.path() + "/old.nc";
    writeFile(path, QByteArray(1 << 20, 'x'));

    // Before any computation the program is empty, and so is the file.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(readAll(path), QByteArray());

    // Pasted: the euro sign is 0x80 in Windows-1252, a Cyrillic letter has no byte there. A
    // tool diameter that is no number has no station count; the count stays.
    pasteOver(field("txtRoughDia"), "3\u20ac7\u0416");
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    const QByteArray bytes = readAll(path);
    QCOMPARE(bytes, QByteArray::fromStdString(ventaro::programFileBytes(window->finishPass())));
    QVERIFY(
        bytes.contains("\r\n( T1:3\x80"
                       "7? )\r\n"));
    QVERIFY(!bytes.contains('x'));
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].text, "Gcode has been saved to " + path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.nc"});
  }

  void savingKeepsAWriteProtectedFileAndTheModeOfAReplacedOne() {
    QTemporaryDir dir;
    setFolder(dir.path());
    const QString path = dir.path() + "/blade.nc";
    const QByteArray native = QFile::encodeName(path);
    writeFile(path, "keep me");
    QCOMPARE(::chmod(native.constData(), 0444), 0);
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);

    // Refused for every user, root included, and left as it was.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Error);
    QCOMPARE(boxes->shown[0].text, "Gcode could not be saved to " + path + "\n\nFile is write-protected");
    QCOMPARE(readAll(path), QByteArray("keep me"));
    struct stat info {};
    QCOMPARE(::stat(native.constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, 0444u);

    // Once writable by its owner, it is replaced and keeps its mode.
    QCOMPARE(::chmod(native.constData(), 0640), 0);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].text, "Gcode has been saved to " + path);
    QCOMPARE(readAll(path), QByteArray::fromStdString(ventaro::programFileBytes(window->finishPass())));
    QCOMPARE(::stat(native.constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, 0640u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"blade.nc"});
  }

  void failedSaveIntoAMissingFolder() {
    QTemporaryDir dir;
    writeFile(dir.path() + "/blade.nc", "keep me");
    QTest::mouseClick(button("cmdStart"), Qt::LeftButton);
    setFolder(dir.path() + "/missing");
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].kind, MessageKind::Error);
    QCOMPARE(boxes->shown[0].title, QString("Ventaro"));
    const QString prefix = "Gcode could not be saved to " + dir.path() + "/missing/blade.nc\n\n";
    QVERIFY2(boxes->shown[0].text.startsWith(prefix), qPrintable(boxes->shown[0].text));
    QVERIFY(boxes->shown[0].text.size() > prefix.size());  // the system's reason follows
    QVERIFY(!QFileInfo::exists(dir.path() + "/missing"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"blade.nc"});
    QCOMPARE(readAll(dir.path() + "/blade.nc"), QByteArray("keep me"));

    // An empty file name makes the path a folder's.
    setFolder(dir.path());
    typeOver(field("txtFileName"), "");
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(boxes->shown.size(), 2);
    QCOMPARE(boxes->shown[1].kind, MessageKind::Error);
    QCOMPARE(boxes->shown[1].text, "Gcode could not be saved to " + dir.path() +
                                       "/\n\nThe path names a folder, not a file: the file name is missing.");
    QCOMPARE(readAll(dir.path() + "/blade.nc"), QByteArray("keep me"));
  }
};

// The real boxes, answered by clicking their button.
class MessageBoxTest : public QObject {
  Q_OBJECT

 private:
  void showAndAnswer(MessageKind kind, QMessageBox::Icon icon) {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon shownIcon = QMessageBox::Question;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        // Nothing to answer: close whatever is modal so the test ends.
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        return;
      }
      title = box->windowTitle();
      text = box->text();
      buttons = box->standardButtons();
      shownIcon = box->icon();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QWidget parent;
    parent.show();
    ventaro::QtMessageBoxes().show(&parent, kind, "Ventaro", "Gcode has been saved to /tmp/<b>x</b>.nc");
    QCOMPARE(title, QString("Ventaro"));
    QCOMPARE(text, QString("Gcode has been saved to /tmp/<b>x</b>.nc"));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shownIcon, icon);
  }

 private slots:
  void noticeHasOkOnlyAndNoIcon() { showAndAnswer(MessageKind::Notice, QMessageBox::NoIcon); }
  void errorHasOkOnly() { showAndAnswer(MessageKind::Error, QMessageBox::Critical); }

  // The question about an out-of-date program: its three buttons, each
  // giving its answer, Escape cancelling.
  void staleQuestionHasItsThreeAnswers() {
    using ventaro::StaleAnswer;
    const std::pair<QString, StaleAnswer> clicks[] = {{"Compute now", StaleAnswer::ComputeNow},
                                                      {"Check the earlier program", StaleAnswer::UseEarlier},
                                                      {"Cancel", StaleAnswer::Cancel},
                                                      {"<Escape>", StaleAnswer::Cancel}};
    for (const auto& [click, answer] : clicks) {
      QStringList texts;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        for (QAbstractButton* button : box->buttons()) texts << button->text().remove('&');
        if (click == "<Escape>") {
          QTest::keyClick(box, Qt::Key_Escape);
          return;
        }
        for (QAbstractButton* button : box->buttons()) {
          if (button->text().remove('&') == click) QTest::mouseClick(button, Qt::LeftButton);
        }
      });
      QWidget parent;
      parent.show();
      const StaleAnswer given = ventaro::QtMessageBoxes().askStale(
          &parent, "Ventaro", "The fields changed since the last Compute.", "Check the earlier program");
      QCOMPARE(given, answer);
      texts.sort();
      QCOMPARE(texts, QStringList({"Cancel", "Check the earlier program", "Compute now"}));
    }
  }
};

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  int status = 0;
  {
    WindowTest test;
    status |= QTest::qExec(&test, argc, argv);
  }
  {
    MessageBoxTest test;
    status |= QTest::qExec(&test, argc, argv);
  }
  return status;
}

#include "window_test.moc"
