#pragma once
// Dates as the language held them: a double counting days from 1899-12-30 00:00, the time of
// day in the fraction. Before that day the integer part counts back and the fraction still
// counts forward in time (-1.25 is 1899-12-29 06:00). Local time, no time zones.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv::basic {

// The clock behind Now: returns the current local date-time as a date value. An empty hook
// restores the system clock. Tests and the forms model's virtual clock set their own.
using ClockHook = std::function<double()>;
void setClock(ClockHook hook);
double Now();
double Today();  // Now without its time of day

// Dates from parts. Months and days outside their range carry over (month 13 is January of the
// next year, day 0 the last day of the previous month); years 0..29 mean 2000..2029 and 30..99
// mean 1930..1999 (the language's two-digit rule). A result outside 100-01-01..9999-12-31
// raises error 5.
double DateSerial(int32_t year, int32_t month, int32_t day);
// Time of day as a fraction of a day; hours, minutes and seconds carry over.
double TimeSerial(int32_t hour, int32_t minute, int32_t second);

// Parts of a date value, the time rounded to the nearest second. A value outside the date range
// (or NaN) raises error 6.
int32_t Year(double date);
int32_t Month(double date);
int32_t Day(double date);
int32_t Hour(double date);
int32_t Minute(double date);
int32_t Second(double date);

// All parts at once, for formatting. dayOfYear counts from 1 on January 1.
struct DateParts {
    int32_t year, month, day, hour, minute, second, dayOfYear;
};
DateParts decodeDate(double date);

// Strict text to date: "yyyy/m/d", "yyyy/m/d h:mm[:ss]", "h:mm[:ss]", the same with "-" in the
// date or "T" before the time, or a plain number (the date value itself, so "0" is
// 1899-12-30 00:00:00). Anything else raises 13; a value outside the date range raises 6.
double CDate(std::string_view text);
// The default text of a date: "yyyy/mm/dd h:nn:ss" (no leading zero on the hour), the date alone
// when the time is 0, the time alone ("h:nn:ss") when the date is 1899-12-30.
std::string CStrDate(double date);

}  // namespace qv::basic
