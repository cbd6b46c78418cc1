#include "ui/check_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <stdexcept>

#include "files/job_check.h"
#include "ui/background_work.h"
#include "ui/program_window.h"

namespace ventaro {

CheckWindow::CheckWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Ventaro check"));
  figures_ = new QPlainTextEdit(this);
  figures_->setReadOnly(true);
  // The verdict is the last line and often the longest: it wraps rather
  // than running off the window's edge.
  figures_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  figures_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  figures_->setToolTip(QStringLiteral("Double click a line that names a program line to see it"));
  figures_->viewport()->installEventFilter(this);
  image_ = new PictureView(this);
  image_->setObjectName(QStringLiteral("checkPicture"));
  image_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; double click: fit"));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(figures_, 2);
  layout->addWidget(image_, 3);
  resize(1100, 700);
}

void CheckWindow::showRun(const JobRun* run) {
  if (run == nullptr) {
    picture_.clear();
    figures_->setPlainText(QStringLiteral("Press \u201cCompute\u201d: the check follows the program it makes."));
  } else {
    try {
      // A large program takes seconds to check: on a thread of its own,
      // and a cancelled check leaves the window as it was.
      JobCheck check;
      if (!runInBackground(this, QStringLiteral("Checking the program\u2026"),
                           [&](WorkMonitor& monitor) { check = checkJob(*run, 0, true, &monitor); })) {
        return;
      }
      figures_->setPlainText(QString::fromUtf8(check.text.data(), static_cast<qsizetype>(check.text.size())));
      picture_ = std::move(check.picture);
    } catch (const std::exception& error) {
      // ShopError, ToolpathError, RunError: the program cannot be checked.
      picture_.clear();
      figures_->setPlainText(QStringLiteral("The program cannot be checked: ") + QString::fromUtf8(error.what()));
    }
  }
  image_->setSvg(QByteArray(picture_.data(), static_cast<qsizetype>(picture_.size())));
}

QString CheckWindow::text() const { return figures_->toPlainText(); }

bool CheckWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == figures_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QString line = figures_->cursorForPosition(mouse->position().toPoint()).block().text();
    if (const int number = namedProgramLine(line); number > 0) {
      emit lineChosen(number);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ventaro
