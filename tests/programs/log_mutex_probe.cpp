// log_mutex_probe LOGFILE: checks what a log writer does when the log file
// mutex cannot be created because another kind of object holds its name,
// and that the next event creates it once the name is free. Exit code 0
// when everything behaved; the failed check is printed otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/SystemException.h"
#include "log/LogFileMutex.h"
#include "log/LogFileSink.h"

namespace {

int Fail(const char* what)
{
    printf("FAILED: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail("usage: log_mutex_probe LOGFILE");
    wchar_t path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);

    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, LogUtils::kLogMutexName);
    if (!squatter)
        return Fail("cannot create the event that takes the mutex's name");

    LogUtils::LogEvent event(__FILE__, __LINE__, LogUtils::Info, "Tolvane");
    event.narrowMessage = "probe";
    unsigned int code = 0;
    try {
        LogUtils::LogFileSink(path, 1000000, 1).Write("%m", event);
    } catch (const CSystemException& e) {
        code = e.code;
    }
    printf("code 0x%08x\n", code);
    if (code != 0x80070006u)   // ERROR_INVALID_HANDLE as an HRESULT
        return Fail("the sink did not raise the HRESULT of the failed creation");

    // Through the front end: the exception reaches the caller, and the
    // caller's last-error value is kept.
    SetLastError(5);
    bool thrown = false;
    try {
        LOG_EVENT(Error, "Tolvane").Write("front end");
    } catch (const CSystemException&) {
        thrown = true;
    }
    if (GetLastError() != 5)
        return Fail("the last-error value changed");
    if (!thrown)   // the built-in main log takes Error events
        return Fail("the exception did not reach the caller of the front end");

    CloseHandle(squatter);
    try {
        if (!LogUtils::LogFileSink(path, 1000000, 1).Write("%m", event))
            return Fail("the file could not be written once the name was free");
    } catch (const CSystemException&) {
        return Fail("the mutex was not created on the next event");
    }
    printf("ok\n");
    return 0;
}
