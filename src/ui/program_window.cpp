#include "ui/program_window.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QVBoxLayout>

namespace ventaro {

namespace {

// The margin beside the text, painted by the text view.
class NumberMargin : public QWidget {
 public:
  explicit NumberMargin(NumberedText* text) : QWidget(text), text_(text) {}
  QSize sizeHint() const override { return {text_->numbersWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { text_->paintNumbers(event); }

 private:
  NumberedText* text_;
};

}  // namespace

NumberedText::NumberedText(QWidget* parent) : QPlainTextEdit(parent) {
  numbers_ = new NumberMargin(this);
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(numbersWidth(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0) {
      numbers_->scroll(0, dy);
    } else {
      numbers_->update(0, rect.y(), numbers_->width(), rect.height());
    }
  });
  setViewportMargins(numbersWidth(), 0, 0, 0);
}

int NumberedText::numbersWidth() const {
  const int digits = QString::number(std::max(1, blockCount())).size();
  return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void NumberedText::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  numbers_->setGeometry(QRect(area.left(), area.top(), numbersWidth(), area.height()));
}

void NumberedText::paintNumbers(QPaintEvent* event) {
  // Only the lines in view are painted: a program of a million lines costs
  // no more to show than one of a hundred.
  QPainter painter(numbers_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int bottom = top + qRound(blockBoundingRect(block).height());
    if (block.isVisible() && bottom >= event->rect().top()) {
      painter.drawText(0, top, numbers_->width() - 4, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    block = block.next();
    top = bottom;
  }
}

ProgramWindow::ProgramWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Ventaro program"));
  text_ = new NumberedText(this);
  text_->setObjectName(QStringLiteral("programText"));
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("programSearch"));
  search_->setPlaceholderText(QStringLiteral("text to find; Enter for the next"));
  line_ = new QLineEdit(this);
  line_->setObjectName(QStringLiteral("programLine"));
  line_->setPlaceholderText(QStringLiteral("line number; Enter to go"));
  note_ = new QLabel(this);
  note_->setTextFormat(Qt::PlainText);
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    note_->setText(find(search_->text()) ? QString() : QStringLiteral("Not found: ") + search_->text());
  });
  connect(line_, &QLineEdit::returnPressed, this, [this] {
    bool ok = false;
    const int line = line_->text().trimmed().toInt(&ok);
    note_->setText(ok && goToLine(line)
                       ? QString()
                       : QStringLiteral("The program has lines 1 to ") + QString::number(lineCount()) + '.');
  });
  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("Find:"), this));
  bar->addWidget(search_, 2);
  bar->addWidget(new QLabel(QStringLiteral("Go to line:"), this));
  bar->addWidget(line_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(note_);
  layout->addWidget(text_, 1);
  resize(700, 800);
}

void ProgramWindow::setProgram(const std::string& program) {
  QString text = QString::fromUtf8(program.data(), static_cast<qsizetype>(program.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_->setPlainText(text);
  note_->setText(program.empty() ? QStringLiteral("Press \u201cCompute\u201d: the program appears here.")
                                 : QString::number(lineCount()) + QStringLiteral(" lines."));
}

bool ProgramWindow::goToLine(int line) {
  const QTextBlock block = text_->document()->findBlockByNumber(line - 1);
  if (line < 1 || !block.isValid()) return false;
  QTextCursor cursor(block);
  cursor.select(QTextCursor::LineUnderCursor);
  text_->setTextCursor(cursor);
  text_->centerCursor();
  return true;
}

bool ProgramWindow::find(const QString& text) {
  if (text.isEmpty()) return false;
  if (text_->find(text)) return true;
  // From the top again.
  const QTextCursor was = text_->textCursor();
  text_->moveCursor(QTextCursor::Start);
  if (text_->find(text)) return true;
  text_->setTextCursor(was);
  return false;
}

int ProgramWindow::lineCount() const { return text_->document()->isEmpty() ? 0 : text_->blockCount(); }

int ProgramWindow::currentLine() const { return text_->textCursor().blockNumber() + 1; }

int namedProgramLine(const QString& figuresLine) {
  static const QRegularExpression kLine(QStringLiteral("\\bline (\\d+)"));
  const QRegularExpressionMatch match = kLine.match(figuresLine);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace ventaro
