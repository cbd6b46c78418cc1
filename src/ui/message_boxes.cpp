#include "ui/message_boxes.h"

#include <QMessageBox>

namespace ventaro {

void QtMessageBoxes::show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
  QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
                  QMessageBox::Ok, parent);
  // Plain text: a path or a field text must show as typed, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace ventaro
