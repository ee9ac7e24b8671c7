#pragma once
// Plain files: binary reading at 64-bit offsets and the language's sequential text output
// (Print # / Write #) in CP932 with CR LF line ends. Paths as in Paths.h.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qv::kernel {

// A file open for binary reading (Get # at a byte position).
class BinaryFile {
public:
    BinaryFile() = default;
    explicit BinaryFile(std::string_view path) { open(path); }
    ~BinaryFile();
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    bool open(std::string_view path);
    void close();
    bool isOpen() const noexcept { return fd_ >= 0; }
    std::uint64_t size() const;   // 0 when not open
    // Fills `buffer` from byte `offset`: what lies past the end of the file reads as zeros.
    // Returns the number of bytes that came from the file.
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) const;
    const std::string& error() const noexcept { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

// A file open for binary writing at 64-bit byte positions (Put # at a position), for files that
// are written in place piece by piece. create() makes the file anew: an existing file of that
// name is emptied first.
class BinaryOutputFile {
public:
    BinaryOutputFile() = default;
    ~BinaryOutputFile();
    BinaryOutputFile(const BinaryOutputFile&) = delete;
    BinaryOutputFile& operator=(const BinaryOutputFile&) = delete;

    bool create(std::string_view path);
    bool isOpen() const noexcept { return fd_ >= 0; }
    // Writes all `count` bytes at byte `offset`; false (see error()) when any of them failed.
    bool writeAt(std::uint64_t offset, const void* data, std::size_t count);
    // False when the file could not be closed cleanly (its last bytes may be lost).
    bool close();
    const std::string& error() const noexcept { return error_; }

private:
    int fd_ = -1;
    std::string file_;
    std::string error_;
};

// Reads a whole file's bytes. False (and `out` empty) when it cannot be read.
bool readFileBytes(std::string_view path, std::string& out);
// Reads a whole text file as this system stores text (CP932, or UTF-8 after a byte-order mark).
bool readTextFile(std::string_view path, std::string& utf8Out);

// One field of the Write # form: texts are written in double quotes (a quote inside is written as
// it is, not doubled), numbers as the text the caller formatted (CStr).
struct WriteField {
    std::string text;
    bool quoted = true;
    static WriteField str(std::string_view s) { return {std::string(s), true}; }
    static WriteField num(std::string_view s) { return {std::string(s), false}; }
};
// The line Write # writes for `fields`, without its line end: fields separated by ",".
std::string formatWriteLine(std::span<const WriteField> fields);

// A file open for sequential text output: Open ... For Output (create or truncate) or For Append
// (created when missing). Lines are given in UTF-8 and written as CP932 + CR LF.
class TextFileWriter {
public:
    enum class Mode { Output, Append };
    TextFileWriter() = default;
    TextFileWriter(std::string_view path, Mode mode) { open(path, mode); }
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    bool open(std::string_view path, Mode mode);
    bool isOpen() const noexcept { return fd_ >= 0; }
    bool printLine(std::string_view utf8);                   // Print #: the text, CR LF
    bool writeLine(std::span<const WriteField> fields);      // Write #: quoted fields, CR LF
    bool close();                                            // false when a write failed
    const std::string& error() const noexcept { return error_; }

private:
    bool put(std::string_view bytes);
    bool flushBuffer();
    int fd_ = -1;
    std::string path_;
    std::string buffer_;
    std::string error_;
};

// Opens `path` for appending (creating it), writes one Write # line, closes. For daily logs.
bool appendWriteLine(std::string_view path, std::span<const WriteField> fields);

} // namespace qv::kernel
