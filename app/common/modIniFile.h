#pragma once
// One current ini file for the whole program, read and written key by key, and the small readers
// of the system ini "Tolvane.ini" in the program folder and of two other files. A caller that
// works on another file saves the current path, switches, works and restores it.
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

void SetIniFileName(const std::string& path);
std::string GetIniFileName();

// The value of `key` in `section` of the current file, read into a 1024-byte buffer: the default
// when the key is missing or its value empty; unless `raw` is "True" the text is cut at the first
// NUL, ";" and TAB and trimmed of blanks.
std::string ReadIniString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::string_view raw = "False");
std::string StripIniComment(std::string_view text);
// Writes to the current file; nothing while the current path is "". False when the file could
// not be written.
bool WriteIniString(std::string_view section, std::string_view key, std::string_view value);

// Syncs the current file to disk once, at the end of a whole save. False when that failed.
bool FlushIniFile();

// Program folder & "\" & name.
std::string ProgramFile(std::string_view name);

// Readers of "Tolvane.ini".
int32_t GetPlaySleep();
int32_t GetPlayStep();
bool IsCsvHeader();
bool IsCsvDivTrial();
bool IsCsvDataNo();
// Section "COLOR", key "CH_" & ch: three hexadecimal parts "RR,GG,BB" -> 0x00BBGGRR; black when
// the value has fewer than three parts or a part is not hexadecimal.
int32_t GetChannelColor(int32_t ch);
// "CAM_GETINFO.ini": the camera tool could add the video-capture filter.
bool IsCameraFilterOK();
// The settings file `path` has a camera set up and frames recorded (the count read from the file
// when fromFile, else the running count GlCapNum).
bool IsCameraEnabled(const std::string& path, bool fromFile);

// Restores the current ini path when it goes out of scope.
class IniPathGuard {
public:
    IniPathGuard();
    explicit IniPathGuard(const std::string& switchTo);
    ~IniPathGuard();
    IniPathGuard(const IniPathGuard&) = delete;
    IniPathGuard& operator=(const IniPathGuard&) = delete;

private:
    std::string saved_;
};

}  // namespace qv
