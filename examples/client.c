/* A C client of Tolvane.dll: it calls every exported function, and writes
   its own events into the client's shared log. tolvane.h declares only the
   plain C functions and the version when compiled as C. Exits with 0 when
   every call succeeded.

   Build (docs/linking.md):
     x86_64-w64-mingw32-gcc-posix -std=c99 -pedantic -Wall -Wextra -Werror \
         -I"$DIST/include" client.c "$DIST/lib/libTolvane.dll.a" -static -o client_c.exe */
#include <tolvane.h>

#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

/* The program's own logging call, in the style of the library's: the level,
   the component, the caller's file and line, and a printf-style message. */
#define CLIENT_LOG(level, ...) ClientLog(TOLVANE_LOG_##level, __FILE__, __LINE__, __VA_ARGS__)
#define CLIENT_LOG_W(level, ...) ClientLogW(TOLVANE_LOG_##level, __FILE__, __LINE__, __VA_ARGS__)

static int ClientLog(TolvaneLogLevel level, const char* file, unsigned line, const char* format, ...)
{
    TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(level, "ExampleClient");
    va_list args;
    int written;
    record.sourceFile = file;
    record.line = line;
    va_start(args, format);
    written = TolvaneLogVPrintfA(&record, format, args);
    va_end(args);
    return written;
}

static int ClientLogW(TolvaneLogLevel level, const char* file, unsigned line, const wchar_t* format, ...)
{
    TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(level, "ExampleClient");
    va_list args;
    int written;
    record.sourceFile = file;
    record.line = line;
    va_start(args, format);
    written = TolvaneLogVPrintfW(&record, format, args);
    va_end(args);
    return written;
}

/* Six events of the example's component "ExampleClient". With the built-in
   configuration all land in the main log (zeAgent.log), the Warnings also in
   zeNotices.log. Result: the number of events handed to the logging
   configuration. */
static int LogExamples(const wchar_t* path, BOOL created)
{
    TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_WARNING, "ExampleClient");
    int written = CLIENT_LOG(INFO, "example client started, headers %s", TOLVANE_VERSION_STRING);
    written += CLIENT_LOG_W(INFO, L"special-access file %s: %hs", path, created ? "created" : "FAILED");
    written += TolvaneLogWriteA(&record, "a message taken as it is: 100% literal");
    written += TolvaneLogWriteW(&record, L"a wide message taken as it is");
    /* The Windows error printed behind the message: "... Error=2: <system text>". */
    record.hasError = 1;
    record.errorCode = ERROR_FILE_NOT_FOUND;
    written += TolvaneLogPrintfA(&record, "no file %s", "C:\\missing.txt");
    written += TolvaneLogPrintfW(&record, L"no file %s", L"C:\\missing.txt");
    return written;
}

int main(void)
{
    wchar_t path[MAX_PATH + 64] = {0};
    BOOL created;
    int subsystem;

    printf("Tolvane headers %s (0x%06x)\n", TOLVANE_VERSION_STRING, TOLVANE_VERSION_NUMBER);
    for (subsystem = 0; subsystem <= 2; ++subsystem)
        printf("IsSubSysEnabled(%d) = %d\n", subsystem, (int)IsSubSysEnabled(subsystem));

    GetTempPathW(MAX_PATH, path);
    wcscat(path, L"tolvane-c-client.txt");
    created = CreateFileSpecialAccess(path);
    printf("CreateFileSpecialAccess: %s\n", created ? "created" : "FAILED");
    DeleteFileW(path);
    printf("log events written: %d\n", LogExamples(path, created));

    /* Opens the configured help address or the installed help file and
       does not wait for it; without an installation it does nothing. */
    DisplayKelmoHelp();
    printf("DisplayKelmoHelp: returned\n");
    return created ? 0 : 1;
}
