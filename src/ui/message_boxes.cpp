#include "ui/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace ventaro {

void QtMessageBoxes::show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
  QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
                  QMessageBox::Ok, parent);
  // Plain text: a path or a field text must show as typed, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

StaleAnswer QtMessageBoxes::askStale(QWidget* parent, const QString& title, const QString& text,
                                     const QString& useEarlier) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  QPushButton* now = box.addButton(QStringLiteral("Compute now"), QMessageBox::AcceptRole);
  QPushButton* earlier = box.addButton(useEarlier, QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(now);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == now) return StaleAnswer::ComputeNow;
  if (box.clickedButton() == earlier) return StaleAnswer::UseEarlier;
  return StaleAnswer::Cancel;
}

}  // namespace ventaro
