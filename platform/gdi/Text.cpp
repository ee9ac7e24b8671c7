// Text through FreeType, faces found by fontconfig (the system's face names are aliases in the
// program's fonts.conf). Glyphs are rendered as 1-bit masks: UI text is not antialiased.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <compare>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numbers>
#include <tuple>
#include <vector>

#include "platform/gdi/Emf.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"

namespace qv::gdi {

using namespace detail;

namespace {

// Face used when a font names none: the proportional UI gothic.
constexpr const char* kDefaultFace = "ＭＳ Ｐゴシック";
// Em height in pixels for lfHeight 0.
constexpr int kDefaultEm = 12;

struct FontSystem {
    FT_Library ft = nullptr;
    FcConfig* config = nullptr;
    std::string confFile;
    bool confLoaded = false;
    std::map<std::tuple<std::string, bool, bool>, FT_Face> faces;
    // Which faces came back bold/italic from the match (else synthesised).
    std::map<FT_Face, std::pair<bool, bool>> styles;

    ~FontSystem() {
        for (auto& [k, f] : faces)
            if (f) FT_Done_Face(f);
        if (ft) FT_Done_FreeType(ft);
        if (config) FcConfigDestroy(config);
    }

    void ensureConfig() {
        if (confLoaded) return;
        confLoaded = true;
        if (!ft) FT_Init_FreeType(&ft);
        config = FcInitLoadConfigAndFonts();
        std::string file = confFile;
        if (file.empty()) {
            std::string candidate = kernel::programFolder() + "/fonts.conf";
            if (kernel::isRegularFile(candidate)) file = candidate;
        }
        if (config && !file.empty())
            FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(file.c_str()), FcTrue);
    }

    FT_Face face(const std::string& family, bool bold, bool italic) {
        ensureConfig();
        auto key = std::make_tuple(family, bold, italic);
        auto it = faces.find(key);
        if (it != faces.end()) return it->second;
        FT_Face result = nullptr;
        if (config && ft) {
            FcPattern* pat = FcPatternCreate();
            FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
            FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
            FcConfigSubstitute(config, pat, FcMatchPattern);
            FcDefaultSubstitute(pat);
            FcResult res;
            FcPattern* match = FcFontMatch(config, pat, &res);
            if (match) {
                FcChar8* file = nullptr;
                int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
                FcPatternGetInteger(match, FC_SLANT, 0, &slant);
                if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                    FT_New_Face(ft, reinterpret_cast<const char*>(file), index, &result) != 0)
                    result = nullptr;
                if (result) styles[result] = {weight >= FC_WEIGHT_DEMIBOLD, slant != FC_SLANT_ROMAN};
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pat);
        }
        faces[key] = result;
        return result;
    }
};

FontSystem& fonts() {
    static FontSystem f;
    return f;
}

// Hinting a TrueType glyph (its bytecode run) costs far more than drawing it, and a redraw writes
// the same few labels again and again: each glyph's advance and its rendered mask are kept,
// keyed by everything the result depends on: the face, the exact sizes it was set to, the
// transform, the synthetic emboldening and the character. Faces are never reused while their
// entries live (the cache is dropped with them), and a full cache is emptied rather than trimmed.
struct GlyphKey {
    FT_Face face;
    double emX, emY;
    FT_Fixed xx, xy, yx, yy;  // identity for advances
    bool embolden;
    char32_t c;
    auto operator<=>(const GlyphKey&) const = default;
};

struct GlyphMask {
    bool ok = false;  // loaded and rendered
    int left = 0, top = 0;
    unsigned width = 0, rows = 0;
    int pitch = 0;
    std::vector<unsigned char> bits;  // rows * |pitch| bytes, row r at r * pitch from row 0
};

struct GlyphCache {
    static constexpr size_t kMaxEntries = 8192;
    std::map<GlyphKey, int> advances;
    std::map<GlyphKey, GlyphMask> masks;
    void clear() {
        advances.clear();
        masks.clear();
    }
};

GlyphCache& glyphCache() {
    static GlyphCache c;
    return c;
}

// A font prepared at its pixel size.
struct Prepared {
    FT_Face face = nullptr;
    bool emboldenSynth = false;
    bool italicSynth = false;
    double emX = 0, emY = 0;
    TEXTMETRICA tm;
    int underlinePos = 0, underlineSize = 1, strikePos = 0, strikeSize = 1;
    double angle = 0;  // radians, anticlockwise
    LOGFONTA lf;
};

bool prepare(const Dc& dc, Prepared& p) {
    LOGFONTA lf = dc.font ? dc.font->font : LOGFONTA{};
    p.lf = lf;
    std::string face = kernel::cp932FieldToUtf8(lf.lfFaceName, LF_FACESIZE);
    if (face.empty()) face = kDefaultFace;
    bool bold = lf.lfWeight >= 600, italic = lf.lfItalic != 0;
    p.face = fonts().face(face, bold, italic);
    if (!p.face) return false;
    auto [isBold, isItalic] = fonts().styles[p.face];
    p.emboldenSynth = bold && !isBold;
    p.italicSynth = italic && !isItalic;
    FT_Face f = p.face;
    double upem = f->units_per_EM ? f->units_per_EM : 1000;
    double asc = f->ascender, desc = -f->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        asc = os2->usWinAscent;
        desc = os2->usWinDescent;
    }
    double cell = asc + desc > 0 ? asc + desc : upem;
    int height = lf.lfHeight;
    if (height == 0) height = -kDefaultEm;
    if (height == INT32_MIN) return false;
    TEXTMETRICA& tm = p.tm;
    if (height > 0) {
        p.emY = height * upem / cell;
        tm.tmHeight = height;
        tm.tmAscent = int(std::lround(asc * height / cell));
        tm.tmDescent = height - tm.tmAscent;
    } else {
        p.emY = -double(height);
        tm.tmAscent = int(std::lround(asc * p.emY / upem));
        tm.tmDescent = int(std::lround(desc * p.emY / upem));
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
    }
    if (p.emY > 4096) return false;  // beyond any use; keeps FreeType sizes sane
    tm.tmInternalLeading = tm.tmHeight - int(std::lround(p.emY));
    // Average character width: the advance of "x" (half an em in the monospaced gothic).
    double xAdvUnits = upem / 2;
    if (FT_Load_Char(f, 'x', FT_LOAD_NO_SCALE) == 0) xAdvUnits = double(f->glyph->advance.x);
    double natural = xAdvUnits * p.emY / upem;
    p.emX = p.emY;
    if (lf.lfWidth > 0 && natural > 0) p.emX = p.emY * lf.lfWidth / natural;
    if (p.emX > 4096) return false;
    tm.tmAveCharWidth = lf.lfWidth > 0 ? lf.lfWidth : int(std::lround(natural));
    tm.tmMaxCharWidth = int(std::lround(f->max_advance_width * p.emX / upem));
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmCharSet = lf.lfCharSet;
    tm.tmPitchAndFamily = lf.lfPitchAndFamily;
    p.underlinePos = tm.tmAscent - int(std::lround(f->underline_position * p.emY / upem));
    p.underlineSize = std::max(1, int(std::lround(f->underline_thickness * p.emY / upem)));
    if (os2 && os2->yStrikeoutSize > 0) {
        p.strikePos = tm.tmAscent - int(std::lround(os2->yStrikeoutPosition * p.emY / upem));
        p.strikeSize = std::max(1, int(std::lround(os2->yStrikeoutSize * p.emY / upem)));
    } else {
        p.strikePos = tm.tmAscent - int(std::lround(p.emY * 0.3));
        p.strikeSize = p.underlineSize;
    }
    p.angle = lf.lfEscapement / 10.0 * std::numbers::pi / 180.0;
    FT_Set_Char_Size(f, FT_F26Dot6(std::lround(p.emX * 64)), FT_F26Dot6(std::lround(p.emY * 64)),
                     72, 72);
    return true;
}

// Integer pixel advances of each character, unrotated.
std::vector<int> advances(Prepared& p, const std::u32string& text) {
    std::vector<int> adv;
    FT_Set_Transform(p.face, nullptr, nullptr);
    auto& cache = glyphCache().advances;
    for (char32_t c : text) {
        const GlyphKey key{p.face, p.emX, p.emY, 0x10000, 0, 0, 0x10000, false, c};
        auto it = cache.find(key);
        if (it == cache.end()) {
            int a = 0;
            if (FT_Load_Char(p.face, c, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0)
                a = int((p.face->glyph->advance.x + 32) >> 6);
            if (cache.size() >= GlyphCache::kMaxEntries) cache.clear();
            it = cache.emplace(key, a).first;
        }
        adv.push_back(it->second);
    }
    return adv;
}

// The glyph's 1-bit mask under the face's current size and transform `m`.
const GlyphMask& glyphMask(const Prepared& p, const FT_Matrix& m, char32_t c) {
    auto& cache = glyphCache().masks;
    const GlyphKey key{p.face, p.emX, p.emY, m.xx, m.xy, m.yx, m.yy, p.emboldenSynth, c};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    GlyphMask mask;
    if (FT_Load_Char(p.face, c, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0) {
        FT_GlyphSlot g = p.face->glyph;
        if (p.emboldenSynth && g->format == FT_GLYPH_FORMAT_OUTLINE)
            FT_Outline_Embolden(&g->outline, FT_Pos(std::lround(p.emY * 64 / 24)));
        if (FT_Render_Glyph(g, FT_RENDER_MODE_MONO) == 0) {
            const FT_Bitmap& bm = g->bitmap;
            mask.ok = true;
            mask.left = g->bitmap_left;
            mask.top = g->bitmap_top;
            mask.width = bm.width;
            mask.rows = bm.rows;
            mask.pitch = bm.pitch;
            const size_t rowBytes = size_t(std::abs(bm.pitch));
            mask.bits.resize(rowBytes * bm.rows);
            // Kept in memory order, so row r stays at r * pitch from row 0 as in the slot.
            const unsigned char* lowest =
                bm.pitch < 0 && bm.rows > 0 ? bm.buffer + ptrdiff_t(bm.rows - 1) * bm.pitch : bm.buffer;
            if (!mask.bits.empty()) std::memcpy(mask.bits.data(), lowest, mask.bits.size());
        }
    }
    if (cache.size() >= GlyphCache::kMaxEntries) cache.clear();
    return cache.emplace(key, std::move(mask)).first->second;
}

bool prepareText(HDC hdc, const char* text, int length, Dc** dcOut, Prepared& p,
                 std::u32string& u32) {
    Dc* dc = findDc(hdc);
    if (!dc || !text || length < 0) return false;
    if (!prepare(*dc, p)) return false;
    u32 = decodeUtf8(kernel::cp932ToUtf8(std::string_view(text, size_t(length))));
    *dcOut = dc;
    return true;
}

}  // namespace

namespace detail {

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
        else { out.push_back(U'?'); ++i; continue; }
        if (i + n > s.size()) { out.push_back(U'?'); break; }
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n;
    }
    return out;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    for (char32_t c : decodeUtf8(utf8)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(char16_t(0xD800 + (c >> 10)));
            out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

}  // namespace detail

void setFontConfigFile(const std::string& path) {
    FontSystem& f = fonts();
    f.confFile = path;
    // Faces matched under the old configuration no longer apply, nor do their glyphs.
    glyphCache().clear();
    for (auto& [k, face] : f.faces)
        if (face) FT_Done_Face(face);
    f.faces.clear();
    f.styles.clear();
    if (f.config) FcConfigDestroy(f.config);
    f.config = nullptr;
    f.confLoaded = false;
}

bool GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
    Dc* dc = findDc(hdc);
    Prepared p;
    if (!dc || !tm || !prepare(*dc, p)) return false;
    *tm = p.tm;
    return true;
}

bool GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size) {
    Dc* dc = nullptr;
    Prepared p;
    std::u32string u32;
    if (!size || !prepareText(hdc, text, length, &dc, p, u32)) return false;
    int w = 0;
    for (int a : advances(p, u32)) w += a;
    *size = SIZE{w, p.tm.tmHeight};
    return true;
}

bool TextOutA(HDC hdc, int x, int y, const char* text, int length) {
    Dc* dc = nullptr;
    Prepared p;
    std::u32string u32;
    if (!prepareText(hdc, text, length, &dc, p, u32) || !dc->surface) return false;
    DrawScope scope(*dc);
    std::vector<int> adv = advances(p, u32);
    int extent = 0;
    for (int a : adv) extent += a;
    Surface& s = *dc->surface;
    double ox = double(x) + dc->orgX, oy = double(y) + dc->orgY;
    double cs = std::cos(p.angle), sn = std::sin(p.angle);
    auto at = [&](double u, double v) {
        return std::pair<double, double>{ox + u * cs + v * sn, oy - u * sn + v * cs};
    };
    RECT touched{};
    Target t{&s, dc->orgX, dc->orgY};
    auto quad = [&](double u0, double v0, double u1, double v1, COLORREF c) {
        int64_t xy[8];
        double corners[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
        for (int i = 0; i < 4; ++i) {
            auto [px, py] = at(corners[i][0], corners[i][1]);
            xy[2 * i] = int64_t(std::floor(px + 0.5));
            xy[2 * i + 1] = int64_t(std::floor(py + 0.5));
        }
        PenSpec none;
        none.null = true;
        BrushSpec b{false, colorToPixel(c), R2_COPYPEN};
        drawPolygon(t, none, b, xy, 4, false, &touched);
    };
    if (dc->bkMode == OPAQUE && extent > 0) quad(0, 0, extent, p.tm.tmHeight, dc->bkColor);
    // Glyphs: rotation (and a synthetic slant) as a FreeType transform.
    double shear = p.italicSynth ? 0.2 : 0;
    FT_Matrix m;
    m.xx = FT_Fixed(std::lround(cs * 65536));
    m.xy = FT_Fixed(std::lround((-sn + cs * shear) * 65536));
    m.yx = FT_Fixed(std::lround(sn * 65536));
    m.yy = FT_Fixed(std::lround((cs + sn * shear) * 65536));
    FT_Set_Transform(p.face, &m, nullptr);
    uint32_t ink = colorToPixel(dc->textColor);
    int pen = 0;
    for (size_t i = 0; i < u32.size(); ++i) {
        auto [bx, by] = at(pen, p.tm.tmAscent);
        pen += adv[i];
        const GlyphMask& bm = glyphMask(p, m, u32[i]);
        if (!bm.ok) continue;
        int64_t left = int64_t(std::floor(bx + 0.5)) + bm.left;
        int64_t top = int64_t(std::floor(by + 0.5)) - bm.top;
        const unsigned char* row0 =
            bm.pitch < 0 && bm.rows > 0 ? bm.bits.data() - ptrdiff_t(bm.rows - 1) * bm.pitch : bm.bits.data();
        for (unsigned r = 0; r < bm.rows; ++r) {
            int64_t yy = top + r;
            if (yy < 0 || yy >= s.height()) continue;
            const unsigned char* row = row0 + ptrdiff_t(r) * bm.pitch;
            uint32_t* out = s.row(int(yy));
            for (unsigned c = 0; c < bm.width; ++c) {
                if (!(row[c >> 3] & (0x80 >> (c & 7)))) continue;
                int64_t xx = left + c;
                if (xx >= 0 && xx < s.width()) out[xx] = ink;
            }
        }
        unionRect(&touched, RECT{int32_t(std::clamp<int64_t>(left, 0, s.width())),
                                 int32_t(std::clamp<int64_t>(top, 0, s.height())),
                                 int32_t(std::clamp<int64_t>(left + bm.width, 0, s.width())),
                                 int32_t(std::clamp<int64_t>(top + bm.rows, 0, s.height()))});
    }
    FT_Set_Transform(p.face, nullptr, nullptr);
    if (p.lf.lfUnderline && extent > 0)
        quad(0, p.underlinePos, extent, p.underlinePos + p.underlineSize, dc->textColor);
    if (p.lf.lfStrikeOut && extent > 0)
        quad(0, p.strikePos, extent, p.strikePos + p.strikeSize, dc->textColor);
    s.markChanged(touched);
    if (dc->emf) {
        std::u16string u16;
        std::vector<int32_t> dx;
        for (size_t i = 0; i < u32.size(); ++i) {
            char32_t c = u32[i];
            if (c >= 0x10000) {
                c -= 0x10000;
                u16.push_back(char16_t(0xD800 + (c >> 10)));
                u16.push_back(char16_t(0xDC00 + (c & 0x3FF)));
                dx.push_back(adv[i]);
                dx.push_back(0);
            } else {
                u16.push_back(char16_t(c));
                dx.push_back(adv[i]);
            }
        }
        dc->emf->textOut(x, y, u16, dx, RECT{x, y, x + extent, y + p.tm.tmHeight});
        dc->emf->addBounds(touched);
    }
    return true;
}

}  // namespace qv::gdi
