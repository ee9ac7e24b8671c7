#pragma once
// Texts, colours, fonts and rectangles of the forms model in Qt's terms.

#include "platform/qt/QtBase.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Types.h"

namespace qv::qt {

inline QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string ss(const QString& s) { return s.toStdString(); }

// 0x00BBGGRR -> QColor.
inline QColor toQColor(forms::Color c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline QRect toQRect(const forms::PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// Text the program keeps with CR LF line breaks, as a multi-line widget shows it, and back.
QString toDisplayLines(const std::string& text);
std::string fromDisplayLines(const QString& text);

// A font at the logical 96 DPI (size in points -> pixels), not antialiased.
QFont toQFont(const forms::Font& f);

// The face-name aliases of a fontconfig file (<alias><family>A</family><prefer><family>B...),
// as (A, B) pairs in file order. Empty when the file cannot be read.
std::vector<std::pair<std::string, std::string>> readFontAliases(const std::string& path);
// Makes Qt substitute the aliased faces exactly as the drawing layer does, from the program
// folder's fonts.conf. Returns the number of substitutions registered.
int registerFontSubstitutions();

}  // namespace qv::qt
