#include "png/svg_to_png.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <stdexcept>

namespace ventaro {

std::string svgToPng(std::string_view svg) {
  QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  if (!renderer.isValid()) throw std::runtime_error("the SVG picture could not be read for the PNG picture");
  QImage image(renderer.defaultSize(), QImage::Format_RGB32);
  if (image.isNull()) throw std::runtime_error("the PNG picture has no size");
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw std::runtime_error("the PNG picture could not be encoded");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace ventaro
