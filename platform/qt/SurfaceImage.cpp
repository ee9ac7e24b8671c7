#include "platform/qt/SurfaceImage.h"

#include <QPainter>
#include <cstring>

namespace qv::qt {

QImage surfaceImage(const gdi::Surface& s) {
    if (s.width() <= 0 || s.height() <= 0) return QImage();
    if (s.stride() >= s.width())
        return QImage(reinterpret_cast<const uchar*>(s.row(0)), s.width(), s.height(),
                      static_cast<qsizetype>(s.stride() * 4), QImage::Format_RGB32);
    // Bottom-up memory (a DIB section's view): copied row by row.
    QImage img(s.width(), s.height(), QImage::Format_RGB32);
    for (int y = 0; y < s.height(); ++y)
        std::memcpy(img.scanLine(y), s.row(y), static_cast<size_t>(s.width()) * 4);
    return img;
}

void drawSurface(QPainter& p, gdi::Surface& s, QPoint at) {
    gdi::RECT changed;
    s.takeChanges(&changed);
    QImage img = surfaceImage(s);
    if (!img.isNull()) p.drawImage(at, img);
}

}  // namespace qv::qt
