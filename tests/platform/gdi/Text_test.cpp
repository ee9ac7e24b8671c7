// Text: heights, widths, rotation, colours and the face mapping of fonts.conf.

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "GdiTestSupport.h"

using namespace qv::gdi;
using qv::gdi::test::Canvas;

namespace {

const char kGothic[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";          // ＭＳ ゴシック
const char kPGothic[] = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック

class GdiText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf"); }

    static HFONT font(const char* face, int height, int width = 0, int escapement = 0) {
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfWidth = width;
        lf.lfEscapement = escapement;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return CreateFontIndirectA(&lf);
    }
    static SIZE extent(HDC dc, const char* text) {
        SIZE s{};
        EXPECT_TRUE(GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &s));
        return s;
    }
};

}  // namespace

TEST_F(GdiText, HeightsFollowTheLogfontRules) {
    Canvas c(10, 10);
    TEXTMETRICA tm;
    HFONT cell = font(kGothic, 18);
    DeleteObject(SelectObject(c.dc, cell));
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 18);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 18);
    HFONT em = font(kGothic, -20);
    DeleteObject(SelectObject(c.dc, em));
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_GE(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAveCharWidth, 10);  // half an em in the monospaced gothic
    EXPECT_EQ(extent(c.dc, "ABC").cx, 30);
    EXPECT_EQ(extent(c.dc, "\x95\x5C").cx, 20);  // 表: a double-byte character is a full em
    EXPECT_EQ(extent(c.dc, "ABC").cy, tm.tmHeight);
    HFONT def = font("", 0);
    DeleteObject(SelectObject(c.dc, def));
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_GT(tm.tmHeight, 8);
    DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
}

TEST_F(GdiText, FacesMapToMonospacedAndProportionalGothic) {
    Canvas c(10, 10);
    DeleteObject(SelectObject(c.dc, font(kGothic, -16)));
    EXPECT_EQ(extent(c.dc, "iiii").cx, extent(c.dc, "WWWW").cx);
    DeleteObject(SelectObject(c.dc, font(kPGothic, -16)));
    EXPECT_LT(extent(c.dc, "iiii").cx, extent(c.dc, "WWWW").cx);
    DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
}

TEST_F(GdiText, WidthScalesHorizontally) {
    Canvas c(10, 10);
    DeleteObject(SelectObject(c.dc, font(kGothic, 10, 5)));
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(tm.tmHeight, 10);
    EXPECT_EQ(extent(c.dc, "12345").cx, 25);
    DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
}

TEST_F(GdiText, DrawsInTheTextColourInsideItsCellWithoutAntialiasing) {
    Canvas c(200, 60, 0xFFFFFF);
    DeleteObject(SelectObject(c.dc, font(kGothic, 20)));
    SetTextColor(c.dc, 0x0000FF);
    SetBkMode(c.dc, TRANSPARENT);
    SetROP2(c.dc, R2_XORPEN);  // text ignores the raster operation
    ASSERT_TRUE(TextOutA(c.dc, 30, 10, "Hg\x95\x5C", 4));
    SIZE sz = extent(c.dc, "Hg\x95\x5C");
    auto ink = c.notColor(0xFFFFFF);
    ASSERT_GT(ink.size(), 40u);
    for (auto [x, y] : ink) {
        EXPECT_EQ(c.at(x, y), 0x0000FFu);
        EXPECT_TRUE(x >= 30 && x < 30 + sz.cx && y >= 10 && y < 10 + sz.cy) << x << "," << y;
    }
    // Opaque mode paints the whole cell in the background colour first.
    Canvas o(200, 60, 0xFFFFFF);
    DeleteObject(SelectObject(o.dc, font(kGothic, 20)));
    SetBkMode(o.dc, OPAQUE);
    SetBkColor(o.dc, 0x00FF00);
    SetTextColor(o.dc, 0);
    TextOutA(o.dc, 30, 10, "Hg", 2);
    SIZE s2 = extent(o.dc, "Hg");
    EXPECT_EQ(o.at(30, 10), 0x00FF00u);
    EXPECT_EQ(o.at(30 + s2.cx - 1, 10 + s2.cy - 1), 0x00FF00u);
    EXPECT_EQ(o.at(30 + s2.cx, 10), 0xFFFFFFu);
    EXPECT_EQ(o.at(29, 10), 0xFFFFFFu);
    DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
    DeleteObject(SelectObject(o.dc, GetStockObject(SYSTEM_FONT)));
}

TEST_F(GdiText, EscapementRotatesAboutTheReferencePoint) {
    Canvas flat(300, 300, 0xFFFFFF), up(300, 300, 0xFFFFFF);
    DeleteObject(SelectObject(flat.dc, font(kGothic, 20, 0, 0)));
    DeleteObject(SelectObject(up.dc, font(kGothic, 20, 0, 900)));
    for (Canvas* c : {&flat, &up}) {
        SetTextColor(c->dc, 0);
        SetBkMode(c->dc, TRANSPARENT);
        TextOutA(c->dc, 150, 150, "ABCDEFGH", 8);
    }
    SIZE sz = extent(flat.dc, "ABCDEFGH");
    auto a = flat.notColor(0xFFFFFF), b = up.notColor(0xFFFFFF);
    ASSERT_FALSE(b.empty());
    // 90 degrees anticlockwise: the text runs upward from the reference point, its top facing
    // left, so it lies in x 150..150+height and y 150-extent..150.
    for (auto [x, y] : b) {
        EXPECT_GE(x, 149);
        EXPECT_LE(x, 150 + sz.cy);
        EXPECT_LE(y, 151);
        EXPECT_GE(y, 150 - sz.cx - 1);
    }
    // The same glyph ink, give or take rounding at the rotated edges.
    EXPECT_NEAR(double(b.size()), double(a.size()), a.size() * 0.1);
    DeleteObject(SelectObject(flat.dc, GetStockObject(SYSTEM_FONT)));
    DeleteObject(SelectObject(up.dc, GetStockObject(SYSTEM_FONT)));
}

TEST_F(GdiText, UnderlineAndBadArguments) {
    Canvas c(100, 40, 0xFFFFFF);
    LOGFONTA lf{};
    lf.lfHeight = 20;
    lf.lfUnderline = 1;
    std::strcpy(lf.lfFaceName, kGothic);
    DeleteObject(SelectObject(c.dc, CreateFontIndirectA(&lf)));
    SetTextColor(c.dc, 0);
    TextOutA(c.dc, 10, 5, "  ", 2);  // blanks: only the underline shows
    auto ink = c.notColor(0xFFFFFF);
    ASSERT_FALSE(ink.empty());
    int row = ink.begin()->second;
    for (auto [x, y] : ink) EXPECT_NEAR(y, row, 3);
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(0, 0, 0, "a", 1));
    SIZE s;
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "a", -1, &s));
    DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
}

// Glyphs are kept between calls: text drawn among other faces, sizes, widths, angles and weights
// must come out exactly as when each is drawn alone right after the fonts were loaded afresh.
TEST_F(GdiText, KeptGlyphsDrawExactlyAsFreshOnes) {
    struct Sample {
        const char* face;
        int height, width, escapement, weight;
        bool italic;
        const char* text;
    };
    const Sample samples[] = {
        {kGothic, 12, 0, 0, 0, false, "0.25 -999 No3"},
        {kGothic, 13, 0, 0, 0, false, "0.25 -999 No3"},   // one pixel taller: other masks
        {kGothic, 12, 5, 0, 0, false, "0.25 -999 No3"},   // narrower
        {kPGothic, 12, 0, 0, 0, false, "0.25 -999 No3"},  // other face, same size
        {kGothic, 12, 0, 900, 0, false, "0.25 -999 No3"}, // rotated
        {kGothic, 12, 0, 0, 700, false, "0.25 -999 No3"}, // synthetic bold
        {kGothic, 12, 0, 0, 0, true, "0.25 -999 No3"},    // synthetic slant
        {kGothic, -20, 0, 450, 0, false, "Hg\x95\x5C"},
        {kPGothic, 18, 0, 0, 0, false, "WiWi\x95\x5C"},
    };
    auto draw = [&](const Sample& t, Canvas& c) {
        LOGFONTA lf{};
        lf.lfHeight = t.height;
        lf.lfWidth = t.width;
        lf.lfEscapement = t.escapement;
        lf.lfWeight = t.weight;
        lf.lfItalic = t.italic ? 1 : 0;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        std::strncpy(lf.lfFaceName, t.face, LF_FACESIZE - 1);
        DeleteObject(SelectObject(c.dc, CreateFontIndirectA(&lf)));
        SetTextColor(c.dc, 0);
        SetBkMode(c.dc, TRANSPARENT);
        EXPECT_TRUE(TextOutA(c.dc, 60, 60, t.text, int(std::strlen(t.text))));
        const SIZE sz = extent(c.dc, t.text);
        DeleteObject(SelectObject(c.dc, GetStockObject(SYSTEM_FONT)));
        return sz;
    };
    constexpr size_t kCount = std::size(samples);
    std::vector<std::unique_ptr<Canvas>> fresh;
    std::vector<SIZE> freshSize;
    for (const Sample& t : samples) {
        setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf");  // faces and glyphs loaded anew
        fresh.push_back(std::make_unique<Canvas>(220, 140, 0xFFFFFF));
        freshSize.push_back(draw(t, *fresh.back()));
        ASSERT_FALSE(fresh.back()->notColor(0xFFFFFF).empty());
    }
    // Backwards, then forwards twice, with nothing dropped between the draws.
    for (int pass = 0; pass < 3; ++pass)
        for (size_t k = 0; k < kCount; ++k) {
            const size_t i = pass == 0 ? kCount - 1 - k : k;
            Canvas c(220, 140, 0xFFFFFF);
            const SIZE sz = draw(samples[i], c);
            EXPECT_EQ(sz.cx, freshSize[i].cx) << "sample " << i;
            EXPECT_EQ(sz.cy, freshSize[i].cy) << "sample " << i;
            EXPECT_EQ(c.notColor(0xFFFFFF), fresh[i]->notColor(0xFFFFFF)) << "sample " << i << " pass " << pass;
        }
    // Samples that differ from the first in size, width, face or angle alone really draw
    // differently, so the comparison above would have caught a glyph taken for another.
    for (size_t i = 1; i <= 4; ++i)
        EXPECT_NE(fresh[0]->notColor(0xFFFFFF), fresh[i]->notColor(0xFFFFFF)) << "sample " << i;
}
