// The program of the last Compute in a window beside the main one, with
// line numbers (as the check and the controller count them), a search and
// a go-to-line: View > Program. The check's figures lead here: a line that
// names a program line opens it.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <string>

class QLineEdit;
class QLabel;

namespace ventaro {

// A read-only program text with its line numbers in a margin.
class NumberedText : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit NumberedText(QWidget* parent);

  void paintNumbers(QPaintEvent* event);
  int numbersWidth() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* numbers_;
};

class ProgramWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgramWindow(QWidget* parent);

  // The program's text, lines joined by CR LF; empty for none.
  void setProgram(const std::string& program);
  // Puts line `line` (from 1) at the caret and in view; false beyond the
  // program.
  bool goToLine(int line);
  // Finds `text` after the caret, from the top once it reaches the end;
  // false when it is nowhere.
  bool find(const QString& text);

  int lineCount() const;
  int currentLine() const;  // from 1

 private:
  NumberedText* text_;
  QLineEdit* search_;
  QLineEdit* line_;
  QLabel* note_;
};

// The program line a line of the check's figures names ("…, line 123"), or
// 0 for none.
int namedProgramLine(const QString& figuresLine);

}  // namespace ventaro
