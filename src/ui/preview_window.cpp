#include "ui/preview_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include <stdexcept>

#include "png/svg_to_png.h"

namespace ventaro {

std::string previewPicture(const JobRun& run, PreviewFormat format) {
  std::string svg = jobPreviewSvg(run);
  if (format == PreviewFormat::Svg) return svg;
  try {
    return svgToPng(svg);
  } catch (const std::runtime_error& error) {
    throw PreviewError(error.what());
  }
}

PreviewWindow::PreviewWindow(QWidget* parent)
    : PreviewWindow(parent, QStringLiteral("Ventaro preview"), QStringLiteral("preview"),
                    QStringLiteral("Press \u201cCompute\u201d: the preview shows the program it makes."),
                    [](const JobRun& run) { return previewPicture(run, PreviewFormat::Svg); }) {}

PreviewWindow::PreviewWindow(QWidget* parent, const QString& title, const QString& pictureName, const QString& noRun,
                             Draw draw)
    : QWidget(parent, Qt::Window), noRun_(noRun), draw_(std::move(draw)) {
  setWindowTitle(title);
  // Its labels must keep their shape: the picture keeps its aspect ratio,
  // and the user zooms and pans to read the detail.
  picture_ = new PictureView(this);
  picture_->setObjectName(pictureName);
  picture_->setToolTip(QStringLiteral("Wheel: zoom; drag: pan; double click: fit"));
  note_ = new QLabel(this);
  note_->setTextFormat(Qt::PlainText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_);
  layout->addWidget(picture_, 1);
  resize(800, 600);
}

void PreviewWindow::showRun(const JobRun* run) {
  if (run == nullptr) {
    svg_.clear();
    note_->setText(noRun_);
    note_->show();
  } else {
    try {
      const std::string bytes = draw_(*run);
      svg_ = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
      note_->hide();
    } catch (const std::runtime_error& error) {
      svg_.clear();
      note_->setText(QStringLiteral("The picture could not be drawn: ") + QString::fromUtf8(error.what()));
      note_->show();
    }
  }
  picture_->setSvg(svg_);
}

}  // namespace ventaro
