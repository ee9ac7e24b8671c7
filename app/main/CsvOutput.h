#pragma once
// One CSV file of the export, written whole or not at all: the text goes into a temporary file
// beside the target and replaces the target only when commit() succeeds, so an export that ends
// by an error or a cancel leaves the previous file of that name as it was. Items are written as
// the export's format has them: texts in double quotes (CP932), whole numbers in decimal, 32-bit
// floats as CStr writes them ("." always), each item of an item-built line followed by ",",
// lines ended by CR LF.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class CsvOutput {
public:
    // Creates the temporary file in the folder of `path` (a Linux path). A folder that cannot
    // take it raises run-time error 75 (76 when the folder is missing, 61 when the disk is full).
    explicit CsvOutput(std::string path);
    // Discards the temporary file unless the output was committed.
    ~CsvOutput();
    CsvOutput(const CsvOutput&) = delete;
    CsvOutput& operator=(const CsvOutput&) = delete;

    // Items of an item-built line, each followed by ",".
    void text(std::string_view utf8);
    void number(int64_t value);
    void number(float value);
    void endLine();
    // A line written whole: one quoted text, or two separated by ",", no trailing comma.
    void line(std::string_view utf8);
    void line(std::string_view first, std::string_view second);
    void emptyLine();

    // Writes what is left, syncs it and puts the file in place of `path`. Errors as for the
    // constructor; a target that cannot be replaced (a folder of that name, a busy file) is
    // error 70.
    void commit();

    const std::string& path() const { return path_; }

private:
    void quoted(std::string_view utf8);
    void flushIfFull();
    void flush();

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
    std::string buffer_;
};

// Appends the text CStr gives for x (7 significant digits, "."), without its allocations.
void AppendCStr(std::string& out, float x);

// The file `name` in the process's working folder, where the export writes.
std::string CurrentFolderFile(const std::string& name);

}  // namespace qv
