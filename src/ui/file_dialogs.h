// The window's file dialogs behind one small interface, so that a test can
// answer them without a modal loop blocking it.
#pragma once

#include <QString>

class QWidget;

namespace ventaro {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The file the user chose, or an empty text when the dialog was cancelled.
  // `filter` is in Qt's form: "Ventaro design (*.json)".
  virtual QString openFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter) = 0;
  // `suggested` is the path the dialog starts with.
  virtual QString saveFile(QWidget* parent, const QString& title, const QString& suggested, const QString& filter) = 0;
};

// The real dialogs: QFileDialog, modal to the window. A save dialog asks
// before it lets the user choose an existing file.
class QtFileDialogs : public FileDialogs {
 public:
  QString openFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
  QString saveFile(QWidget* parent, const QString& title, const QString& suggested, const QString& filter) override;
};

}  // namespace ventaro
