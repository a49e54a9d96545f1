// Report times and the calendar arithmetic of the detection-time step.
#include "report/ReportTime.h"

#include <cwchar>

namespace Report {

namespace {

constexpr unsigned long long kDay = 86400;
constexpr unsigned long long kYear = 365 * kDay;   // 31,536,000
constexpr unsigned int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

unsigned long long MonthSeconds(unsigned int month, unsigned int year)
{
    unsigned long long days = kMonthDays[month - 1];
    if (month == 2 && IsLeapYear(year))
        ++days;
    return days * kDay;
}

unsigned long long YearSeconds(unsigned int year)
{
    return kYear + (IsLeapYear(year) ? kDay : 0);
}

unsigned long long SecondsSince2000(const SYSTEMTIME& time)
{
    unsigned long long seconds = time.wHour * 3600ULL + time.wMinute * 60ULL + time.wSecond;
    if (time.wDay > 1)
        seconds += (time.wDay - 1) * kDay;
    for (unsigned int month = 1; month < time.wMonth && month <= 12; ++month)
        seconds += MonthSeconds(month, time.wYear);
    for (unsigned int year = 2000; year < time.wYear; ++year)
        seconds += YearSeconds(year);
    return seconds;
}

} // namespace

void TakeLocalTime(SYSTEMTIME& time, long& bias)
{
    GetLocalTime(&time);
    TIME_ZONE_INFORMATION zone = {};
    GetTimeZoneInformation(&zone);
    bias = zone.Bias;
}

void FormatTime(const SYSTEMTIME& time, wchar_t (&text)[kTimeChars])
{
    _snwprintf(text, kTimeChars, L"%u/%02u/%02u %02u:%02u:%02u", time.wYear, time.wMonth,
               time.wDay, time.wHour, time.wMinute, time.wSecond);
    text[kTimeChars - 1] = L'\0';
}

void FormatBias(long bias, wchar_t (&text)[kBiasChars])
{
    _snwprintf(text, kBiasChars, bias >= 0 ? L"+%d" : L"%d", static_cast<int>(bias));
    text[kBiasChars - 1] = L'\0';
}

bool IsLeapYear(unsigned int year)
{
    if (year % 4 != 0)
        return false;
    if (year < 1582)
        return true;
    return year % 100 != 0 || year % 400 == 0;
}

void AddSeconds(SYSTEMTIME& time, unsigned int seconds)
{
    unsigned long long rest = SecondsSince2000(time) + seconds;
    // Whole years: a year is taken off while the rest holds all of it (the
    // last day of a leap year stays in its year).
    unsigned int year = 2000;
    while (rest >= YearSeconds(year)) {
        rest -= YearSeconds(year);
        ++year;
    }
    unsigned int month = 1;
    while (month < 12 && MonthSeconds(month, year) <= rest) {
        rest -= MonthSeconds(month, year);
        ++month;
    }
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(rest / kDay + 1);
    rest %= kDay;
    time.wHour = static_cast<WORD>(rest / 3600);
    time.wMinute = static_cast<WORD>(rest / 60 % 60);
    time.wSecond = static_cast<WORD>(rest % 60);
    time.wDayOfWeek = 0;
    time.wMilliseconds = 0;
}

} // namespace Report
