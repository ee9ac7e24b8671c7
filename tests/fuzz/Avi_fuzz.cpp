// The AVI reader and frame decoder: any bytes as a file; every frame of every stream of what
// opens is decoded (at most a few, in an order that also goes back).
#include <algorithm>
#include <cstdlib>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "platform/media/MediaTestFiles.h"
#include "platform/media/AviFile.h"
#include "platform/media/AviFrameDecoder.h"

QV_FUZZ_TARGET(Avi) {
    using namespace qv::media;
    const std::string path = qv::fuzz::writeInput("in.avi", data, size);
    MediaError e;
    const auto avi = AviFile::open(path, e);
    if (!avi) return 0;
    (void)avi->fileInfo();
    size_t chunks = 0;
    for (const auto& s : avi->streams()) chunks += s.chunks.size();
    if (chunks > size / 8) std::abort();  // each chunk takes 8 bytes of the file at least
    for (size_t s = 0; s < avi->streams().size() && s < 4; ++s) {
        auto dec = AviFrameDecoder::open(*avi, static_cast<int>(s), e);
        if (!dec) continue;
        const int64_t n = static_cast<int64_t>(std::min<size_t>(dec->frameCount(), 6));
        for (int64_t i : {int64_t{0}, n - 1, int64_t{1}, int64_t{0}, n})
            if (auto pic = dec->frame(i, e))
                if (pic->size() != pic->pixelOffset() + pic->stride() * static_cast<size_t>(pic->height())) std::abort();
    }
    return 0;
}

QV_FUZZ_SEEDS(Avi) {
    using namespace mediatest;
    std::vector<qv::fuzz::Bytes> seeds;
    for (IndexKind kind : {IndexKind::Idx1Relative, IndexKind::Idx1Absolute, IndexKind::None, IndexKind::OpenDml}) {
        TestStream video;
        video.format = bitmapFormat(3, 2, 24);
        for (int i = 0; i < 3; ++i) video.chunks.push_back(rawFrame(3, 2, 24, i));
        TestStream audio;
        audio.type = "auds";
        audio.twoCC = "wb";
        audio.rate = 8000;
        audio.format = pcmFormat(1, 8000, 16);
        audio.chunks.assign(2, std::vector<uint8_t>(16, 1));
        AviLayout layout;
        layout.index = kind;
        layout.recLists = kind == IndexKind::None;
        seeds.push_back(buildAvi({video, audio}, layout));
    }
    TestStream paletted;
    paletted.twoCC = "dc";
    paletted.format = bitmapFormat(4, 2, 8, nullptr, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF});
    paletted.chunks.assign(2, std::vector<uint8_t>(8, 2));
    seeds.push_back(buildAvi({paletted}, AviLayout{}));
    return seeds;
}
