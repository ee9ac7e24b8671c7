#include "platform/media/RiffFile.h"

#include "platform/kernel/Paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::media {

std::string fourCCText(FourCC code)
{
    std::string s;
    for (int i = 0; i < 4; ++i) {
        auto c = static_cast<unsigned char>(code >> (8 * i));
        if (c >= 0x20 && c < 0x7f) {
            s += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            s += "\\x";
            s += hex[c >> 4];
            s += hex[c & 15];
        }
    }
    return s;
}

struct RiffFile::Handle {
    int fd = -1;
    ~Handle()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::optional<RiffFile> RiffFile::open(const std::string& path, MediaError& error)
{
    error = {};
    auto h = std::make_shared<Handle>();
    // The system names its files with drive paths; Linux paths pass through unchanged.
    std::string mapped = kernel::toLinuxPath(path);
    h->fd = ::open(mapped.c_str(), O_RDONLY | O_CLOEXEC);
    if (h->fd < 0) {
        error = {MediaErrorKind::CannotOpen, "cannot open \"" + path + "\": " + std::strerror(errno)};
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(h->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = {MediaErrorKind::CannotOpen, "\"" + path + "\" is not a regular file"};
        return std::nullopt;
    }
    RiffFile f;
    f.handle_ = std::move(h);
    f.size_ = static_cast<uint64_t>(st.st_size);
    f.path_ = path;
    return f;
}

bool RiffFile::read(uint64_t offset, void* dst, size_t n, MediaError& error) const
{
    if (offset > size_ || n > size_ - offset) {
        error = {MediaErrorKind::Truncated, "reading " + std::to_string(n) + " bytes at offset " +
                                                std::to_string(offset) + " runs past the end of the " +
                                                std::to_string(size_) + "-byte file"};
        return false;
    }
    auto* out = static_cast<uint8_t*>(dst);
    size_t done = 0;
    while (done < n) {
        ssize_t got = ::pread(handle_->fd, out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = {MediaErrorKind::ReadFailed,
                     "read error at offset " + std::to_string(offset + done) + ": " +
                         (got < 0 ? std::strerror(errno) : "unexpected end of file")};
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

std::optional<RiffFile::Chunk> RiffFile::chunkAt(uint64_t offset, uint64_t limit, MediaError& error) const
{
    if (limit > size_)
        limit = size_;
    if (offset > limit || limit - offset < 8) {
        error = {MediaErrorKind::Truncated,
                 "no room for a chunk header at offset " + std::to_string(offset)};
        return std::nullopt;
    }
    uint8_t h[12];
    if (!read(offset, h, 8, error))
        return std::nullopt;
    Chunk c;
    c.id = le32(h);
    c.size = le32(h + 4);
    c.offset = offset;
    if (c.size > limit - offset - 8) {
        error = {MediaErrorKind::Truncated,
                 "chunk \"" + fourCCText(c.id) + "\" at offset " + std::to_string(offset) + " claims " +
                     std::to_string(c.size) + " bytes, but only " + std::to_string(limit - offset - 8) +
                     " remain in its parent"};
        return std::nullopt;
    }
    if (c.id == fourCC("RIFF") || c.id == fourCC("LIST")) {
        if (c.size < 4) {
            error = {MediaErrorKind::Inconsistent, "list chunk at offset " + std::to_string(offset) +
                                                       " is too small to hold its type"};
            return std::nullopt;
        }
        if (!read(offset + 8, h + 8, 4, error))
            return std::nullopt;
        c.form = le32(h + 8);
    }
    return c;
}

uint64_t RiffFile::next(const Chunk& c, uint64_t limit)
{
    uint64_t n = c.dataEnd() + (c.size & 1u);
    return n > limit ? limit : n;
}

bool RiffFile::forEachChunk(uint64_t begin, uint64_t end, const std::function<bool(const Chunk&)>& visit,
                            MediaError& error) const
{
    uint64_t pos = begin;
    while (pos < end && end - pos >= 8) {
        auto c = chunkAt(pos, end, error);
        if (!c)
            return false;
        if (!visit(*c))
            return true;
        pos = next(*c, end);
    }
    return true;
}

std::optional<RiffFile::Chunk> RiffFile::find(uint64_t begin, uint64_t end, FourCC id, FourCC form,
                                              MediaError& error) const
{
    std::optional<Chunk> found;
    if (!forEachChunk(begin, end,
                      [&](const Chunk& c) {
                          if (c.id == id && (form == 0 || c.form == form))
                              found = c;
                          return !found;
                      },
                      error))
        return std::nullopt;
    if (!found) {
        std::string what = fourCCText(id);
        if (form != 0)
            what += " " + fourCCText(form);
        error = {MediaErrorKind::NotFound, "no \"" + what + "\" chunk found after offset " +
                                               std::to_string(begin)};
    }
    return found;
}

} // namespace qv::media
