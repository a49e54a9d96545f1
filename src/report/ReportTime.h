// Report times: "%u/%02u/%02u %02u:%02u:%02u" local time and the time-zone
// bias in minutes ("+300", "-60", "+0"), and the one-second step that keeps
// consecutive detection times apart.
#pragma once

#include <windows.h>

namespace Report {

constexpr int kTimeChars = 64;
constexpr int kBiasChars = 8;

// The local time and the bias (minutes to add to get UTC, daylight bias not
// added) taken together.
void TakeLocalTime(SYSTEMTIME& time, long& bias);

void FormatTime(const SYSTEMTIME& time, wchar_t (&text)[kTimeChars]);
void FormatBias(long bias, wchar_t (&text)[kBiasChars]);

// Leap years: every fourth year before 1582; from 1582 on, a century year
// only when divisible by 400.
bool IsLeapYear(unsigned int year);

// Adds seconds by the report's calendar arithmetic (counted from 2000-01-01);
// day of week and milliseconds become 0.
void AddSeconds(SYSTEMTIME& time, unsigned int seconds);

} // namespace Report
