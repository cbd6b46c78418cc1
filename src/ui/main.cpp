#include <QApplication>

#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/ventaro_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Also where QSettings keeps the recent designs.
  QApplication::setOrganizationName(QStringLiteral("Ventaro"));
  QApplication::setApplicationName(QStringLiteral("Ventaro"));
  ventaro::QtMessageBoxes boxes;
  ventaro::QtFileDialogs dialogs;
  ventaro::VentaroWindow window(boxes, dialogs);
  window.show();
  return QApplication::exec();
}
