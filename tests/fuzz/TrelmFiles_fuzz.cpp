// The library's file exports: any bytes as a WAVE file for MMIO_INIT2 and as an AVI file for
// CAM_GETAVIINFO. Nothing may escape them; what they report lies inside the file.
#include <cstdlib>
#include <cstring>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "library/trelm.h"
#include "platform/media/AviFile.h"
#include "platform/media/MediaTestFiles.h"

QV_FUZZ_TARGET(TrelmFiles) {
    const std::string path = qv::fuzz::writeInput("in.bin", data, size);
    int16_t cbSize = 0, blockAlign = 0, channels = 0, bits = 0, tag = 0;
    int32_t avgBytes = 0, rate = 0, dataSize = 0, dataOffset = 0;
    if (MMIO_INIT2(path.c_str(), &cbSize, &avgBytes, &blockAlign, &channels, &rate, &bits, &tag, &dataSize,
                   &dataOffset) == 1 &&
        (dataOffset < 0 || static_cast<size_t>(dataOffset) > size))
        std::abort();
    qv::media::AviFileInfo info;
    std::memset(static_cast<void*>(&info), 0x5A, sizeof info);
    CAM_GETAVIINFO(path.c_str(), &info);
    if (info.dwCaps != 0x5A5A5A5Au && std::strcmp(info.szFileType, "AVI") != 0) std::abort();
    return 0;
}

QV_FUZZ_SEEDS(TrelmFiles) {
    using namespace mediatest;
    Bytes wave;
    size_t riff = wave.begin("RIFF", "WAVE");
    wave.chunk("fmt ", pcmFormat(1, 8000, 16));
    wave.chunk("data", std::vector<uint8_t>(20, 3));
    wave.end(riff);
    TestStream video;
    video.format = bitmapFormat(2, 2, 24);
    video.chunks.assign(2, rawFrame(2, 2, 24, 1));
    AviLayout layout;
    layout.index = IndexKind::OpenDml;
    return {wave.b, buildAvi({video}, AviLayout{}), buildAvi({video}, layout)};
}
