// Header-only C++ convenience over the logging exports of tolvane/Log.h, for
// MinGW-w64 and Microsoft-ABI clients alike. A call site names the level and
// its component; the source file and line are taken where it is written:
//
//   TOLVANE_CLIENT_LOG(WARNING, "Brisko").WithError(GetLastError()).Write(L"Cannot open %s", path);
//   TOLVANE_CLIENT_LOG(INFO, "Brisko").Write("%d files scanned", count);
//
// Like the exports, it never throws and never changes the last-error value.
#pragma once

#include "tolvane/Log.h"

namespace Tolvane {

class LogCall {
public:
    LogCall(TolvaneLogLevel level, const char* category, const char* sourceFile, unsigned int line) noexcept
        : m_record()
    {
        m_record.size = sizeof(m_record);
        m_record.level = level;
        m_record.category = category;
        m_record.sourceFile = sourceFile;
        m_record.line = line;
    }

    // Prints "Error=<code>: " and the system's text for it behind the message.
    LogCall& WithError(unsigned long code) noexcept
    {
        m_record.hasError = 1;
        m_record.errorCode = static_cast<unsigned int>(code);
        return *this;
    }

    LogCall& Write(const char* format, ...) noexcept
    {
        va_list args;
        va_start(args, format);
        TolvaneLogVPrintfA(&m_record, format, args);
        va_end(args);
        return *this;
    }

    LogCall& Write(const wchar_t* format, ...) noexcept
    {
        va_list args;
        va_start(args, format);
        TolvaneLogVPrintfW(&m_record, format, args);
        va_end(args);
        return *this;
    }

private:
    TolvaneLogRecord m_record;
};

} // namespace Tolvane

// level: one of EMERGENCY, ALERT, CRITICAL_ERROR, ERROR, WARNING, NOTICE, INFO, DEBUG.
#define TOLVANE_CLIENT_LOG(level, category) \
    ::Tolvane::LogCall(TOLVANE_LOG_##level, category, __FILE__, __LINE__)
