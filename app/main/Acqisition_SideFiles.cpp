#include "app/main/Acqisition_SideFiles.h"

#include <algorithm>
#include <cstring>

#include "app/common/modCommon.h"
#include "app/common/modFile.h"
#include "platform/basic/RuntimeError.h"

namespace qv {

namespace {

constexpr int kErrFileNotFound = 53;
constexpr int kErrAccess = 75;
// Samples read in one go; the export asks for them in order.
constexpr int64_t kBlockSamples = 4096;

float floatLE(const unsigned char* b) {
    const uint32_t bits = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                          static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

std::string SideFilePath(const std::string& kdatFile, const std::string& ext) {
    return GetPathWithoutExt(kdatFile) + ext;
}

CsvSideFile::CsvSideFile(const std::string& path, int32_t width) : path_(path), width_(width) {
    if (width < 1 || width > 16) basic::raiseError(basic::errInvalidCall);
    const std::string found = FindFile(path, true);
    if (found.empty()) basic::raiseError(kErrFileNotFound, "File not found: " + path);
    if (!file_.open(found)) basic::raiseError(kErrAccess, "Path/File access error: " + path);
    samples_ = static_cast<int64_t>(file_.size() / (4u * static_cast<uint64_t>(width_)));
}

bool CsvSideFile::Covers(int64_t first, int64_t end) const {
    if (end <= first) return true;
    return first >= 0 && end <= samples_;
}

void CsvSideFile::Read(int64_t p, float* out) {
    if (p < 0 || p >= samples_) basic::raiseError(basic::errSubscript);
    if (p < blockFirst_ || p >= blockFirst_ + blockCount_) {
        blockFirst_ = p;
        blockCount_ = std::min(kBlockSamples, samples_ - p);
        const size_t bytes = static_cast<size_t>(blockCount_) * 4u * static_cast<size_t>(width_);
        block_.resize(bytes);
        const uint64_t offset = static_cast<uint64_t>(p) * 4u * static_cast<uint64_t>(width_);
        if (file_.readAt(offset, block_.data(), bytes) != bytes) {
            // The file shrank under the export: what is gone is not made up.
            blockFirst_ = -1;
            blockCount_ = 0;
            basic::raiseError(kErrAccess, "Path/File access error: " + path_);
        }
    }
    const unsigned char* at =
        block_.data() + static_cast<size_t>(p - blockFirst_) * 4u * static_cast<size_t>(width_);
    for (int32_t i = 0; i < width_; ++i) out[i] = floatLE(at + 4 * i);
}

}  // namespace qv
