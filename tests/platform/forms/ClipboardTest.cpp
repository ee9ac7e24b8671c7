// The clipboard keeps a metafile with its picture, hands PNG bytes of the picture and tells
// its publisher about every change.
#include <gtest/gtest.h>

#include <memory>

#include "platform/forms/Clipboard.h"
#include "platform/gdi/Surface.h"

using namespace qv;
using forms::Clipboard;

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

TEST(Clipboard, HoldsAMetafileAndItsPictureAsPngAndPublishesChanges) {
    int published = 0;
    size_t lastEmf = 99;
    Clipboard.setPublisher([&](const forms::ClipboardObject& cb) {
        ++published;
        lastEmf = cb.metafileBytes().size();
    });
    Clipboard.Clear();
    EXPECT_FALSE(Clipboard.GetFormat(forms::vbCFEMetafile));
    EXPECT_FALSE(Clipboard.GetFormat(forms::vbCFBitmap));
    EXPECT_TRUE(Clipboard.pngBytes().empty());

    auto pic = std::make_shared<gdi::Surface>(7, 3, 0x0000FF);
    Clipboard.SetMetafile({1, 2, 3}, pic);
    EXPECT_TRUE(Clipboard.GetFormat(forms::vbCFEMetafile));
    EXPECT_TRUE(Clipboard.GetFormat(forms::vbCFMetafile));
    EXPECT_TRUE(Clipboard.GetFormat(forms::vbCFDIB));
    EXPECT_FALSE(Clipboard.GetFormat(1));
    EXPECT_EQ(lastEmf, 3u);
    const std::vector<uint8_t> png = Clipboard.pngBytes();
    ASSERT_GT(png.size(), 33u);
    const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    EXPECT_EQ(be32(png, 16), 7u);  // IHDR width and height
    EXPECT_EQ(be32(png, 20), 3u);
    EXPECT_EQ(png[24], 8);  // 8 bits, RGB
    EXPECT_EQ(png[25], 2);

    Clipboard.Clear();
    EXPECT_EQ(published, 3);
    EXPECT_EQ(lastEmf, 0u);
    Clipboard.setPublisher({});
    Clipboard.SetMetafile({1}, nullptr);
    EXPECT_EQ(published, 3);
    EXPECT_FALSE(Clipboard.GetFormat(forms::vbCFBitmap));
    Clipboard.Clear();
}

}  // namespace
