#pragma once
// Array dumps for debugging: program folder "\Array\1_" [yyyymmddhhnnss_] name ".csv", one
// element a line in the Write # form.
#include <cstdint>
#include <span>
#include <string>

namespace qv {

// Writes elements 0..count-1 (count -1: all of them; below -1: none) and returns 0. A count
// beyond the array raises run-time error 9 before the file is touched; a file that cannot be
// written raises 75.
int32_t DumpArrayCsv(std::span<const float> values, const std::string& name, bool withTime,
                     int32_t count);
int32_t DumpArrayCsv(std::span<const double> values, const std::string& name, bool withTime,
                     int32_t count);
int32_t DumpArrayCsv(std::span<const int32_t> values, const std::string& name, bool withTime,
                     int32_t count);
int32_t DumpArrayCsv(std::span<const int16_t> values, const std::string& name, bool withTime,
                     int32_t count);
int32_t DumpArrayCsv(std::span<const std::string> values, const std::string& name, bool withTime,
                     int32_t count);

// The file DumpArrayCsv writes for `name` at this moment.
std::string DumpArrayCsvPath(const std::string& name, bool withTime);

}  // namespace qv
