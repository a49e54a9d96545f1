// Defaults of the logging configuration (its registry keys are in
// common/ClientKeys.h): the built-in sinks used when there is no logging ini file.
#pragma once

#include "common/ClientKeys.h"

namespace LogUtils {

constexpr unsigned int kDefaultSizeLimit = 2097152;   // 2 MiB

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
