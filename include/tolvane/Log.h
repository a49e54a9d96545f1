/* Writing into the client's shared log from a client program: plain C
   exports of Tolvane.dll, for C, MinGW-w64 C++ and Microsoft-ABI C++ alike.
   An event written here is handled exactly like one of the library's own:
   the logging configuration is read again for it, its filters, line format,
   files, mutex, archives, syslog and debugger output apply, and "%P"/"%p"
   print the calling program. docs/client-api.md describes every call. */
#pragma once

#include <stdarg.h>

#include "tolvane/Api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The eight levels, most severe first; a filter term "Category.Info"
   admits Emergency to Info. */
typedef enum TolvaneLogLevel {
    TOLVANE_LOG_EMERGENCY = 0,
    TOLVANE_LOG_ALERT = 1,
    TOLVANE_LOG_CRITICAL_ERROR = 2,
    TOLVANE_LOG_ERROR = 3,
    TOLVANE_LOG_WARNING = 4,
    TOLVANE_LOG_NOTICE = 5,
    TOLVANE_LOG_INFO = 6,
    TOLVANE_LOG_DEBUG = 7
} TolvaneLogLevel;

/* Where an event comes from and how severe it is. Set size to
   sizeof(TolvaneLogRecord): later versions of the library may add fields at
   the end and tell the versions apart by it. */
typedef struct TolvaneLogRecord {
    unsigned int size;
    TolvaneLogLevel level;
    const char* category;    /* the writing component, e.g. "Brisko"; filters match it */
    const char* sourceFile;  /* the source file, e.g. __FILE__: "%s" prints its name, "%+s" all of it */
    unsigned int line;       /* e.g. __LINE__, printed by "%L" */
    unsigned int hasError;   /* nonzero: errorCode is printed behind the message */
    unsigned int errorCode;  /* a Windows error code, e.g. GetLastError() */
} TolvaneLogRecord;

/* A record of the calling line: TolvaneLogRecord r = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_INFO, "Brisko"); */
#define TOLVANE_LOG_RECORD_INIT(level, category) \
    { sizeof(TolvaneLogRecord), (level), (category), __FILE__, __LINE__, 0, 0 }

/* Each call returns 1 when the event was handed to the logging
   configuration, 0 when the record was refused (null, a size smaller than
   the first version's, a level outside the eight) or when writing it failed.
   None changes the caller's last-error value, and no exception leaves any.
   A message keeps its first 20479 characters; trailing line breaks and other
   control characters are removed. A null message or format writes an empty
   message. A category longer than 255 characters and a source file longer
   than 259 keep their beginnings. */

// The message as it is (a '%' in it is no conversion).
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogWriteA(const TolvaneLogRecord* record, const char* message);
// The same, wide.
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogWriteW(const TolvaneLogRecord* record, const wchar_t* message);

// The message formatted as by the platform's _vsnprintf_s: "%s" takes a
// narrow text, "%ls" a wide one.
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogPrintfA(const TolvaneLogRecord* record, const char* format, ...);
// Formatted as by _vsnwprintf_s: "%s" takes a wide text, "%hs" a narrow one.
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogPrintfW(const TolvaneLogRecord* record, const wchar_t* format, ...);
// As TolvaneLogPrintfA, for a program's own variadic logging function.
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogVPrintfA(const TolvaneLogRecord* record, const char* format, va_list args);
// As TolvaneLogPrintfW, for a program's own variadic logging function.
// Result: 1 handed to the logging configuration; 0 refused or not written.
// Last error: unchanged.
// Throws: nothing.
TOLVANE_API int TolvaneLogVPrintfW(const TolvaneLogRecord* record, const wchar_t* format, va_list args);

#ifdef __cplusplus
}
#endif
