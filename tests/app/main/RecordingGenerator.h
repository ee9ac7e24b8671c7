#pragma once
// Writes recordings as the acquisition system leaves them: a parameter file (".Kpar", CP932,
// CR LF) and a data file (".Kdat", int16 little-endian scans), for tests and sample files.
// The default is a small continuous recording that loads as it is; tests change single keys,
// take keys away, or switch the ini syntax and the data file's length to make the variants a
// reader must survive. No test framework is needed, so small programs can link it too.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv::apptest {

class RecordingSpec {
public:
    // Channels startCH .. startCH + channels - 1 (1-based) at rateHz, `scans` scans long, with
    // every key of the parameter file in the order its reader takes them. Up to 16 channels the
    // board is the 12-bit one of ±5 V, above that the 16-bit one of ±10 V.
    explicit RecordingSpec(int32_t channels = 2, int32_t rateHz = 10, int32_t scans = 50,
                           int32_t startCH = 1);

    // The key's value; a missing key is added at the end of its section (the section at the end
    // of the file when it is missing too).
    RecordingSpec& set(const std::string& section, const std::string& key, const std::string& value);
    RecordingSpec& remove(const std::string& section, const std::string& key);
    // The value written for the key, nothing when it is not written.
    std::optional<std::string> get(const std::string& section, const std::string& key) const;

    int32_t channels() const { return channels_; }
    int32_t scans() const { return scans_; }

    // The sample word of channel position c (0-based within the scan) in scan p. Default:
    // (c / 2) x 100 + p for even c, minus that for odd c.
    std::function<int16_t(int32_t p, int32_t c)> sample;

    // Ini syntax switches.
    bool lfOnly = false;              // "\n" instead of "\r\n"
    bool utf8Bom = false;             // UTF-8 text after a byte-order mark instead of CP932
    bool blanksAroundEquals = false;  // "key = value"
    bool lowerCaseNames = false;      // section and key names in lower case
    bool quoteValues = false;         // every value in double quotes
    std::string extraText;            // appended as it is (duplicate keys or sections)

    // Data file: its length cut or extended (with zeros) to this many bytes; no file at all.
    std::optional<uint64_t> kdatBytes;
    bool writeKdat = true;

    std::string KparBytes() const;
    std::string KdatBytes() const;
    // Writes folder/base.Kpar and folder/base.Kdat (replacing them).
    void Write(const std::filesystem::path& folder, const std::string& base) const;

private:
    using Keys = std::vector<std::pair<std::string, std::string>>;
    std::vector<std::pair<std::string, Keys>> sections_;
    int32_t channels_;
    int32_t scans_;
};

}  // namespace qv::apptest
