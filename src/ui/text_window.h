// A window beside the main one that shows a text the user may read, select
// and copy but not edit: the machining report.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace ventaro {

class TextWindow : public QWidget {
  Q_OBJECT

 public:
  TextWindow(const QString& title, QWidget* parent);

  void setText(const QString& text);
  QString text() const;

 private:
  QPlainTextEdit* view_;
};

}  // namespace ventaro
