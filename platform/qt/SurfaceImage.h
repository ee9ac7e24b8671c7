#pragma once
// Surfaces of the drawing layer as Qt images. Their pixels are 0x00RRGGBB, Qt's RGB32, so an
// image can look at the surface's memory without converting it.

#include "platform/qt/QtBase.h"

#include <QImage>
#include <QPoint>

#include "platform/gdi/Surface.h"

class QPainter;

namespace qv::qt {

// An image over the surface's pixels (no copy when its rows run top-down): valid while the
// surface keeps its size. A null image for an empty surface.
QImage surfaceImage(const gdi::Surface& s);
// Draws the surface at `at` and marks its changes taken, so that the next drawing on it
// announces itself again.
void drawSurface(QPainter& p, gdi::Surface& s, QPoint at);

}  // namespace qv::qt
