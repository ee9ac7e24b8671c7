#include "app/main/CsvOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <charconv>
#include <filesystem>

#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/kernel/Encoding.h"

namespace qv {

namespace {

// The buffer is written out in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 20;

constexpr int kErrDiskFull = 61;
constexpr int kErrInUse = 70;
constexpr int kErrAccess = 75;
constexpr int kErrPathNotFound = 76;

[[noreturn]] void raiseFor(int error, const std::string& path) {
    if (error == ENOSPC || error == EDQUOT) basic::raiseError(kErrDiskFull, "Disk full: " + path);
    if (error == ENOENT || error == ENOTDIR) basic::raiseError(kErrPathNotFound, "Path not found: " + path);
    basic::raiseError(kErrAccess, "Path/File access error: " + path);
}

}  // namespace

std::string CurrentFolderFile(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (ec) basic::raiseError(kErrPathNotFound, "Path not found: " + name);
    return (here / name).string();
}

CsvOutput::CsvOutput(std::string path) : path_(std::move(path)) {
    const std::filesystem::path target(path_);
    temp_ = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) raiseFor(errno, path_);
    // mkostemp makes the file private; an export is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd_, 0666 & ~mask);
    buffer_.reserve(kFlushBytes + 4096);
}

CsvOutput::~CsvOutput() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
}

void CsvOutput::quoted(std::string_view utf8) {
    buffer_ += '"';
    // Plain ASCII, the common case, needs no conversion.
    bool ascii = true;
    for (unsigned char c : utf8) ascii &= c < 0x80;
    buffer_ += ascii ? std::string(utf8) : kernel::utf8ToCp932(utf8);
    buffer_ += '"';
}

void CsvOutput::text(std::string_view utf8) {
    quoted(utf8);
    buffer_ += ',';
}

void CsvOutput::number(int64_t value) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    (void)ec;
    buffer_.append(digits, end);
    buffer_ += ',';
}

void CsvOutput::number(float value) {
    AppendCStr(buffer_, value);
    buffer_ += ',';
}

void AppendCStr(std::string& out, float x) {
    // A float scaled by 10^k, k <= 12, is exact in a double (24 bits of mantissa times 5^k
    // fit 53 bits), so rounding it to a whole number rounds the float's exact value, half to
    // even, as CStr does. Values outside 1E-4 .. 1E7 and non-finite ones take CStr itself.
    const double a = std::fabs(static_cast<double>(x));
    if (a == 0) {
        out += '0';
        return;
    }
    if (!(a >= 1e-4 && a < 1e7)) {
        out += basic::CStr(x);
        return;
    }
    static constexpr double kPow10[] = {1,   1e1, 1e2, 1e3, 1e4,  1e5,  1e6,
                                        1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    int e = 6;  // decimal exponent of a: 10^e <= a < 10^(e+1)
    while (e > -4 && a < (e >= 0 ? kPow10[e] : 1.0 / kPow10[-e])) --e;
    double scaled = std::nearbyint(a * kPow10[6 - e]);
    if (scaled == 1e7 && e < 6) {  // rounded up to the next power of ten
        scaled = 1e6;
        ++e;
    }
    if (scaled < 1e6 || scaled >= 1e7) {  // a power of ten met on the edge: leave it to CStr
        out += basic::CStr(x);
        return;
    }
    char digits[8];
    auto n = static_cast<int32_t>(scaled);
    for (int i = 6; i >= 0; --i, n /= 10) digits[i] = static_cast<char>('0' + n % 10);
    int length = 7;
    while (length > 1 && digits[length - 1] == '0') --length;
    if (std::signbit(x)) out += '-';
    if (e < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-e - 1), '0');
        out.append(digits, static_cast<size_t>(length));
    } else if (length <= e + 1) {
        out.append(digits, static_cast<size_t>(length));
        out.append(static_cast<size_t>(e + 1 - length), '0');
    } else {
        out.append(digits, static_cast<size_t>(e + 1));
        out += '.';
        out.append(digits + e + 1, static_cast<size_t>(length - e - 1));
    }
}

void CsvOutput::endLine() {
    buffer_ += "\r\n";
    flushIfFull();
}

void CsvOutput::line(std::string_view utf8) {
    quoted(utf8);
    endLine();
}

void CsvOutput::line(std::string_view first, std::string_view second) {
    quoted(first);
    buffer_ += ',';
    quoted(second);
    endLine();
}

void CsvOutput::emptyLine() { endLine(); }

void CsvOutput::flushIfFull() {
    if (buffer_.size() >= kFlushBytes) flush();
}

void CsvOutput::flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) raiseFor(n < 0 ? errno : ENOSPC, path_);
        done += static_cast<size_t>(n);
    }
    buffer_.clear();
}

void CsvOutput::commit() {
    flush();
    if (::fsync(fd_) != 0) raiseFor(errno, path_);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) raiseFor(errno, path_);
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        if (error == EISDIR || error == EBUSY || error == ETXTBSY || error == EACCES || error == EPERM)
            basic::raiseError(kErrInUse, "Permission denied: " + path_);
        raiseFor(error, path_);
    }
    committed_ = true;
}

}  // namespace qv
