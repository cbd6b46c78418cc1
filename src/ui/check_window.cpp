#include "ui/check_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <stdexcept>

#include "files/job_check.h"

namespace ventaro {

CheckWindow::CheckWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Ventaro check"));
  figures_ = new QPlainTextEdit(this);
  figures_->setReadOnly(true);
  // The verdict is the last line and often the longest: it wraps rather
  // than running off the window's edge.
  figures_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  figures_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  image_ = new PictureView(this);
  image_->setObjectName(QStringLiteral("checkPicture"));
  image_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; double click: fit"));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(figures_, 2);
  layout->addWidget(image_, 3);
  resize(1100, 700);
}

void CheckWindow::showRun(const JobRun* run) {
  picture_.clear();
  if (run == nullptr) {
    figures_->setPlainText(QStringLiteral("Press \u201cCompute\u201d: the check follows the program it makes."));
  } else {
    try {
      JobCheck check = checkJob(*run, 0, true);
      figures_->setPlainText(QString::fromUtf8(check.text.data(), static_cast<qsizetype>(check.text.size())));
      picture_ = std::move(check.picture);
    } catch (const std::exception& error) {
      // ShopError, ToolpathError, RunError: the program cannot be checked.
      figures_->setPlainText(QStringLiteral("The program cannot be checked: ") + QString::fromUtf8(error.what()));
    }
  }
  image_->setSvg(QByteArray(picture_.data(), static_cast<qsizetype>(picture_.size())));
}

QString CheckWindow::text() const { return figures_->toPlainText(); }

}  // namespace ventaro
