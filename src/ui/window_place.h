// Where a window beside the main one opens: on the main window's screen,
// never past its edges.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace ventaro {

// The geometry (without the frame) for a window of `size` beside the frame
// `beside`: to its right, tops level, where it fits on `available`; else to
// its left; else against the right edge of `available`, over the main
// window. Its height is `height` and neither it nor its width exceeds what
// `available` holds with the frame's `margins`.
QRect placeBesideWithin(const QRect& beside, QSize size, int height, const QRect& available, const QMargins& margins);

// Puts `window` beside `beside` on its first showing, as tall, within the
// available area of the screen `beside` is on.
void placeBeside(QWidget* window, const QWidget* beside);

}  // namespace ventaro
