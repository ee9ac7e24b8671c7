#include "MediaTestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace mediatest {

namespace {

std::string chunkId(size_t stream, const char* twoCC)
{
    std::string id;
    id += static_cast<char>('0' + stream / 10);
    id += static_cast<char>('0' + stream % 10);
    id += twoCC;
    return id;
}

struct Placed {
    size_t stream;
    uint64_t header; // offset of the chunk header
    uint32_t size;
};

} // namespace

std::vector<uint8_t> buildAvi(const std::vector<TestStream>& streams, const AviLayout& layout)
{
    Bytes o;
    size_t maxChunks = 0;
    for (const auto& s : streams)
        maxChunks = std::max(maxChunks, s.chunks.size());
    bool odml = layout.index == IndexKind::OpenDml;
    size_t firstPartSteps = odml ? (maxChunks + 1) / 2 : maxChunks;

    size_t riff = o.begin("RIFF", "AVI ");
    size_t hdrl = o.begin("LIST", "hdrl");
    size_t avih = o.begin("avih");
    o.u32(layout.microSecPerFrame);
    o.u32(1000000); // max bytes per second
    o.u32(0);
    o.u32(0x10);    // has index
    o.u32(static_cast<uint32_t>(firstPartSteps));
    o.u32(0);
    o.u32(static_cast<uint32_t>(streams.size()));
    o.u32(0x10000);
    o.u32(layout.width);
    o.u32(layout.height);
    for (int i = 0; i < 4; ++i)
        o.u32(0);
    o.end(avih);
    std::vector<size_t> superIndexEntries; // per stream: offset of its first super index entry
    for (size_t si = 0; si < streams.size(); ++si) {
        const auto& s = streams[si];
        size_t strl = o.begin("LIST", "strl");
        size_t strh = o.begin("strh");
        o.fcc(s.type);
        o.u32(0); // handler
        o.u32(0);
        o.u16(s.priority);
        o.u16(0);
        o.u32(0);
        o.u32(s.scale);
        o.u32(s.rate);
        o.u32(0);
        o.u32(s.length ? *s.length : static_cast<uint32_t>(s.chunks.size()));
        o.u32(0x10000);
        o.u32(0xFFFFFFFFu);
        o.u32(0);
        for (int i = 0; i < 4; ++i)
            o.u16(0);
        o.end(strh);
        o.chunk("strf", s.format);
        if (!s.name.empty()) {
            std::vector<uint8_t> n(s.name.begin(), s.name.end());
            n.push_back(0);
            o.chunk("strn", n);
        }
        if (odml) {
            size_t indx = o.begin("indx");
            o.u16(4);
            o.u8(0);
            o.u8(0);
            o.u32(2);
            o.fcc(chunkId(si, s.twoCC).c_str());
            o.u32(0), o.u32(0), o.u32(0);
            superIndexEntries.push_back(o.b.size());
            for (int part = 0; part < 2; ++part)
                o.u64(0), o.u32(0), o.u32(0);
            o.end(indx);
        }
        o.end(strl);
    }
    if (odml) {
        size_t list = o.begin("LIST", "odml");
        size_t dmlh = o.begin("dmlh");
        o.u32(static_cast<uint32_t>(maxChunks));
        o.end(dmlh);
        o.end(list);
    }
    o.end(hdrl);

    std::vector<Placed> placed;
    uint64_t firstMoviType = 0;
    auto writeMovi = [&](size_t fromStep, size_t toStep, int part) {
        size_t movi = o.begin("LIST", "movi");
        uint64_t moviType = movi + 4;
        if (part == 0)
            firstMoviType = moviType;
        std::vector<Placed> here;
        for (size_t k = fromStep; k < toStep; ++k) {
            size_t rec = layout.recLists ? o.begin("LIST", "rec ") : 0;
            for (size_t si = 0; si < streams.size(); ++si) {
                if (k >= streams[si].chunks.size())
                    continue;
                Placed p{si, o.b.size(), static_cast<uint32_t>(streams[si].chunks[k].size())};
                o.chunk(chunkId(si, streams[si].twoCC).c_str(), streams[si].chunks[k]);
                here.push_back(p);
            }
            if (layout.recLists)
                o.end(rec);
        }
        if (odml) {
            for (size_t si = 0; si < streams.size(); ++si) {
                uint64_t ixAt = o.b.size();
                std::string id = "ix" + chunkId(si, "").substr(0, 2);
                size_t ix = o.begin(id.c_str());
                auto count = static_cast<uint32_t>(std::count_if(here.begin(), here.end(),
                                                                 [&](const Placed& p) { return p.stream == si; }));
                o.u16(2);
                o.u8(0);
                o.u8(1);
                o.u32(count);
                o.fcc(chunkId(si, streams[si].twoCC).c_str());
                o.u64(moviType);
                o.u32(0);
                for (const auto& p : here)
                    if (p.stream == si) {
                        o.u32(static_cast<uint32_t>(p.header + 8 - moviType));
                        o.u32(p.size);
                    }
                o.end(ix);
                size_t entry = superIndexEntries[si] + 16 * static_cast<size_t>(part);
                o.patch64(entry, ixAt);
                o.patch32(entry + 8, static_cast<uint32_t>(o.b.size() - ixAt));
                o.patch32(entry + 12, count);
            }
        }
        o.end(movi);
        placed.insert(placed.end(), here.begin(), here.end());
    };
    writeMovi(0, firstPartSteps, 0);
    if (layout.index == IndexKind::Idx1Relative || layout.index == IndexKind::Idx1Absolute) {
        size_t idx1 = o.begin("idx1");
        for (const auto& p : placed) {
            o.fcc(chunkId(p.stream, streams[p.stream].twoCC).c_str());
            o.u32(0x10);
            o.u32(static_cast<uint32_t>(layout.index == IndexKind::Idx1Relative ? p.header - firstMoviType : p.header));
            o.u32(p.size);
        }
        o.end(idx1);
    }
    o.end(riff);
    if (odml) {
        size_t avix = o.begin("RIFF", "AVIX");
        writeMovi(firstPartSteps, maxChunks, 1);
        o.end(avix);
    }
    return o.b;
}

std::vector<uint8_t> bitmapFormat(int32_t width, int32_t height, uint16_t bits, const char* compression,
                                  const std::vector<uint32_t>& table)
{
    Bytes o;
    o.u32(40);
    o.u32(static_cast<uint32_t>(width));
    o.u32(static_cast<uint32_t>(height));
    o.u16(1);
    o.u16(bits);
    if (compression)
        o.fcc(compression);
    else
        o.u32(0);
    o.u32(0);
    o.u32(0), o.u32(0);
    o.u32(static_cast<uint32_t>(table.size()));
    o.u32(0);
    for (uint32_t c : table)
        o.u32(c);
    return o.b;
}

uint32_t testColour(int seed, int x, int y)
{
    auto r = static_cast<uint32_t>((seed * 37 + x * 11) & 255);
    auto g = static_cast<uint32_t>((y * 29 + seed * 3) & 255);
    auto b = static_cast<uint32_t>((x * y + seed * 5 + 1) & 255);
    return r << 16 | g << 8 | b;
}

std::vector<uint8_t> rawFrame(int width, int height, int bits, int seed, bool topDown)
{
    size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
    std::vector<uint8_t> f(stride * static_cast<size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            uint32_t c = testColour(seed, x, y);
            uint8_t* p = f.data() + stride * static_cast<size_t>(row) + static_cast<size_t>(x * bits / 8);
            p[0] = static_cast<uint8_t>(c), p[1] = static_cast<uint8_t>(c >> 8), p[2] = static_cast<uint8_t>(c >> 16);
            if (bits == 32)
                p[3] = 0xA5; // the fourth byte carries no colour
        }
    }
    return f;
}

std::vector<uint8_t> pcmFormat(uint16_t channels, uint32_t rate, uint16_t bits, size_t extraBytes)
{
    Bytes o;
    o.u16(1);
    o.u16(channels);
    o.u32(rate);
    uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    o.u32(rate * block);
    o.u16(block);
    o.u16(bits);
    if (extraBytes >= 2) {
        o.u16(static_cast<uint16_t>(extraBytes - 2));
        for (size_t i = 2; i < extraBytes; ++i)
            o.u8(static_cast<uint8_t>(0x40 + i));
    }
    return o.b;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qv_media_XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    std::string p = file(name);
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush())
        throw std::runtime_error("cannot write " + p);
    return p;
}

uint32_t encodedColour(int i, bool top)
{
    if (top)
        return static_cast<uint32_t>((30 + 20 * i) % 256) << 16 | static_cast<uint32_t>((200 - 15 * i) & 255) << 8 | 90;
    return static_cast<uint32_t>((60 + 9 * i) & 255) << 16 | 40 << 8 | static_cast<uint32_t>((220 - 11 * i) & 255);
}

bool writeEncodedAvi(const std::string& path, VideoCoding coding, int frames, int keyFrameInterval)
{
    const AVCodecID codecId = coding == VideoCoding::Mjpeg ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_MPEG4;
    const AVCodec* codec = avcodec_find_encoder(codecId);
    if (!codec)
        return false;
    AVFormatContext* oc = nullptr;
    if (avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str()) < 0)
        return false;
    AVStream* audio = avformat_new_stream(oc, nullptr);
    audio->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    audio->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    audio->codecpar->sample_rate = 8000;
    av_channel_layout_default(&audio->codecpar->ch_layout, 1);
    audio->codecpar->bits_per_coded_sample = 16;
    audio->codecpar->block_align = 2;
    audio->time_base = {1, 8000};

    AVCodecContext* enc = avcodec_alloc_context3(codec);
    const int w = 32, h = 16;
    enc->width = w;
    enc->height = h;
    enc->time_base = {1, 25};
    enc->pix_fmt = codecId == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    enc->gop_size = keyFrameInterval;
    enc->max_b_frames = 0;
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    enc->global_quality = FF_QP2LAMBDA * 2;
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    bool ok = avcodec_open2(enc, codec, nullptr) >= 0;
    AVStream* video = avformat_new_stream(oc, nullptr);
    ok = ok && avcodec_parameters_from_context(video->codecpar, enc) >= 0;
    video->time_base = enc->time_base;
    ok = ok && avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(oc, nullptr) >= 0;

    AVFrame* frame = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    frame->format = enc->pix_fmt;
    frame->width = w;
    frame->height = h;
    ok = ok && av_frame_get_buffer(frame, 0) >= 0;
    auto drain = [&]() {
        while (avcodec_receive_packet(enc, pkt) == 0) {
            av_packet_rescale_ts(pkt, enc->time_base, video->time_base);
            pkt->stream_index = video->index;
            ok = ok && av_interleaved_write_frame(oc, pkt) >= 0;
        }
    };
    for (int i = 0; ok && i < frames; ++i) {
        AVPacket* a = av_packet_alloc();
        av_new_packet(a, 640);
        std::memset(a->data, 0, 640);
        a->stream_index = audio->index;
        a->pts = a->dts = av_rescale_q(i * 320, {1, 8000}, audio->time_base);
        a->duration = 320;
        ok = av_interleaved_write_frame(oc, a) >= 0;
        av_packet_free(&a);

        // Top half and bottom half differ, so a picture upside down is caught.
        ok = ok && av_frame_make_writable(frame) >= 0;
        for (int half = 0; half < 2; ++half) {
            uint32_t c = encodedColour(i, half == 0);
            double r = c >> 16, g = (c >> 8) & 255, b = c & 255;
            auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
            double yv = 0.299 * r + 0.587 * g + 0.114 * b;
            double cb = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b;
            double cr = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b;
            if (codecId != AV_CODEC_ID_MJPEG) { // limited range
                yv = 16 + yv * 219 / 255;
                cb = 128 + (cb - 128) * 224 / 255;
                cr = 128 + (cr - 128) * 224 / 255;
            }
            for (int y = half * h / 2; y < (half + 1) * h / 2; ++y)
                std::memset(frame->data[0] + y * frame->linesize[0], clamp(yv), static_cast<size_t>(w));
            for (int y = half * h / 4; y < (half + 1) * h / 4; ++y) {
                std::memset(frame->data[1] + y * frame->linesize[1], clamp(cb), static_cast<size_t>(w / 2));
                std::memset(frame->data[2] + y * frame->linesize[2], clamp(cr), static_cast<size_t>(w / 2));
            }
        }
        frame->pts = i;
        ok = ok && avcodec_send_frame(enc, frame) >= 0;
        drain();
    }
    avcodec_send_frame(enc, nullptr);
    drain();
    ok = ok && av_write_trailer(oc) >= 0;
    av_packet_free(&pkt);
    av_frame_free(&frame);
    avcodec_free_context(&enc);
    avio_closep(&oc->pb);
    avformat_free_context(oc);
    return ok;
}

} // namespace mediatest
