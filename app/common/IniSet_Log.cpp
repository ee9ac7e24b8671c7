// The daily log files of IniSet: "\LOG\yyyy\Log_<program>_yyyymmdd.txt" under the program folder.
#include "app/common/IniSet.h"

#include <cmath>
#include <set>

#include "app/common/modIniFile.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Paths.h"

namespace qv {

namespace {

constexpr const char* kProgramName = "Quorvane";

void ensureFolder(const std::string& path) {
    if (!kernel::makeDirectory(path)) basic::raiseError(76, "Path not found: " + path);
}

void writeDailyLog(const char* prefix, const std::string& message, bool withTime) {
    const double now = basic::Now();
    const std::string logFolder = ProgramFile("LOG");
    const std::string yearFolder = logFolder + "\\" + basic::Format(now, "yyyy");
    ensureFolder(logFolder);
    ensureFolder(yearFolder);
    const std::string file = yearFolder + "\\" + prefix + kProgramName + "_" +
                             basic::Format(now, "yyyymmdd") + ".txt";
    const std::string text =
        withTime ? basic::Format(now, "yyyy/mm/dd hh:nn:ss") + "," + message : message;
    const kernel::WriteField field = kernel::WriteField::str(text);
    if (!kernel::appendWriteLine(file, {&field, 1}))
        basic::raiseError(75, "Path/File access error: " + file);
}

}  // namespace

void WriteLog(const std::string& message, bool withTime) { writeDailyLog("Log_", message, withTime); }

void WriteRemoteLog(const std::string& message, bool withTime) {
    writeDailyLog("REMLOG_", message, withTime);
}

namespace {

// The lines written under the open LogIgnoredOnce scopes, and how many are open.
thread_local std::set<std::string> writtenOnce;
thread_local int onceScopes = 0;

void logLine(const std::string& line) {
    if (onceScopes > 0 && !writtenOnce.insert(line).second) return;
    try {
        WriteLog(line, true);
    } catch (const basic::RuntimeError&) {
    }
}

void logIgnored(const std::string& text, const std::string& where) {
    logLine(where + " の値 \"" + text + "\" は範囲外のため無視しました。");
}

}  // namespace

std::optional<double> StoredNumber(const std::string& text, const std::string& where) {
    const double v = basic::TypedVal(text);
    if (std::isfinite(v)) return v;
    logIgnored(text, where);  // an exponent beyond the number range
    return std::nullopt;
}

std::optional<int32_t> StoredLong(const std::string& text, const std::string& where) {
    const std::optional<int32_t> n = basic::TryCLng(basic::TypedVal(text));
    if (!n) logIgnored(text, where);
    return n;
}

std::optional<int32_t> StoredLong(const std::string& text, const std::string& where, int32_t lowest,
                                  int32_t highest) {
    const std::optional<int32_t> n = StoredLong(text, where);
    if (!n || (*n >= lowest && *n <= highest)) return n;
    logIgnored(text, where);
    return std::nullopt;
}

void LogRefusedSetting(const std::string& text, const std::string& where) {
    logLine(where + " の値 \"" + text + "\" は設定できないため無視しました。");
}

LogIgnoredOnce::LogIgnoredOnce() { ++onceScopes; }

LogIgnoredOnce::~LogIgnoredOnce() {
    if (--onceScopes == 0) writtenOnce.clear();
}

}  // namespace qv
