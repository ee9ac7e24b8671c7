// The data-shift tool: one channel of the loaded recording's data file moved forward or
// backward by a number of scans. The new file is written beside the old one and renamed over
// it, so the data file is always either the old one or the shifted one, never half of each,
// and its length never changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/modFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Paths.h"

namespace qv {

namespace {

// Scans a block holds: at 32 channels 4 MiB, few enough passes that the messages the window
// lets run between blocks cost nothing, small enough to stay in memory.
constexpr int64_t kBlockScans = 65536;

// The whole number a box's text starts with (rounded, halves to even), or nothing when it lies
// beyond the 32-bit range.
std::optional<int32_t> wholeNumberOf(const std::string& text) {
    double v = 0;
    try {
        v = basic::Val(text);
    } catch (const basic::RuntimeError&) {
        return std::nullopt;
    }
    if (!(v > -2147483648.5 && v < 2147483647.5)) return std::nullopt;
    return basic::CLng(v);
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // Closes now and reports whether the close itself succeeded (a late write error shows there).
    bool close() {
        const int r = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return r == 0;
    }

private:
    int fd_;
};

// Moves `count` bytes at `offset` with pread or pwrite, however many calls it takes; false on
// an error or an early end of the file.
template <class Op, class Ptr>
bool transferAll(Op op, int fd, Ptr buffer, size_t count, uint64_t offset) {
    using Byte = std::conditional_t<std::is_const_v<std::remove_pointer_t<Ptr>>, const char, char>;
    auto* p = static_cast<Byte*>(buffer);
    while (count > 0) {
        const ssize_t r = op(fd, p, count, static_cast<off_t>(offset));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        count -= static_cast<size_t>(r);
        offset += static_cast<uint64_t>(r);
    }
    return true;
}

bool readAll(int fd, void* buffer, size_t count, uint64_t offset) {
    return transferAll(::pread, fd, buffer, count, offset);
}
bool writeAll(int fd, const void* buffer, size_t count, uint64_t offset) {
    return transferAll(::pwrite, fd, buffer, count, offset);
}

// The shifted copy of `path` (wCh words a scan, `total` scans, channel c moved by n scans),
// renamed over it. "" on success, otherwise why nothing was changed. `perBlock` runs after
// each block of scans.
std::string shiftChannelFile(const std::string& path, const std::string& shownName, int32_t wCh,
                             int32_t total, int32_t c, int32_t n,
                             const std::function<void()>& perBlock) {
    const std::string name = "データファイル " + shownName;
    Fd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return name + " を読み込めません。";
    // A file without write permission is read-only even for a user the system would let write.
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)
        return name + " は読み取り専用のため、ずらせません。";
    const uint64_t scanBytes = 2u * static_cast<uint64_t>(wCh);
    const uint64_t needed = scanBytes * static_cast<uint64_t>(total);
    const auto size = static_cast<uint64_t>(st.st_size);
    if (size < needed)
        return name + " が短すぎます (" + std::to_string(size) + " バイト、" +
               std::to_string(needed) + " バイト必要)。";

    const std::filesystem::path target(path);
    std::string tmpl = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    Fd out(::mkstemp(tmpl.data()));
    if (out.get() < 0) return name + " の一時ファイルを作れません。";
    // The temporary file goes on every way out but the rename, an error escaping from the
    // messages run between blocks included.
    struct RemoveUnlessRenamed {
        const std::string& path;
        bool renamed = false;
        ~RemoveUnlessRenamed() {
            if (!renamed) ::unlink(path.c_str());
        }
    } temporary{tmpl};
    ::fchmod(out.get(), st.st_mode & 07777);

    // Scan k of channel c takes the old scan src(k): n > 0 repeats the first sample before the
    // delayed run, n < 0 repeats the last after the advanced one; src never decreases and grows
    // by at most one a scan, so a block's sources are one run no longer than the block.
    const auto src = [&](int64_t k) -> int64_t {
        if (n > 0) return std::max<int64_t>(0, k - n);
        return std::min<int64_t>(total - 1, k - n);
    };
    const size_t words = static_cast<size_t>(wCh);
    std::vector<int16_t> block, from;
    for (int64_t k0 = 0; k0 < total; k0 += kBlockScans) {
        const int64_t k1 = std::min<int64_t>(total, k0 + kBlockScans);
        const int64_t s0 = src(k0), s1 = src(k1 - 1);
        block.resize(static_cast<size_t>(k1 - k0) * words);
        from.resize(static_cast<size_t>(s1 - s0 + 1) * words);
        if (!readAll(in.get(), block.data(), block.size() * 2, static_cast<uint64_t>(k0) * scanBytes) ||
            !readAll(in.get(), from.data(), from.size() * 2, static_cast<uint64_t>(s0) * scanBytes))
            return name + " を読み込めません。";
        for (int64_t k = k0; k < k1; ++k)
            block[static_cast<size_t>(k - k0) * words + static_cast<size_t>(c)] =
                from[static_cast<size_t>(src(k) - s0) * words + static_cast<size_t>(c)];
        if (!writeAll(out.get(), block.data(), block.size() * 2, static_cast<uint64_t>(k0) * scanBytes))
            return name + " の一時ファイルに書き込めません。";
        perBlock();
    }
    // Bytes past the recording's scans stay as they are.
    std::vector<char> tail(1 << 20);
    for (uint64_t at = needed; at < size;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(tail.size(), size - at));
        if (!readAll(in.get(), tail.data(), count, at)) return name + " を読み込めません。";
        if (!writeAll(out.get(), tail.data(), count, at))
            return name + " の一時ファイルに書き込めません。";
        at += count;
    }
    if (::fsync(out.get()) != 0 || !out.close()) return name + " の一時ファイルに書き込めません。";
    if (::rename(tmpl.c_str(), path.c_str()) != 0) return name + " を置き換えられません。";
    temporary.renamed = true;
    const Fd dir(::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return "";
}

}  // namespace

void Acqisition::cmdずらす_Click() {
    if (bInDataShift) return;
    RaisedFlag running(bInDataShift);
    const auto refuse = [](const std::string& why) { forms::MsgBox(why, forms::vbExclamation); };
    const int32_t wCh = GAcqParam.wCh;
    const int32_t total = GAcqParam.PTotal;
    if (!IsDataLoaded() || GstrKdatFile.empty() || wCh <= 0)
        return refuse("データが読み込まれていません。");
    const std::optional<int32_t> c = wholeNumberOf(txtずらすCHNo.Text());
    if (!c || *c < 0 || *c >= wCh)
        return refuse("ずらすCH番号は 0 から " + basic::CStr(wCh - 1) + " の範囲で指定してください。");
    const std::optional<int32_t> n = wholeNumberOf(txtずらすPointNum.Text());
    if (!n || *n <= -total || *n >= total)
        return refuse("ずらすポイント数は " + basic::CStr(-(total - 1)) + " から " +
                      basic::CStr(total - 1) + " の範囲で指定してください。");
    const std::string found = FindFile(GstrKdatFile, true);
    if (found.empty()) return refuse("データファイル " + GstrKdatFile + " が見つかりません。");

    std::string why;
    {
        EnableOnExit window(*this);
        why = shiftChannelFile(kernel::toLinuxPath(found), GstrKdatFile, wCh, total, *c, *n,
                               [] { forms::DoEvents(); });
    }
    if (!why.empty()) refuse(why);
}

}  // namespace qv
