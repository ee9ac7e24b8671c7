#include "platform/kernel/Files.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::kernel {
namespace {

std::string describe(const char* what, const std::string& file) {
    return std::string(what) + " " + file + ": " + std::strerror(errno);
}

int openFile(const std::string& file, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(file.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

BinaryFile::~BinaryFile() { close(); }

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_), error_(std::move(other.error_)) {
    other.fd_ = -1;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        error_ = std::move(other.error_);
        other.fd_ = -1;
    }
    return *this;
}

bool BinaryFile::open(std::string_view path) {
    close();
    std::string file = toLinuxPath(path);
    fd_ = file.empty() ? -1 : openFile(file, O_RDONLY);
    if (fd_ < 0) error_ = file.empty() ? "no file given" : describe("cannot open", file);
    else error_.clear();
    return fd_ >= 0;
}

void BinaryFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::uint64_t BinaryFile::size() const {
    struct stat st{};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t BinaryFile::readAt(std::uint64_t offset, void* buffer, std::size_t count) const {
    if (count == 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (fd_ >= 0 && done < count) {
        std::uint64_t at = offset + done;
        if (at > static_cast<std::uint64_t>(INT64_MAX)) break;
        ssize_t n = ::pread(fd_, out + done, count - done, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    // Only what the file did not give is cleared: one pass over the buffer, not two.
    std::memset(out + done, 0, count - done);
    return done;
}

BinaryOutputFile::~BinaryOutputFile() { close(); }

bool BinaryOutputFile::create(std::string_view path) {
    close();
    error_.clear();
    file_ = toLinuxPath(path);
    if (file_.empty()) {
        error_ = "no file given";
        return false;
    }
    fd_ = openFile(file_, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd_ < 0) error_ = describe("cannot create", file_);
    return fd_ >= 0;
}

bool BinaryOutputFile::writeAt(std::uint64_t offset, const void* data, std::size_t count) {
    if (fd_ < 0) {
        error_ = "no file open";
        return false;
    }
    const auto* in = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const std::uint64_t at = offset + done;
        if (at > static_cast<std::uint64_t>(INT64_MAX)) {
            errno = EFBIG;
            error_ = describe("cannot write", file_);
            return false;
        }
        ssize_t n = ::pwrite(fd_, in + done, count - done, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            error_ = describe("cannot write", file_);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool BinaryOutputFile::close() {
    if (fd_ < 0) return true;
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0 && errno != EINTR) {
        error_ = describe("cannot close", file_);
        return false;
    }
    return true;
}

bool readFileBytes(std::string_view path, std::string& out) {
    out.clear();
    BinaryFile f(path);
    if (!f.isOpen()) return false;
    std::uint64_t size = f.size();
    out.resize(static_cast<std::size_t>(size));
    std::size_t got = f.readAt(0, out.data(), out.size());
    out.resize(got);
    return got == size;
}

bool readTextFile(std::string_view path, std::string& utf8Out) {
    std::string bytes;
    bool ok = readFileBytes(path, bytes);
    utf8Out = ok ? decodeFileText(bytes) : std::string();
    return ok;
}

std::string formatWriteLine(std::span<const WriteField> fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        if (fields[i].quoted) line += '"';
        line += fields[i].text;
        if (fields[i].quoted) line += '"';
    }
    return line;
}

TextFileWriter::~TextFileWriter() { close(); }

bool TextFileWriter::open(std::string_view path, Mode mode) {
    close();
    error_.clear();
    std::string file = toLinuxPath(path);
    if (file.empty()) {
        error_ = "no file given";
        return false;
    }
    int flags = O_WRONLY | O_CREAT | (mode == Mode::Append ? O_APPEND : O_TRUNC);
    path_ = file;
    fd_ = openFile(file, flags, 0666);
    if (fd_ < 0) error_ = describe("cannot open", file);
    return fd_ >= 0;
}

bool TextFileWriter::flushBuffer() {
    std::string_view rest(buffer_);
    while (!rest.empty()) {
        ssize_t n = ::write(fd_, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error_.empty()) error_ = describe("cannot write", path_);
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    buffer_.clear();
    return error_.empty();
}

bool TextFileWriter::put(std::string_view bytes) {
    if (fd_ < 0) {
        if (error_.empty()) error_ = "the file is not open";
        return false;
    }
    buffer_.append(bytes);
    return buffer_.size() < 65536 ? error_.empty() : flushBuffer();
}

bool TextFileWriter::printLine(std::string_view utf8) { return put(utf8ToCp932(utf8) + "\r\n"); }

bool TextFileWriter::writeLine(std::span<const WriteField> fields) { return printLine(formatWriteLine(fields)); }

bool TextFileWriter::close() {
    if (fd_ < 0) return error_.empty();
    flushBuffer();
    if (::close(fd_) != 0 && error_.empty()) error_ = describe("cannot write", path_);
    fd_ = -1;
    return error_.empty();
}

bool appendWriteLine(std::string_view path, std::span<const WriteField> fields) {
    TextFileWriter w(path, TextFileWriter::Mode::Append);
    bool ok = w.writeLine(fields);
    return w.close() && ok;
}

} // namespace qv::kernel
