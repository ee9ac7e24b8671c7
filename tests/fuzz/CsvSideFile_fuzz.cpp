// The CSV export's side-file reader: a range (two int32), a record width (one byte: ".ABS"/".LEN"
// or ".DJINS"), then the file's bytes. A covered range reads without error; any sample outside
// the file is refused; nothing is read outside the file.
#include <cstdlib>
#include <cstring>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "app/main/Acqisition_SideFiles.h"
#include "platform/basic/RuntimeError.h"
#include "tests/app/main/Acqisition_SideFiles_testsupport.h"

QV_FUZZ_TARGET(CsvSideFile) {
    if (size < 9) return 0;
    int32_t range[2];
    std::memcpy(range, data, sizeof range);
    const int32_t width = (data[8] & 1) ? qv::CsvSideFile::kJinsWidth : qv::CsvSideFile::kAbsWidth;
    const std::string path = qv::fuzz::writeInput("side.DJINS", data + 9, size - 9);
    try {
        qv::CsvSideFile file(path, width);
        if (file.Samples() != static_cast<int64_t>((size - 9) / (4u * static_cast<size_t>(width)))) std::abort();
        const int64_t first = range[0], end = static_cast<int64_t>(range[0]) + (range[1] & 0xFFFF);
        float values[qv::CsvSideFile::kJinsWidth];
        if (file.Covers(first, end)) {
            for (int64_t p = first; p < end; ++p) file.Read(p, values);  // never refused
        } else {
            // Some sample of the range is not in the file: reading it is refused.
            const int64_t p = first < 0 ? first : file.Samples();
            try {
                file.Read(p, values);
                std::abort();
            } catch (const qv::basic::RuntimeError& e) {
                if (e.number() != 9) std::abort();
            }
        }
    } catch (const qv::basic::RuntimeError&) {
        // A file that cannot be opened is the reader's answer.
    }
    return 0;
}

namespace {

float ramp(int32_t p, int32_t j) { return static_cast<float>(p) + static_cast<float>(j) / 16; }

qv::fuzz::Bytes withRange(int32_t first, int32_t count, bool jins, const std::string& file) {
    std::string all(9, '\0');
    std::memcpy(all.data(), &first, 4);
    std::memcpy(all.data() + 4, &count, 4);
    all[8] = jins ? 1 : 0;
    return qv::fuzz::bytesOf(all + file);
}

}  // namespace

QV_FUZZ_SEEDS(CsvSideFile) {
    using qv::apptest::sideFileBytes;
    return {withRange(0, 100, false, sideFileBytes(100, 1, ramp)),
            withRange(20, 10, true, sideFileBytes(30, 10, ramp)),
            withRange(5, 50, false, sideFileBytes(40, 1, ramp) + "ab"),
            withRange(-3, 4, true, sideFileBytes(2, 10, ramp))};
}
