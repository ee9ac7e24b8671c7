#pragma once
// Small helpers of the forms model's own sources.

#include <cmath>
#include <cstddef>
#include <string_view>

#include "platform/basic/Convert.h"
#include "platform/forms/Types.h"
#include "platform/gdi/GdiTypes.h"

namespace qv::forms {

// Names of controls, forms and properties compare without regard to ASCII case, as the
// language looked them up.
inline bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// A hash that agrees with iequals: equal names under ASCII case folding hash alike.
inline size_t ihash(std::string_view s) {
    size_t h = 14695981039346656037ull;  // FNV-1a
    for (char ch : s) {
        unsigned char x = static_cast<unsigned char>(ch);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        h = (h ^ x) * 1099511628211ull;
    }
    return h;
}

// Geometry kept in container units becomes whole pixels only here: nearest, halves to even,
// limited to +-2^30 so that sums of positions and sizes cannot overflow.
inline int pixelRound(double v) {
    constexpr double kLimit = 1073741824.0;
    if (!(v == v)) return 0;
    if (v > kLimit) v = kLimit;
    if (v < -kLimit) v = -kLimit;
    return basic::roundToInt32(v);
}

inline PixelRect offset(PixelRect r, int dx, int dy) {
    return PixelRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The rectangle inside borders of the given widths; never of negative size.
inline PixelRect inset(PixelRect r, int left, int top, int right, int bottom) {
    r.left += left;
    r.top += top;
    r.right = r.right - right < r.left ? r.left : r.right - right;
    r.bottom = r.bottom - bottom < r.top ? r.top : r.bottom - bottom;
    return r;
}

// The drawing layer's forms of our values.
gdi::LOGFONTA toLogFont(const Font& f);
gdi::RECT toRect(const PixelRect& r);

}  // namespace qv::forms
