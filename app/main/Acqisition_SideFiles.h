#pragma once
// The side files the companion programs leave beside a recording's data file, read by the CSV
// export sample by sample: ".ABS" and ".LEN" hold one little-endian 32-bit float a sample,
// ".DJINS" ten (ACC-X, ACC-Y, ACC-Z, GYR-X, GYR-Y, GYR-Z, EOG-L, EOG-R, EOG-DH, EOG-DV). A file
// is checked to cover the exported samples before any of it is used, and never read outside
// what it holds.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/Files.h"

namespace qv {

class CsvSideFile {
public:
    static constexpr int32_t kAbsWidth = 1;    // ".ABS", ".LEN"
    static constexpr int32_t kJinsWidth = 10;  // ".DJINS"

    // Opens `path` (as the program names files) holding `width` floats a sample (1 to 16). A file
    // that is not there raises run-time error 53; one that cannot be read, 75.
    CsvSideFile(const std::string& path, int32_t width);

    // The samples in the file.
    int64_t Samples() const { return samples_; }
    // True when samples first .. end - 1 are all in the file (first >= 0; an empty range is
    // covered).
    bool Covers(int64_t first, int64_t end) const;
    // The `width` floats of sample p into `out`. A sample the file does not hold raises
    // run-time error 9, as an index outside an array would.
    void Read(int64_t p, float* out);

    const std::string& Path() const { return path_; }

private:
    kernel::BinaryFile file_;
    std::string path_;
    int32_t width_;
    int64_t samples_ = 0;
    // A block of samples read ahead: samples blockFirst_ .. blockFirst_ + count - 1.
    std::vector<unsigned char> block_;
    int64_t blockFirst_ = -1;
    int64_t blockCount_ = 0;
};

// The data file's path without its extension plus `ext` (".ABS", ".LEN", ".DJINS").
std::string SideFilePath(const std::string& kdatFile, const std::string& ext);

}  // namespace qv
