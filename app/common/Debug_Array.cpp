#include "app/common/Debug_Array.h"

#include "app/common/modIniFile.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Paths.h"

namespace qv {

namespace {

kernel::WriteField field(float v) { return kernel::WriteField::num(basic::CStr(v)); }
kernel::WriteField field(double v) { return kernel::WriteField::num(basic::CStr(v)); }
kernel::WriteField field(int32_t v) { return kernel::WriteField::num(basic::CStr(v)); }
kernel::WriteField field(int16_t v) { return kernel::WriteField::num(basic::CStr(v)); }
kernel::WriteField field(const std::string& v) { return kernel::WriteField::str(v); }

template <class T>
int32_t dump(std::span<const T> values, const std::string& name, bool withTime, int32_t count) {
    const size_t n = count == -1 ? values.size() : static_cast<size_t>(count < 0 ? 0 : count);
    if (n > values.size()) basic::raiseError(basic::errSubscript);
    const std::string folder = ProgramFile("Array");
    if (!kernel::makeDirectory(folder)) basic::raiseError(76, "Path not found: " + folder);
    const std::string path = DumpArrayCsvPath(name, withTime);
    kernel::TextFileWriter out(path, kernel::TextFileWriter::Mode::Output);
    if (!out.isOpen()) basic::raiseError(75, "Path/File access error: " + path);
    for (size_t i = 0; i < n; ++i) {
        const kernel::WriteField f = field(values[i]);
        if (!out.writeLine({&f, 1})) break;
    }
    if (!out.close()) basic::raiseError(75, "Path/File access error: " + path);
    return 0;
}

}  // namespace

std::string DumpArrayCsvPath(const std::string& name, bool withTime) {
    std::string file = "1_";
    if (withTime) file += basic::Format(basic::Now(), "YYYYMMDDHHNNSS") + "_";
    return ProgramFile("Array") + "\\" + file + name + ".csv";
}

int32_t DumpArrayCsv(std::span<const float> v, const std::string& n, bool t, int32_t c) {
    return dump(v, n, t, c);
}
int32_t DumpArrayCsv(std::span<const double> v, const std::string& n, bool t, int32_t c) {
    return dump(v, n, t, c);
}
int32_t DumpArrayCsv(std::span<const int32_t> v, const std::string& n, bool t, int32_t c) {
    return dump(v, n, t, c);
}
int32_t DumpArrayCsv(std::span<const int16_t> v, const std::string& n, bool t, int32_t c) {
    return dump(v, n, t, c);
}
int32_t DumpArrayCsv(std::span<const std::string> v, const std::string& n, bool t, int32_t c) {
    return dump(v, n, t, c);
}

}  // namespace qv
