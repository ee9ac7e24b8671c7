// A channel's samples as one block of a binary file (a 48-byte marker, then little-endian
// floats) at a byte position the caller chooses, and the whole buffer as a CSV dump. The block
// carries no count: the reader is told it by its caller, who places a header and several
// channel blocks one after another.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "app/channel/CWave.h"
#include "app/common/Debug_Array.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Paths.h"

namespace qv {

namespace {

constexpr int64_t kMarkerBytes = 48;
static_assert(std::char_traits<char>::length(CWave::kBlockMarker) == kMarkerBytes);
static_assert(sizeof(float) == 4);

constexpr int errBadRecordNumber = 63;

void requirePosition(int32_t position) {
    if (position < 0) basic::raiseError(errBadRecordNumber, "Bad record number");
}

// Floats in file order (little-endian) from the host's order, and back; the same swap both ways.
void toFileOrder(float* values, size_t n) {
    if constexpr (std::endian::native == std::endian::big) {
        for (size_t i = 0; i < n; ++i) {
            uint32_t u;
            std::memcpy(&u, values + i, 4);
            u = __builtin_bswap32(u);
            std::memcpy(values + i, &u, 4);
        }
    } else {
        (void)values;
        (void)n;
    }
}

// A file opened for writing in place: created when missing, never truncated.
class BlockWriter {
public:
    explicit BlockWriter(const std::string& name) : path_(kernel::toLinuxPath(name)) {
        fd_ = path_.empty() ? -1 : ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) fail(errno == ENOENT ? 76 : 75);
    }
    ~BlockWriter() {
        if (fd_ >= 0) ::close(fd_);
    }
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    void writeAt(int64_t offset, const void* data, size_t bytes) {
        const char* p = static_cast<const char*>(data);
        while (bytes > 0) {
            const ssize_t n = ::pwrite(fd_, p, bytes, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail(errno == ENOSPC ? 61 : 75);
            p += n;
            offset += n;
            bytes -= static_cast<size_t>(n);
        }
    }
    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail(75);
    }

private:
    [[noreturn]] void fail(int number) {
        basic::raiseError(number, basic::defaultDescription(number) + ": " + path_ + " (" +
                                      std::strerror(errno) + ")");
    }
    std::string path_;
    int fd_ = -1;
};

}  // namespace

int32_t CWave::SaveWave(const std::string& fileName, int32_t position) {
    if (pTotal_ == 0) return 0;
    const int32_t n = checkedPTotal();
    requirePosition(position);
    // The end position must be representable before anything is written.
    const int32_t end = sum32(position, kMarkerBytes + int64_t{4} * n);
    BlockWriter file(fileName);
    file.writeAt(position, kBlockMarker, kMarkerBytes);
    std::vector<float> scratch(static_cast<size_t>(std::min(n, kDefaultPoints)));
    for (int32_t done = 0; done < n;) {
        const int32_t chunk = std::min(n - done, kDefaultPoints);
        std::copy_n(wave_.begin() + done, chunk, scratch.begin());
        toFileOrder(scratch.data(), static_cast<size_t>(chunk));
        file.writeAt(position + kMarkerBytes + int64_t{4} * done, scratch.data(),
                     static_cast<size_t>(chunk) * 4);
        done += chunk;
    }
    file.close();
    return end;
}

int32_t CWave::LoadWave(const std::string& fileName, int32_t count, int32_t position) {
    requirePosition(position);
    // Opened before the buffer is touched, so a missing file costs no data.
    kernel::BinaryFile file;
    if (!file.open(fileName))
        basic::raiseError(basic::errFileNotFound,
                          basic::defaultDescription(basic::errFileNotFound) + ": " + fileName);
    if (sweepPoint_ != 0) Allocate(sweepPoint_);
    if (wave_.empty()) basic::raiseError(basic::errSubscript);
    // Consecutive samples into consecutive points, up to the count or the end of the buffer;
    // what the file does not hold reads as 0, a sample cut short by the file's end included.
    const size_t want = static_cast<size_t>(std::clamp<int64_t>(count, 0, ArrayMax()));
    const size_t got =
        file.readAt(static_cast<uint64_t>(position) + kMarkerBytes, wave_.data(), want * 4) / 4;
    std::fill(wave_.begin() + static_cast<std::ptrdiff_t>(got),
              wave_.begin() + static_cast<std::ptrdiff_t>(want), 0.0f);
    toFileOrder(wave_.data(), got);
    const int32_t points = static_cast<int32_t>(got);
    const int32_t end = sum32(position, kMarkerBytes + int64_t{4} * points);
    pTotal_ = points;
    return end;
}

void CWave::WriteCSV(const std::string& name) const {
    if (wave_.empty()) basic::raiseError(basic::errSubscript);
    DumpArrayCsv(std::span<const float>(wave_), name, false, -1);
}

}  // namespace qv
