// The WAVE reader: any bytes as a file. What it accepts lies inside the file.
#include <cstdlib>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "platform/media/MediaTestFiles.h"
#include "platform/media/WaveFile.h"

QV_FUZZ_TARGET(Wave) {
    const std::string path = qv::fuzz::writeInput("in.wav", data, size);
    qv::media::MediaError e;
    const auto info = qv::media::readWaveInfo(path, e);
    if (info && (info->dataOffset > size || info->dataSize > size - info->dataOffset)) std::abort();
    return 0;
}

QV_FUZZ_SEEDS(Wave) {
    std::vector<qv::fuzz::Bytes> seeds;
    for (size_t extra : {size_t{0}, size_t{2}, size_t{24}}) {
        mediatest::Bytes b;
        size_t riff = b.begin("RIFF", "WAVE");
        b.chunk("LIST", {'I', 'N', 'F', 'O'});
        b.chunk("fmt ", mediatest::pcmFormat(2, 44100, 16, extra));
        b.chunk("data", std::vector<uint8_t>(40, 7));
        b.end(riff);
        seeds.push_back(b.b);
    }
    return seeds;
}
