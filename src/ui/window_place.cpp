#include "ui/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace ventaro {

namespace {

constexpr int kGap = 8;

}  // namespace

QRect placeBesideWithin(const QRect& beside, QSize size, int height, const QRect& available, const QMargins& margins) {
  const int frameWidth = margins.left() + margins.right();
  const int frameHeight = margins.top() + margins.bottom();
  const int width = std::min(size.width(), available.width() - frameWidth);
  height = std::min(height, available.height() - frameHeight);
  // The frame's left edge.
  int left = beside.right() + 1 + kGap;
  if (left + width + frameWidth > available.right() + 1) {
    const int onLeft = beside.left() - kGap - width - frameWidth;
    left = onLeft >= available.left() ? onLeft : available.right() + 1 - width - frameWidth;
  }
  const int top = std::clamp(beside.top(), available.top(), available.bottom() + 1 - height - frameHeight);
  return {left + margins.left(), top + margins.top(), width, height};
}

void placeBeside(QWidget* window, const QWidget* beside) {
  const QScreen* screen = beside->screen() != nullptr ? beside->screen() : QGuiApplication::primaryScreen();
  const QRect frame = beside->frameGeometry();
  const QRect inner = beside->geometry();
  // The window's own frame is not known before it is shown; the main
  // window's is a good guess.
  const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                         frame.bottom() - inner.bottom());
  const QRect place = placeBesideWithin(frame, window->size(), beside->height(), screen->availableGeometry(), margins);
  window->resize(place.size());
  window->move(place.topLeft() - QPoint(margins.left(), margins.top()));
}

}  // namespace ventaro
