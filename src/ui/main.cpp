#include <QApplication>

#include "ui/main_window.h"
#include "ui/message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ventaro"));
  ventaro::QtMessageBoxes boxes;
  ventaro::Form1 window(boxes);
  window.show();
  return QApplication::exec();
}
