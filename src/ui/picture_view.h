// A picture in a view that keeps its aspect ratio: fitted to the view,
// centred, and never stretched. The wheel zooms about the pointer, a drag
// with the left or middle button pans, and a double click (or the 0 key)
// fits it again. It shows an SVG drawing, redrawn sharp at every zoom, or
// a raster image.
#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

class QSvgRenderer;

namespace ventaro {

class PictureView : public QWidget {
  Q_OBJECT

 public:
  explicit PictureView(QWidget* parent = nullptr);

  // Shows an SVG drawing, or a raster image; an empty one shows nothing.
  // Either fits the picture to the view again.
  void setSvg(const QByteArray& svg);
  void setImage(const QImage& image);

  // Where the picture is drawn, in the view's coordinates.
  QRectF pictureRect() const;
  // Zooms by `factor` about `at` (view coordinates); 1 is the fitted size.
  void zoomAbout(double factor, QPointF at);
  void fit();
  double zoom() const { return zoom_; }

  QSize sizeHint() const override { return {640, 480}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QSizeF naturalSize() const;
  QRectF fittedRect() const;

  QSvgRenderer* svg_;
  QImage image_;
  double zoom_ = 1;
  QPointF pan_;  // offset of the picture from its fitted place
  QPointF dragFrom_;
  bool dragging_ = false;
};

}  // namespace ventaro
