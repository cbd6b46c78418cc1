#include "ui/file_dialogs.h"

#include <QFileDialog>

namespace ventaro {

QString QtFileDialogs::openFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtFileDialogs::saveFile(QWidget* parent, const QString& title, const QString& suggested,
                                const QString& filter) {
  return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

}  // namespace ventaro
