#include "MediaTestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

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

} // namespace mediatest
