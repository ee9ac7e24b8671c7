#include "platform/media/AviFile.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace qv::media {

namespace {

constexpr uint32_t kIdx1KeyFrame = 0x10;
constexpr uint32_t kIdx1List = 0x01;
constexpr uint32_t kNotKeyFrameBit = 0x80000000u; // in "ix##" entry sizes
constexpr int kMaxStreams = 100;                  // two decimal digits in chunk ids

// Stream number of a chunk id such as "01dc"; -1 when the id names no stream.
int streamOfChunkId(FourCC id)
{
    auto d0 = static_cast<int>(id & 0xFF) - '0';
    auto d1 = static_cast<int>((id >> 8) & 0xFF) - '0';
    if (d0 < 0 || d0 > 9 || d1 < 0 || d1 > 9)
        return -1;
    return d0 * 10 + d1;
}

// Chunks of a stream that are no frames of it: palette changes ("00pc") are not counted.
int frameStreamOfChunkId(FourCC id)
{
    return (id >> 16) == (fourCC("00pc") >> 16) ? -1 : streamOfChunkId(id);
}

struct Extent {
    uint64_t begin;
    uint64_t end;
};

} // namespace

std::optional<BITMAPINFOHEADER> AviStream::bitmapInfo() const
{
    if (format.size() < kBitmapInfoHeaderSize)
        return std::nullopt;
    return readBitmapInfoHeader(format.data());
}

double AviStream::secondsPerFrame() const
{
    return dwRate == 0 ? 0.0 : static_cast<double>(dwScale) / dwRate;
}

// Reads the headers and builds the per-stream chunk tables.
class AviParser {
public:
    AviParser(const RiffFile& f, MediaError& e) : file_(f), error_(e) {}

    std::shared_ptr<AviFile::Parsed> parse();

private:
    bool fail(MediaErrorKind kind, std::string text)
    {
        error_ = {kind, std::move(text)};
        return false;
    }
    bool readData(const RiffFile::Chunk& c, std::vector<uint8_t>& out)
    {
        out.resize(c.size);
        return file_.read(c.dataOffset(), out.data(), c.size, error_);
    }
    bool parseHeaderList(const RiffFile::Chunk& hdrl);
    bool parseStreamList(const RiffFile::Chunk& strl);
    bool insideMovi(uint64_t headerOffset, uint64_t dataSize) const;
    bool buildFromSuperIndexes();
    bool readStandardIndex(const uint8_t* p, size_t n, int stream, const std::string& where);
    bool buildFromIdx1();
    bool scanMovi(uint64_t begin, uint64_t end, bool inRecord = false);

    const RiffFile& file_;
    MediaError& error_;
    std::shared_ptr<AviFile::Parsed> out_ = std::make_shared<AviFile::Parsed>();
    bool haveMain_ = false;
    std::vector<std::optional<RiffFile::Chunk>> indx_; // per stream
    std::optional<RiffFile::Chunk> idx1_;
    std::vector<Extent> movi_;   // data of each "movi" list (after its type)
    uint64_t firstMoviType_ = 0; // offset of the first "movi" type word, the base of idx1 offsets
    bool extensionParts_ = false;
    uint64_t chunkRefs_ = 0; // chunk references collected from all standard indexes so far
};

std::shared_ptr<AviFile::Parsed> AviParser::parse()
{
    uint8_t head[12];
    if (file_.size() < 12 || !file_.read(0, head, 12, error_) || le32(head) != fourCC("RIFF") ||
        le32(head + 8) != fourCC("AVI ")) {
        fail(MediaErrorKind::NotThisFormat, "\"" + file_.path() + "\" is not a RIFF AVI file");
        return nullptr;
    }
    auto riff = file_.chunkAt(0, file_.size(), error_);
    if (!riff)
        return nullptr;
    bool haveHeaders = false;
    bool ok = file_.forEachChunk(riff->listBegin(), riff->dataEnd(),
                                 [&](const RiffFile::Chunk& c) {
                                     if (c.id == fourCC("LIST") && c.form == fourCC("hdrl") && !haveHeaders) {
                                         haveHeaders = true;
                                         return parseHeaderList(c);
                                     }
                                     if (c.id == fourCC("LIST") && c.form == fourCC("movi")) {
                                         if (movi_.empty())
                                             firstMoviType_ = c.dataOffset();
                                         movi_.push_back({c.listBegin(), c.dataEnd()});
                                     } else if (c.id == fourCC("idx1") && !idx1_) {
                                         idx1_ = c;
                                     }
                                     return true;
                                 },
                                 error_);
    if (!ok || error_)
        return nullptr;
    if (!haveHeaders || !haveMain_) {
        fail(MediaErrorKind::NotFound, "no \"hdrl\" list with an \"avih\" header");
        return nullptr;
    }
    if (movi_.empty()) {
        fail(MediaErrorKind::NotFound, "no \"movi\" list");
        return nullptr;
    }
    // Extension parts of files over 1 GB follow as further RIFF chunks of form "AVIX".
    uint64_t pos = RiffFile::next(*riff, file_.size());
    while (file_.size() - pos >= 12) {
        uint8_t h[12];
        if (!file_.read(pos, h, 12, error_))
            return nullptr;
        if (le32(h) != fourCC("RIFF") || le32(h + 8) != fourCC("AVIX"))
            break; // trailing bytes that are no part of the file's structure
        auto part = file_.chunkAt(pos, file_.size(), error_);
        if (!part)
            return nullptr;
        auto movi = file_.find(part->listBegin(), part->dataEnd(), fourCC("LIST"), fourCC("movi"), error_);
        if (!movi)
            return nullptr;
        movi_.push_back({movi->listBegin(), movi->dataEnd()});
        extensionParts_ = true;
        pos = RiffFile::next(*part, file_.size());
    }

    bool allHaveSuperIndex = !out_->streams.empty() &&
                             std::all_of(indx_.begin(), indx_.end(), [](const auto& c) { return c.has_value(); });
    if (allHaveSuperIndex) {
        if (!buildFromSuperIndexes())
            return nullptr;
        out_->source = AviIndexSource::OpenDml;
    } else if (idx1_ && !extensionParts_) {
        if (!buildFromIdx1())
            return nullptr;
        out_->source = AviIndexSource::Idx1;
    } else {
        for (const auto& m : movi_)
            if (!scanMovi(m.begin, m.end))
                return nullptr;
        for (auto& s : out_->streams)
            if (!s.chunks.empty())
                s.chunks.front().keyFrame = true;
        out_->source = AviIndexSource::Scan;
    }
    return out_;
}

bool AviParser::parseHeaderList(const RiffFile::Chunk& hdrl)
{
    return file_.forEachChunk(hdrl.listBegin(), hdrl.dataEnd(),
                              [&](const RiffFile::Chunk& c) {
                                  std::vector<uint8_t> d;
                                  if (c.id == fourCC("avih") && !haveMain_) {
                                      if (c.size < 40)
                                          return fail(MediaErrorKind::Inconsistent,
                                                      "the \"avih\" header has only " + std::to_string(c.size) +
                                                          " bytes");
                                      if (!readData(c, d))
                                          return false;
                                      auto& m = out_->main;
                                      uint32_t* f[] = {&m.dwMicroSecPerFrame, &m.dwMaxBytesPerSec,
                                                       &m.dwPaddingGranularity, &m.dwFlags,
                                                       &m.dwTotalFrames, &m.dwInitialFrames,
                                                       &m.dwStreams, &m.dwSuggestedBufferSize,
                                                       &m.dwWidth, &m.dwHeight};
                                      for (size_t i = 0; i < std::size(f); ++i)
                                          *f[i] = le32(d.data() + 4 * i);
                                      haveMain_ = true;
                                  } else if (c.id == fourCC("LIST") && c.form == fourCC("strl")) {
                                      return parseStreamList(c);
                                  } else if (c.id == fourCC("LIST") && c.form == fourCC("odml")) {
                                      MediaError e;
                                      auto dmlh = file_.find(c.listBegin(), c.dataEnd(), fourCC("dmlh"), 0, e);
                                      if (!dmlh && e.kind != MediaErrorKind::NotFound) {
                                          error_ = e;
                                          return false;
                                      }
                                      if (dmlh && dmlh->size >= 4) {
                                          uint8_t b[4];
                                          if (!file_.read(dmlh->dataOffset(), b, 4, error_))
                                              return false;
                                          out_->odmlTotalFrames = le32(b);
                                          out_->hasOdmlHeader = true;
                                      }
                                  }
                                  return true;
                              },
                              error_) &&
           !error_;
}

bool AviParser::parseStreamList(const RiffFile::Chunk& strl)
{
    if (out_->streams.size() >= kMaxStreams)
        return fail(MediaErrorKind::Unsupported, "more than " + std::to_string(kMaxStreams) + " streams");
    AviStream s;
    bool haveHeader = false;
    std::optional<RiffFile::Chunk> indx;
    bool ok = file_.forEachChunk(
        strl.listBegin(), strl.dataEnd(),
        [&](const RiffFile::Chunk& c) {
            std::vector<uint8_t> d;
            if (c.id == fourCC("strh") && !haveHeader) {
                if (c.size < 48)
                    return fail(MediaErrorKind::Inconsistent,
                                "stream header " + std::to_string(out_->streams.size()) + " has only " +
                                    std::to_string(c.size) + " bytes");
                if (!readData(c, d))
                    return false;
                const uint8_t* p = d.data();
                s.fccType = le32(p);
                s.fccHandler = le32(p + 4);
                s.dwFlags = le32(p + 8);
                s.wPriority = le16(p + 12);
                s.wLanguage = le16(p + 14);
                s.dwInitialFrames = le32(p + 16);
                s.dwScale = le32(p + 20);
                s.dwRate = le32(p + 24);
                s.dwStart = le32(p + 28);
                s.dwLength = le32(p + 32);
                s.dwSuggestedBufferSize = le32(p + 36);
                s.dwQuality = le32(p + 40);
                s.dwSampleSize = le32(p + 44);
                haveHeader = true;
            } else if (c.id == fourCC("strf") && s.format.empty()) {
                return readData(c, s.format);
            } else if (c.id == fourCC("strn")) {
                if (!readData(c, d))
                    return false;
                s.name.assign(d.begin(), std::find(d.begin(), d.end(), uint8_t{0}));
            } else if (c.id == fourCC("indx")) {
                indx = c;
            }
            return true;
        },
        error_);
    if (!ok || error_)
        return false;
    if (!haveHeader)
        return fail(MediaErrorKind::Inconsistent,
                    "stream list " + std::to_string(out_->streams.size()) + " has no \"strh\" header");
    if (s.isVideo()) {
        auto bih = s.bitmapInfo();
        if (!bih || bih->biSize < kBitmapInfoHeaderSize || bih->biSize > s.format.size())
            return fail(MediaErrorKind::Inconsistent, "video stream " + std::to_string(out_->streams.size()) +
                                                          " has no valid picture format");
    }
    out_->streams.push_back(std::move(s));
    indx_.push_back(indx);
    return true;
}

bool AviParser::insideMovi(uint64_t headerOffset, uint64_t dataSize) const
{
    return std::any_of(movi_.begin(), movi_.end(), [&](const Extent& m) {
        return headerOffset >= m.begin && headerOffset <= m.end && m.end - headerOffset >= 8 &&
               m.end - headerOffset - 8 >= dataSize;
    });
}

bool AviParser::readStandardIndex(const uint8_t* p, size_t n, int stream, const std::string& where)
{
    if (n < 24)
        return fail(MediaErrorKind::Truncated, where + " is too short for its header");
    uint16_t longsPerEntry = le16(p);
    uint8_t subType = p[2];
    uint8_t type = p[3];
    uint32_t entries = le32(p + 4);
    FourCC chunkId = le32(p + 8);
    uint64_t base = le64(p + 12);
    if (type != 1 || subType != 0 || longsPerEntry != 2)
        return fail(MediaErrorKind::Unsupported, where + " is not a plain chunk index");
    if (streamOfChunkId(chunkId) != stream)
        return fail(MediaErrorKind::Inconsistent, where + " indexes chunks \"" + fourCCText(chunkId) +
                                                      "\", not of stream " + std::to_string(stream));
    if (entries > (n - 24) / 8)
        return fail(MediaErrorKind::Truncated, where + " lists " + std::to_string(entries) +
                                                   " entries but holds only " + std::to_string((n - 24) / 8));
    // Every chunk takes at least its 8-byte header in the file, so a file cannot hold more chunks
    // than that: an index claiming more repeats itself and would only cost memory.
    chunkRefs_ += entries;
    if (chunkRefs_ > file_.size() / 8)
        return fail(MediaErrorKind::Inconsistent, where + " brings the index to " + std::to_string(chunkRefs_) +
                                                      " chunks, more than the file can hold");
    auto& chunks = out_->streams[static_cast<size_t>(stream)].chunks;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = p + 24 + 8 * size_t{i};
        uint32_t rawSize = le32(e + 4);
        AviChunkRef ref{base + le32(e), rawSize & ~kNotKeyFrameBit, (rawSize & kNotKeyFrameBit) == 0};
        if (ref.offset < base || ref.offset < 8 || !insideMovi(ref.offset - 8, ref.size))
            return fail(MediaErrorKind::Inconsistent, where + " entry " + std::to_string(i) +
                                                          " points outside the file's movie data");
        chunks.push_back(ref);
    }
    return true;
}

bool AviParser::buildFromSuperIndexes()
{
    for (size_t s = 0; s < indx_.size(); ++s) {
        std::vector<uint8_t> d;
        if (!readData(*indx_[s], d))
            return false;
        std::string where = "the index of stream " + std::to_string(s);
        if (d.size() < 24)
            return fail(MediaErrorKind::Truncated, where + " is too short for its header");
        uint8_t type = d[3];
        if (type == 1) { // the chunk index itself, without a level above
            if (!readStandardIndex(d.data(), d.size(), static_cast<int>(s), where))
                return false;
            continue;
        }
        uint16_t longsPerEntry = le16(d.data());
        uint32_t entries = le32(d.data() + 4);
        if (type != 0 || longsPerEntry != 4 || d[2] != 0)
            return fail(MediaErrorKind::Unsupported, where + " is of a kind this reader does not know");
        if (entries > (d.size() - 24) / 16)
            return fail(MediaErrorKind::Truncated, where + " lists " + std::to_string(entries) +
                                                       " parts but holds fewer");
        std::set<uint64_t> read; // a part named twice is read once
        for (uint32_t i = 0; i < entries; ++i) {
            uint64_t at = le64(d.data() + 24 + 16 * size_t{i});
            if (!read.insert(at).second)
                continue;
            std::string part = where + ", part " + std::to_string(i);
            auto ix = file_.chunkAt(at, file_.size(), error_);
            if (!ix) {
                error_.text = part + ": " + error_.text;
                return false;
            }
            std::vector<uint8_t> ixData;
            if (!readData(*ix, ixData) ||
                !readStandardIndex(ixData.data(), ixData.size(), static_cast<int>(s), part))
                return false;
        }
    }
    return true;
}

bool AviParser::buildFromIdx1()
{
    std::vector<uint8_t> d;
    if (!readData(*idx1_, d))
        return false;
    size_t n = d.size() / 16;
    const auto& movi = movi_.front();
    // Offsets count from the "movi" type word in most files, from the file start in some.
    std::optional<uint64_t> base;
    for (size_t i = 0; i < n && !base; ++i) {
        const uint8_t* e = d.data() + 16 * i;
        if (le32(e + 4) & kIdx1List)
            continue;
        for (uint64_t candidate : {firstMoviType_, uint64_t{0}}) {
            uint64_t at = candidate + le32(e + 8);
            uint8_t h[4];
            MediaError ignored;
            if (at >= movi.begin && at + 8 <= movi.end && file_.read(at, h, 4, ignored) && le32(h) == le32(e)) {
                base = candidate;
                break;
            }
        }
        if (!base)
            return fail(MediaErrorKind::Inconsistent, "the \"idx1\" index matches no chunk of the movie data");
    }
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* e = d.data() + 16 * i;
        int stream = frameStreamOfChunkId(le32(e));
        uint32_t flags = le32(e + 4);
        if ((flags & kIdx1List) || stream < 0)
            continue;
        if (static_cast<size_t>(stream) >= out_->streams.size())
            return fail(MediaErrorKind::Inconsistent, "\"idx1\" entry " + std::to_string(i) +
                                                          " names stream " + std::to_string(stream) +
                                                          ", which the headers do not declare");
        uint64_t header = *base + le32(e + 8);
        uint32_t size = le32(e + 12);
        if (header < movi.begin || header > movi.end || movi.end - header < 8 || movi.end - header - 8 < size)
            return fail(MediaErrorKind::Inconsistent,
                        "\"idx1\" entry " + std::to_string(i) + " points outside the movie data");
        out_->streams[static_cast<size_t>(stream)].chunks.push_back({header + 8, size, (flags & kIdx1KeyFrame) != 0});
    }
    return true;
}

bool AviParser::scanMovi(uint64_t begin, uint64_t end, bool inRecord)
{
    // "rec " lists group the chunks of one moment; they are not nested, and a file that nests
    // them must not make the walk recurse without bound.
    return file_.forEachChunk(begin, end,
                              [&](const RiffFile::Chunk& c) {
                                  if (c.id == fourCC("LIST"))
                                      return c.form == fourCC("rec ") && !inRecord
                                                 ? scanMovi(c.listBegin(), c.dataEnd(), true)
                                                 : true;
                                  int stream = frameStreamOfChunkId(c.id);
                                  if (stream >= 0 && static_cast<size_t>(stream) < out_->streams.size())
                                      out_->streams[static_cast<size_t>(stream)].chunks.push_back(
                                          {c.dataOffset(), c.size, false});
                                  return true;
                              },
                              error_) &&
           !error_;
}

std::optional<AviFile> AviFile::open(const std::string& path, MediaError& error)
{
    error = {}; // the parser tells failures by a set error
    auto file = RiffFile::open(path, error);
    if (!file)
        return std::nullopt;
    auto parsed = AviParser(*file, error).parse();
    if (!parsed)
        return std::nullopt;
    return AviFile(std::move(*file), std::move(parsed));
}

uint32_t AviFile::totalFrames() const
{
    return parsed_->hasOdmlHeader ? parsed_->odmlTotalFrames : parsed_->main.dwTotalFrames;
}

int AviFile::preferredVideoStream() const
{
    int chosen = -1;
    const auto& s = parsed_->streams;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i].isVideo() && (chosen < 0 || s[i].wPriority < s[static_cast<size_t>(chosen)].wPriority))
            chosen = static_cast<int>(i);
    return chosen;
}

AviFileInfo AviFile::fileInfo() const
{
    const auto& m = parsed_->main;
    AviFileInfo info;
    info.dwMaxBytesPerSec = m.dwMaxBytesPerSec;
    info.dwFlags = m.dwFlags;
    info.dwCaps = kAviCapsCanRead;
    info.dwStreams = static_cast<uint32_t>(parsed_->streams.size());
    info.dwSuggestedBufferSize = m.dwSuggestedBufferSize;
    info.dwWidth = m.dwWidth;
    info.dwHeight = m.dwHeight;
    info.dwScale = m.dwMicroSecPerFrame;
    info.dwRate = 1000000;
    if (info.dwScale == 0) {
        int v = preferredVideoStream();
        if (v >= 0) {
            info.dwScale = parsed_->streams[static_cast<size_t>(v)].dwScale;
            info.dwRate = parsed_->streams[static_cast<size_t>(v)].dwRate;
        }
    }
    // Length of the longest stream in units of dwScale / dwRate, rounded up.
    if (info.dwScale != 0 && info.dwRate != 0) {
        unsigned __int128 longest = 0;
        for (const auto& s : parsed_->streams) {
            if (s.dwRate == 0)
                continue;
            unsigned __int128 num = static_cast<unsigned __int128>(s.dwLength) * s.dwScale * info.dwRate;
            unsigned __int128 den = static_cast<unsigned __int128>(s.dwRate) * info.dwScale;
            longest = std::max(longest, (num + den - 1) / den);
        }
        info.dwLength = static_cast<uint32_t>(std::min<unsigned __int128>(longest, UINT32_MAX));
    }
    std::memcpy(info.szFileType, "AVI", 4);
    return info;
}

size_t AviFile::frameCount(int stream) const
{
    if (stream < 0 || static_cast<size_t>(stream) >= parsed_->streams.size())
        return 0;
    return parsed_->streams[static_cast<size_t>(stream)].chunks.size();
}

bool AviFile::readChunk(int stream, size_t index, std::vector<uint8_t>& out, MediaError& error) const
{
    if (index >= frameCount(stream)) {
        error = {MediaErrorKind::NotFound, "stream " + std::to_string(stream) + " has no chunk " + std::to_string(index)};
        return false;
    }
    const AviChunkRef& ref = parsed_->streams[static_cast<size_t>(stream)].chunks[index];
    uint8_t h[8];
    if (!file_.read(ref.offset - 8, h, 8, error))
        return false;
    if (streamOfChunkId(le32(h)) != stream || le32(h + 4) != ref.size) {
        error = {MediaErrorKind::Inconsistent, "the index names a chunk of " + std::to_string(ref.size) +
                                                   " bytes at offset " + std::to_string(ref.offset - 8) +
                                                   " for stream " + std::to_string(stream) + ", but \"" +
                                                   fourCCText(le32(h)) + "\" of " + std::to_string(le32(h + 4)) +
                                                   " bytes lies there"};
        return false;
    }
    out.resize(ref.size);
    return file_.read(ref.offset, out.data(), ref.size, error);
}

} // namespace qv::media
