#pragma once

#include "platform/media/MediaError.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qv::media {

// A RIFF file opened for reading. Every chunk it hands out has been checked to lie inside its
// parent and inside the file, so callers can read a chunk's data without further bounds checks.
// Copies share the open file; reads are positional, so copies do not disturb each other.
class RiffFile {
public:
    struct Chunk {
        FourCC id = 0;
        uint32_t size = 0;    // data bytes, as the header says
        uint64_t offset = 0;  // file offset of the 8-byte header
        FourCC form = 0;      // form or list type of "RIFF" and "LIST" chunks, else 0

        uint64_t dataOffset() const { return offset + 8; }
        uint64_t dataEnd() const { return dataOffset() + size; }
        // First byte after the list type of a "RIFF" or "LIST" chunk.
        uint64_t listBegin() const { return dataOffset() + 4; }
        bool isList() const { return form != 0; }
    };

    // path: a Linux path or one of the system's drive paths ("C:\\DATA\\A.AVI").
    static std::optional<RiffFile> open(const std::string& path, MediaError& error);

    uint64_t size() const { return size_; }
    const std::string& path() const { return path_; }

    // Reads exactly n bytes at offset; a read past the end of the file is Truncated.
    bool read(uint64_t offset, void* dst, size_t n, MediaError& error) const;

    // The chunk whose header starts at offset and which must end by limit (its parent's end).
    std::optional<Chunk> chunkAt(uint64_t offset, uint64_t limit, MediaError& error) const;

    // Offset of the chunk that follows c, its pad byte skipped; a pad byte missing at the very end
    // of the parent is tolerated.
    static uint64_t next(const Chunk& c, uint64_t limit);

    // Visits the chunks laid one after another in [begin, end). The visitor returns false to stop.
    // Fewer than 8 bytes left at the end are slack, not a chunk. Returns false on a bad chunk.
    bool forEachChunk(uint64_t begin, uint64_t end, const std::function<bool(const Chunk&)>& visit,
                      MediaError& error) const;

    // Searches forward from begin for a chunk with this id (and this form, when form != 0).
    // Not found is a NotFound error naming the chunk.
    std::optional<Chunk> find(uint64_t begin, uint64_t end, FourCC id, FourCC form,
                              MediaError& error) const;

private:
    struct Handle;
    std::shared_ptr<Handle> handle_;
    uint64_t size_ = 0;
    std::string path_;
};

// Little-endian field access into chunk data already read into memory.
inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t le64(const uint8_t* p)
{
    return static_cast<uint64_t>(le32(p)) | static_cast<uint64_t>(le32(p + 4)) << 32;
}
inline void put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace qv::media
