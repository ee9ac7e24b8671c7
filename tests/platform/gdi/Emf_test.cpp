// Enhanced metafiles: the file is parsed back record by record, and the recorded picture is
// the one the same calls draw on a screen surface.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "GdiTestSupport.h"
#include "platform/kernel/ScreenMetrics.h"

using namespace qv::gdi;
using qv::gdi::test::Canvas;

namespace {

struct Record {
    uint32_t type;
    std::vector<uint8_t> data;  // the whole record
    uint32_t u32(size_t at) const {
        uint32_t v;
        std::memcpy(&v, data.data() + at, 4);
        return v;
    }
};

// A minimal reader: every record has a type and a size that is a multiple of 4 and stays inside
// the file; the last is EOF.
std::vector<Record> parseEmf(const std::vector<uint8_t>& b) {
    std::vector<Record> out;
    size_t pos = 0;
    while (pos + 8 <= b.size()) {
        uint32_t type, size;
        std::memcpy(&type, &b[pos], 4);
        std::memcpy(&size, &b[pos + 4], 4);
        if (size < 8 || size % 4 || pos + size > b.size()) {
            ADD_FAILURE() << "bad record at " << pos;
            return out;
        }
        out.push_back({type, std::vector<uint8_t>(b.begin() + long(pos), b.begin() + long(pos + size))});
        pos += size;
    }
    EXPECT_EQ(pos, b.size());
    return out;
}

void drawScene(HDC dc) {
    HPEN pen = CreatePen(PS_DASH, 1, 0x0000FF);
    HBRUSH brush = CreateSolidBrush(0x00FF00);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SetROP2(dc, R2_NOTXORPEN);
    MoveToEx(dc, 10, 10);
    LineTo(dc, 90, 40);
    SetROP2(dc, R2_COPYPEN);
    POINT pl[3] = {{5, 60}, {50, 70}, {95, 60}};
    Polyline(dc, pl, 3);
    Rectangle(dc, 20, 20, 40, 35);
    Ellipse(dc, 50, 5, 80, 30);
    POINT tri[3] = {{60, 50}, {70, 45}, {75, 58}};
    Polygon(dc, tri, 3);
    RECT r{2, 2, 8, 8};
    FillRect(dc, &r, brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFF0000);
    TextOutA(dc, 10, 75, "AB\x95\x5C", 4);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace

TEST(GdiEmf, WritesAValidFileWithEveryRecord) {
    setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf");
    std::string path = (std::filesystem::temp_directory_path() / "qv_gdi_test.emf").string();
    std::remove(path.c_str());
    RECT frame{0, 0, 2646, 2117};  // 100 x 80 pixels at 96 DPI, in 0.01 mm
    HDC dc = CreateEnhMetaFileA(0, path.c_str(), &frame, "TEST");
    ASSERT_NE(dc, 0);
    EXPECT_EQ(GetObjectType(dc), OBJ_ENHMETADC);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), qv::kernel::screenMetrics().widthMm());
    drawScene(dc);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    ASSERT_NE(emf, 0);
    EXPECT_FALSE(LineTo(dc, 1, 1));  // the recording context is gone

    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 108u);
    std::vector<uint8_t> viaHandle(GetEnhMetaFileBits(emf, 0, nullptr));
    ASSERT_EQ(GetEnhMetaFileBits(emf, uint32_t(viaHandle.size()), viaHandle.data()), bytes.size());
    EXPECT_EQ(viaHandle, bytes);

    auto recs = parseEmf(bytes);
    ASSERT_GE(recs.size(), 3u);
    const Record& h = recs.front();
    EXPECT_EQ(h.type, 1u);
    EXPECT_EQ(h.u32(40), 0x464D4520u);  // " EMF"
    EXPECT_EQ(h.u32(44), 0x10000u);
    EXPECT_EQ(h.u32(48), bytes.size());
    EXPECT_EQ(h.u32(52), recs.size());
    uint32_t handles = h.u32(56) & 0xFFFF;
    EXPECT_GE(handles, 3u);  // slot 0 plus a pen and a brush at once
    // Frame as given; bounds inside the drawing area.
    EXPECT_EQ(int32_t(h.u32(24)), 0);
    EXPECT_EQ(int32_t(h.u32(32)), 2646);
    EXPECT_EQ(int32_t(h.u32(36)), 2117);
    EXPECT_EQ(int32_t(h.u32(8)), 2);    // the FillRect at x 2 is leftmost
    EXPECT_EQ(int32_t(h.u32(12)), 2);
    EXPECT_LE(int32_t(h.u32(16)), 99);
    // Description "TEST\0\0" in UTF-16.
    uint32_t nDesc = h.u32(60), offDesc = h.u32(64);
    ASSERT_EQ(nDesc, 6u);
    const char16_t want[6] = {u'T', u'E', u'S', u'T', 0, 0};
    EXPECT_EQ(std::memcmp(&h.data[offDesc], want, 12), 0);
    // Device size in pixels and millimetres.
    auto m = qv::kernel::screenMetrics();
    EXPECT_EQ(h.u32(72), uint32_t(m.widthPx));
    EXPECT_EQ(h.u32(80), uint32_t(m.widthMm()));
    EXPECT_EQ(recs.back().type, 14u);  // EOF

    std::map<uint32_t, int> count;
    for (const Record& r : recs) ++count[r.type];
    EXPECT_EQ(count[38], 1);  // create pen
    EXPECT_GE(count[39], 1);  // create brush
    EXPECT_GE(count[37], 4);  // select object
    EXPECT_EQ(count[40], 2);  // delete pen and brush
    EXPECT_EQ(count[20], 2);  // ROP2
    EXPECT_EQ(count[27], 1);  // move
    EXPECT_EQ(count[54], 1);  // line
    EXPECT_EQ(count[4], 1);   // polyline
    EXPECT_EQ(count[43], 1);  // rectangle
    EXPECT_EQ(count[42], 1);  // ellipse
    EXPECT_EQ(count[3], 1);   // polygon
    EXPECT_EQ(count[76], 1);  // the FillRect as a pattern blit
    EXPECT_EQ(count[84], 1);  // text
    for (const Record& r : recs) {
        if (r.type == 38) {
            EXPECT_EQ(r.u32(12), uint32_t(PS_DASH));
            EXPECT_EQ(r.u32(24), 0x0000FFu);
        }
        if (r.type == 43) {
            EXPECT_EQ(r.u32(8), 20u);
            EXPECT_EQ(r.u32(20), 35u);
        }
        if (r.type == 4) {
            EXPECT_EQ(r.u32(24), 3u);
            EXPECT_EQ(r.u32(28), 5u);
            EXPECT_EQ(r.u32(32), 60u);
        }
        if (r.type == 84) {
            ASSERT_EQ(r.u32(44), 3u);  // three characters: A, B, 表
            uint32_t off = r.u32(48);
            char16_t text[3];
            std::memcpy(text, &r.data[off], 6);
            EXPECT_EQ(text[0], u'A');
            EXPECT_EQ(text[2], u'\u8868');
            uint32_t offDx = r.u32(72);
            EXPECT_EQ(r.data.size(), offDx + 12);
        }
    }

    // The recorded picture equals the same calls on a plain surface of the frame's size.
    auto pic = enhMetaFileSurface(emf);
    ASSERT_TRUE(pic);
    ASSERT_EQ(pic->width(), 100);
    ASSERT_EQ(pic->height(), 80);
    Canvas screen(100, 80, 0xFFFFFF);
    drawScene(screen.dc);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(pic->colorAt(x, y), screen.at(x, y)) << x << "," << y;

    EXPECT_TRUE(DeleteEnhMetaFile(emf));
    EXPECT_FALSE(DeleteEnhMetaFile(emf));
    EXPECT_TRUE(std::filesystem::exists(path));  // the file stays
    std::remove(path.c_str());
}

TEST(GdiEmf, RefusesAnUncreatableFileAndRecordsWithoutOne) {
    RECT frame{0, 0, 1000, 1000};
    EXPECT_EQ(CreateEnhMetaFileA(0, "/nonexistent-folder/x.emf", &frame, "TEST"), 0);
    HDC dc = CreateEnhMetaFileA(0, nullptr, nullptr, nullptr);
    ASSERT_NE(dc, 0);
    MoveToEx(dc, 1, 1);
    LineTo(dc, 30, 1);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    ASSERT_NE(emf, 0);
    std::vector<uint8_t> b(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, uint32_t(b.size()), b.data());
    auto recs = parseEmf(b);
    ASSERT_GE(recs.size(), 4u);
    EXPECT_EQ(recs[0].u32(60), 0u);  // no description
    // No frame given: it follows the drawn bounds (x 1..29 in 0.01 mm).
    EXPECT_GT(int32_t(recs[0].u32(32)), 0);
    EXPECT_EQ(GetEnhMetaFileBits(emf, 4, b.data()), 0u);  // buffer too small
    DeleteEnhMetaFile(emf);
}
