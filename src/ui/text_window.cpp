#include "ui/text_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ventaro {

TextWindow::TextWindow(const QString& title, QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(title);
  view_ = new QPlainTextEdit(this);
  view_->setReadOnly(true);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The report lines up its figures in columns.
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  resize(640, 720);
}

void TextWindow::setText(const QString& text) { view_->setPlainText(text); }

QString TextWindow::text() const { return view_->toPlainText(); }

}  // namespace ventaro
