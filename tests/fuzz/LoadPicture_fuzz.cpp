// Any bytes as a picture file the windows load by path. What loads must have a size and a bitmap
// object behind it; saved as a 24-bit file and loaded again it must give the same colours, and
// it must stretch onto a small surface as the picture boxes show it. Every pixel shown is
// 0x00RRGGBB, whatever the file's fourth bytes of 32-bit pixels hold.
#include <cstdio>
#include <cstdlib>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Picture.h"
#include "tests/app/recording/BmpFiles_testsupport.h"

namespace {

bool sameColours(const qv::gdi::Surface& a, const qv::gdi::Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

}  // namespace

QV_FUZZ_TARGET(LoadPicture) {
    const std::string path = qv::fuzz::writeInput("in.bmp", data, size);
    qv::forms::Picture picture;
    try {
        picture = qv::forms::LoadPicture(path);
    } catch (const qv::basic::RuntimeError&) {
        return 0;  // not a picture: the load's documented refusal
    }
    if (picture.empty() || !picture.Handle() || !(picture.Width() > 0) || !(picture.Height() > 0))
        { fprintf(stderr, "dbg %d %d %f %f %d %d\n", picture.empty(), (int)picture.Handle(), picture.Width(), picture.Height(), picture.widthPixels(), picture.heightPixels()); std::abort(); }
    const qv::gdi::Surface& pixels = *picture.surface();

    const std::string copy = (qv::fuzz::scratchFolder() / "copy.bmp").string();
    qv::forms::SavePicture(picture, copy);
    const qv::forms::Picture back = qv::forms::LoadPicture(copy);
    if (back.empty() || !sameColours(pixels, *back.surface())) std::abort();

    constexpr qv::gdi::COLORREF kFill = 0x123456;
    qv::gdi::Surface shown(7, 5, kFill);
    qv::forms::stretchCopy(pixels, shown, -1, 1, 9, 3);
    if (shown.pixel(0, 0) != qv::gdi::colorToPixel(kFill) || shown.pixel(0, 1) != pixels.pixel(pixels.width() / 9, 0))
        std::abort();
    return 0;
}

QV_FUZZ_SEEDS(LoadPicture) {
    using qv::apptest::makeBmp;
    auto index = [](int x, int y) { return uint32_t(x * 3 + y) % 4u; };
    auto colour = [](int x, int y) { return uint32_t(x * 0x0A1B2C + y * 0x030507) & 0xFFFFFFu; };
    // A 32-bit file whose unused fourth bytes are not zero.
    std::vector<uint8_t> fourth = makeBmp({3, 2, 32, false, 0, {}}, colour);
    for (size_t at = 14 + 40 + 3; at < fourth.size(); at += 4) fourth[at] = uint8_t(0xA5 + at);
    return {makeBmp({3, 2, 1, false, 0, {0x000000, 0xFFFFFF}}, index),
            makeBmp({5, 3, 4, true, 0, {0x112233, 0x445566, 0x778899, 0xAABBCC}}, index),
            makeBmp({4, 4, 8, false, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x808080}}, index),
            makeBmp({3, 2, 16, false, 0, {}}, colour),
            makeBmp({5, 2, 24, false, 0, {}}, colour),
            makeBmp({2, 3, 32, true, 0, {}}, colour),
            fourth};
}
