#include "platform/basic/Dates.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <utility>

#include "platform/basic/Format.h"
#include "platform/basic/NumberText.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"

namespace qv::basic {

namespace {

// Date values of 100-01-01 and 9999-12-31, the language's range.
constexpr int64_t kMinDay = -657434;
constexpr int64_t kMaxDay = 2958465;
// Days from 1970-01-01 back to the date value's day 0, 1899-12-30.
constexpr int64_t kEpochOffset = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int32_t>(yoe + era * 400 + (month <= 2));
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// A day number and a time of day (0 <= time < 1) as one date value: before day 0 the time still
// counts forward, so it is subtracted from the negative day number.
double joinDate(int64_t day, double time) {
    return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

double systemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const int64_t day = daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) + kEpochOffset;
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + (ms < 0 ? 0 : ms) / 1000.0;
    return joinDate(day, seconds / 86400.0);
}

std::mutex clockMutex;
ClockHook clockHook;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at text[pos]; false when there is none.
bool readField(std::string_view text, size_t& pos, size_t maxDigits, int32_t& value) {
    size_t start = pos;
    value = 0;
    while (pos < text.size() && isDigit(text[pos]) && pos - start < maxDigits) value = value * 10 + (text[pos++] - '0');
    return pos > start && (pos >= text.size() || !isDigit(text[pos]));
}

// "h:mm[:ss]" at text[pos..]; the whole rest must be the time.
bool readTime(std::string_view text, size_t pos, double& time) {
    int32_t h = 0, n = 0, s = 0;
    if (!readField(text, pos, 2, h) || pos >= text.size() || text[pos++] != ':') return false;
    if (!readField(text, pos, 2, n)) return false;
    if (pos < text.size()) {
        if (text[pos++] != ':' || !readField(text, pos, 2, s)) return false;
    }
    if (pos != text.size() || h > 23 || n > 59 || s > 59) return false;
    time = (h * 3600 + n * 60 + s) / 86400.0;
    return true;
}

}  // namespace

void setClock(ClockHook hook) {
    std::lock_guard lock(clockMutex);
    clockHook = std::move(hook);
}

double Now() {
    ClockHook hook;
    {
        std::lock_guard lock(clockMutex);
        hook = clockHook;
    }
    return hook ? hook() : systemNow();
}

double Today() { return std::trunc(Now()); }

double DateSerial(int32_t year, int32_t month, int32_t day) {
    int64_t y = year;
    if (y >= 0 && y <= 29) y += 2000;
    else if (y >= 30 && y <= 99) y += 1900;
    const int64_t months = y * 12 + (static_cast<int64_t>(month) - 1);
    const int64_t yy = floorDiv(months, 12);
    const int64_t mm = months - yy * 12 + 1;
    if (yy < -1000000 || yy > 1000000) raiseError(errInvalidCall);
    const int64_t serial = daysFromCivil(yy, mm, 1) + kEpochOffset + (static_cast<int64_t>(day) - 1);
    if (serial < kMinDay || serial > kMaxDay) raiseError(errInvalidCall);
    return static_cast<double>(serial);
}

double TimeSerial(int32_t hour, int32_t minute, int32_t second) {
    const int64_t total = static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
    return static_cast<double>(total) / 86400.0;
}

DateParts decodeDate(double date) {
    if (!(date > static_cast<double>(kMinDay - 1) && date < static_cast<double>(kMaxDay + 1)))
        raiseError(errOverflow);
    int64_t day = static_cast<int64_t>(std::trunc(date));
    int64_t seconds = std::llround(std::fabs(date - static_cast<double>(day)) * 86400.0);
    if (seconds >= 86400) {  // rounds up to midnight: the next calendar day
        seconds -= 86400;
        ++day;
    }
    DateParts p{};
    civilFromDays(day - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int32_t>(seconds / 3600);
    p.minute = static_cast<int32_t>(seconds / 60 % 60);
    p.second = static_cast<int32_t>(seconds % 60);
    p.dayOfYear = static_cast<int32_t>(day - kEpochOffset - daysFromCivil(p.year, 1, 1) + 1);
    return p;
}

int32_t Year(double date) { return decodeDate(date).year; }
int32_t Month(double date) { return decodeDate(date).month; }
int32_t Day(double date) { return decodeDate(date).day; }
int32_t Hour(double date) { return decodeDate(date).hour; }
int32_t Minute(double date) { return decodeDate(date).minute; }
int32_t Second(double date) { return decodeDate(date).second; }

double CDate(std::string_view text) {
    text = trimBlanks(text);
    if (IsNumeric(text)) {
        const double v = CDbl(text);
        if (!(v > static_cast<double>(kMinDay - 1) && v < static_cast<double>(kMaxDay + 1))) raiseError(errOverflow);
        return v;
    }
    double time = 0;
    if (readTime(text, 0, time)) return time;

    size_t pos = 0;
    int32_t y = 0, m = 0, d = 0;
    if (!readField(text, pos, 4, y) || pos != 4 || pos >= text.size()) raiseError(errTypeMismatch);
    const char sep = text[pos++];
    if (sep != '/' && sep != '-') raiseError(errTypeMismatch);
    if (!readField(text, pos, 2, m) || pos >= text.size() || text[pos++] != sep) raiseError(errTypeMismatch);
    if (!readField(text, pos, 2, d)) raiseError(errTypeMismatch);
    if (m < 1 || m > 12 || d < 1 || y < 100) raiseError(errTypeMismatch);
    const int64_t dayNumber = daysFromCivil(y, m, d) + kEpochOffset;
    // Day 31 of a 30-day month would carry into the next month: not a date.
    int32_t cy, cm, cd;
    civilFromDays(dayNumber - kEpochOffset, cy, cm, cd);
    if (cm != m) raiseError(errTypeMismatch);
    if (pos < text.size()) {
        if (text[pos] == 'T') ++pos;
        else if (text[pos] == ' ') pos = text.find_first_not_of(' ', pos);
        else raiseError(errTypeMismatch);
        if (!readTime(text, pos, time)) raiseError(errTypeMismatch);
    }
    return joinDate(dayNumber, time);
}

std::string CStrDate(double date) {
    const DateParts p = decodeDate(date);
    // The general date form of the Japanese locale: the hour carries no leading zero.
    if (p.year == 1899 && p.month == 12 && p.day == 30) return Format(date, "h:nn:ss");
    if (p.hour == 0 && p.minute == 0 && p.second == 0) return Format(date, "yyyy/mm/dd");
    return Format(date, "yyyy/mm/dd h:nn:ss");
}

}  // namespace qv::basic
