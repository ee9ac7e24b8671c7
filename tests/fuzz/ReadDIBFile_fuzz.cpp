// BMP bytes through both of the bitmap viewer's readers: its own header and pixel-word reader,
// and the picture load (the drawing layer's reader, then the bitmap object with the file's own
// depth, its raw rows read and written back).
#include <span>
#include <vector>

#include "FuzzTarget.h"
#include "app/recording/frmBMP.h"
#include "platform/basic/RuntimeError.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "tests/app/recording/BmpFiles_testsupport.h"

QV_FUZZ_TARGET(ReadDIBFile) {
    std::span<const uint8_t> bytes(data, size);
    try {
        qv::DIBFileRecords r = qv::parseDIBFile(bytes);
        (void)r;
    } catch (const qv::basic::RuntimeError&) {
        // A refusal is the reader's answer to a bad file; anything else escapes and is a finding.
    }
    qv::gdi::BmpReadResult r = qv::gdi::readBmp(bytes);
    if (!r.ok) return 0;
    qv::gdi::HBITMAP bmp = qv::gdi::createPictureBitmap(r.image);
    if (!bmp) return 0;
    qv::gdi::BITMAP bm{};
    qv::gdi::GetObjectA(bmp, sizeof bm, &bm);
    std::vector<uint8_t> rows(size_t(bm.bmWidthBytes) * size_t(bm.bmHeight));
    qv::gdi::GetBitmapBits(bmp, int32_t(rows.size()), rows.data());
    for (uint8_t& v : rows) v = uint8_t(~v);
    qv::gdi::SetBitmapBits(bmp, uint32_t(rows.size()), rows.data());
    qv::gdi::DeleteObject(bmp);
    return 0;
}

QV_FUZZ_SEEDS(ReadDIBFile) {
    using qv::apptest::BmpSpec;
    auto index = [](int x, int y) { return uint32_t(x + y) & 1u; };
    auto colour = [](int x, int y) { return uint32_t(x * 0x102030 + y * 0x050709) & 0xFFFFFFu; };
    std::vector<uint32_t> grey(256);
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
    return {qv::apptest::makeBmp({5, 3, 1, false, 0, {0, 0xFFFFFF}}, index),
            qv::apptest::makeBmp({7, 2, 4, true, 4, std::vector<uint32_t>(16, 0x336699)}, index),
            qv::apptest::makeBmp({3, 3, 8, false, 6, grey}, index),
            qv::apptest::makeBmp({5, 2, 24, true, 0, {}}, colour),
            qv::apptest::makeBmp({2, 2, 32, false, 2, {}}, colour)};
}
