#include "app/main/CsvOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    buffer_ += basic::CStr(value);
    buffer_ += ',';
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
