#include "ui/picture_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace ventaro {

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 40;

}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent), svg_(new QSvgRenderer(this)) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::OpenHandCursor);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureView::setSvg(const QByteArray& svg) {
  image_ = QImage();
  svg_->load(svg);
  fit();
}

void PictureView::setImage(const QImage& image) {
  svg_->load(QByteArray());
  image_ = image;
  fit();
}

QSizeF PictureView::naturalSize() const {
  if (!image_.isNull()) return image_.size();
  if (svg_->isValid()) return svg_->viewBoxF().size();
  return {};
}

QRectF PictureView::fittedRect() const {
  const QSizeF natural = naturalSize();
  if (natural.isEmpty()) return {};
  const QSizeF fitted = natural.scaled(size(), Qt::KeepAspectRatio);
  return {QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted};
}

QRectF PictureView::pictureRect() const {
  const QRectF fitted = fittedRect();
  if (fitted.isEmpty()) return {};
  const QPointF centre = fitted.center() + pan_;
  const QSizeF size = fitted.size() * zoom_;
  return {centre - QPointF(size.width() / 2, size.height() / 2), size};
}

void PictureView::zoomAbout(double factor, QPointF at) {
  const double zoom = std::clamp(zoom_ * factor, kMinZoom, kMaxZoom);
  if (zoom == zoom_) return;
  // The point under `at` stays under it.
  const QPointF centre = fittedRect().center() + pan_;
  pan_ += (centre - at) * (zoom / zoom_ - 1);
  zoom_ = zoom;
  update();
}

void PictureView::fit() {
  zoom_ = 1;
  pan_ = {};
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QRectF target = pictureRect();
  if (target.isEmpty()) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!image_.isNull()) {
    painter.drawImage(target, image_);
  } else {
    svg_->render(&painter, target);
  }
}

void PictureView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) zoomAbout(std::pow(1.25, steps), event->position());
  event->accept();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton) return;
  dragging_ = true;
  dragFrom_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  pan_ += event->position() - dragFrom_;
  dragFrom_ = event->position();
  update();
}

void PictureView::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
}

void PictureView::mouseDoubleClickEvent(QMouseEvent*) { fit(); }

void PictureView::keyPressEvent(QKeyEvent* event) {
  const QPointF middle(width() / 2.0, height() / 2.0);
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      zoomAbout(1.25, middle);
      break;
    case Qt::Key_Minus:
      zoomAbout(0.8, middle);
      break;
    case Qt::Key_0:
      fit();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace ventaro
