// Defaults of the logging configuration (its registry keys are in
// common/ClientKeys.h): the built-in sinks used when there is no logging ini file.
#pragma once

#include "common/ClientKeys.h"

namespace LogUtils {

constexpr unsigned int kDefaultSizeLimit = 2097152;   // 2 MiB

// The logging ini file: the section names are listed into 512 bytes (names
// beyond them are never seen), and each key is read into a fixed buffer of
// this many characters.
constexpr unsigned int kIniSectionListBytes = 512;
constexpr unsigned int kFilterChars = 511;
constexpr unsigned int kFormatChars = 255;
constexpr unsigned int kTypeChars = 63;
constexpr unsigned int kMaxSizeChars = 63;

// The main log of the activity type (its name comes from the registry).
constexpr char kDefaultMainFilter[] = "~Brisko.Debug ~TavrelOASDetection.Debug *.Info";
constexpr char kDefaultMainFormat[] = "%D %T %l %P:%+p %m";

struct DefaultSink {
    const char* filter;
    const wchar_t* fileName;
    const char* format;
};

// The built-in sinks after the main log, in the order they are offered.
constexpr DefaultSink kDefaultSinks[] = {
    {"*.Notice", L"zeNotices.log", "%D %T %l %P:%+p %m"},
    {"Brisko.Debug", L"Brisko.log", "%D %T %P:%+p %m"},
    {"TavrelOASDetection.Debug", L"TavrelOASDetection.log", "%D %T %P:%+p %m"},
};

} // namespace LogUtils
