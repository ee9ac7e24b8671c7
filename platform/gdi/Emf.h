#pragma once
// Internal: the enhanced-metafile recorder behind a recording device context. It turns each
// call into its EMF record and keeps the header's bounds and counts; Emf.cpp writes the file.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/GdiInternal.h"

namespace qv::gdi::detail {

class EmfRecorder {
public:
    EmfRecorder(std::string path, const RECT* frame, std::u16string description);

    void setRop2(int r) { simple(kSetRop2, uint32_t(r)); }
    void setBkMode(int m) { simple(kSetBkMode, uint32_t(m)); }
    void setBkColor(COLORREF c) { simple(kSetBkColor, c); }
    void setTextColor(COLORREF c) { simple(kSetTextColor, c); }
    void setPolyFillMode(int m) { simple(kSetPolyFillMode, uint32_t(m)); }
    void setStretchBltMode(int m) { simple(kSetStretchBltMode, uint32_t(m)); }
    void moveTo(int32_t x, int32_t y);
    void lineTo(int32_t x, int32_t y);
    void poly(bool polygon, const POINT* pts, int count);
    void box(bool ellipse, const RECT& r);
    void setPixel(int32_t x, int32_t y, COLORREF c);
    // Creates the object in the metafile on first use, then selects it.
    void select(HGDIOBJ id, const GdiObject& obj);
    void deleteObject(HGDIOBJ id);
    void fillRect(const RECT& r, HGDIOBJ brushId, const GdiObject& brush, HGDIOBJ restoreBrush,
                  const GdiObject* restore);
    void textOut(int32_t x, int32_t y, const std::u16string& text, const std::vector<int32_t>& dx,
                 const RECT& box);
    // 32-bit top-down pixels drawn stretched to the destination.
    void stretchPixels(const RECT& dest, int srcW, int srcH, const std::vector<uint32_t>& px,
                       uint32_t rop);
    void addBounds(const RECT& r);  // exclusive right/bottom, device pixels

    // The complete file: header, records, EOF.
    std::vector<uint8_t> finish();
    const std::string& path() const { return path_; }
    RECT frameOrDefault() const;

private:
    enum : uint32_t {
        kHeader = 1, kPolygon = 3, kPolyline = 4, kEof = 14, kSetPixelV = 15, kSetBkMode = 18,
        kSetPolyFillMode = 19, kSetRop2 = 20, kSetStretchBltMode = 21, kSetTextColor = 24,
        kSetBkColor = 25, kMoveToEx = 27, kSelectObject = 37, kCreatePen = 38,
        kCreateBrushIndirect = 39, kDeleteObject = 40, kEllipse = 42, kRectangle = 43,
        kLineTo = 54, kBitBlt = 76, kStretchDIBits = 81, kExtCreateFontIndirectW = 82,
        kExtTextOutW = 84,
    };
    void simple(uint32_t type, uint32_t value);
    void begin(uint32_t type);
    void put32(uint32_t v);
    void putRect(const RECT& r);
    void end();
    uint32_t slotFor(HGDIOBJ id, const GdiObject& obj);

    std::string path_;
    bool hasFrame_ = false;
    RECT frame_{};
    std::u16string description_;
    std::vector<uint8_t> body_;
    size_t recStart_ = 0;
    uint32_t records_ = 0;
    RECT bounds_{};
    std::unordered_map<HGDIOBJ, uint32_t> slots_;
    std::vector<bool> slotUsed_{true};  // slot 0 is the metafile itself
};

}  // namespace qv::gdi::detail
