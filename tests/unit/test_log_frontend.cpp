// The log front end: messages as the sinks get them, the event's fields, error texts, the caller's last error.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ImportHook.h"
#include "LogCapture.h"
#include "common/ScopedHandle.h"
#include "tolvane/Log.h"
#include "tolvane/LogCall.h"

using testsupport::LogCapture;

TEST(LogFrontEnd, MessageLengthAndTrailingControlCharacters)
{
    LogCapture log;
    TOLVANE_LOG(Info).Write("%s", std::string(25000, 'n').c_str());
    TOLVANE_LOG(Info).Write(L"%s", std::wstring(20480, L'w').c_str());
    TOLVANE_LOG(Info).Write("CreateFile()..\n");
    TOLVANE_LOG(Info).Write(L"line\r\n");
    TOLVANE_LOG(Info).Write("\r\n\t\x7f");
    // A longer message keeps its first 20479 characters; trailing control characters are dropped.
    EXPECT_EQ((std::vector<std::string>{std::string(20479, 'n'), std::string(20479, 'w'), "CreateFile()..", "line", ""}),
              log.Messages());
}

TEST(LogFrontEnd, FormatErrorText)
{
    const struct { unsigned int code; const char* text; const char* why; } cases[] = {
        {2, "Error=2: File not found.", "system text without inserts"},
        {123456789, "Error=123456789: ", "no system text: the prefix alone, its blank included"},
        {193, "Error=193: ", "system text with an insert marker: the prefix alone"},
    };
    char buffer[LogUtils::kErrorTextBytes];
    SetLastError(87);   // kept though the lookup of 123456789 fails
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, LogUtils::FormatErrorText(c.code, buffer)) << c.why;
    EXPECT_EQ(87u, GetLastError());
}

// The client exports fill an event from their record (the category cut to 255 characters), write a null message
// as an empty one, refuse a null record, a level beyond Debug and a record smaller than the first version, and
// keep the caller's last error, as the library's own events do; the C++ convenience writes through the va_list ones.
TEST(LogFrontEnd, ClientExports)
{
    LogCapture log;
    const std::string longCategory = "Brisko" + std::string(294, '0');
    TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_ERROR, "Brisko");
    record.hasError = 1, record.errorCode = 2;
    std::string answers;
    const auto Answer = [&](int written) {
        answers += std::to_string(written) + (GetLastError() == 1234 ? " " : "! ");
        SetLastError(1234);
    };
    SetLastError(1234);
    Answer(TolvaneLogWriteA(&record, "WriteA%s"));
    Answer(TolvaneLogWriteW(&record, L"WriteW%s"));
    Answer(TolvaneLogPrintfA(&record, "PrintfA %d", 1));
    Answer(TolvaneLogPrintfW(&record, L"PrintfW %hs", "2"));
    record.level = TOLVANE_LOG_DEBUG, record.hasError = 0;
    Answer(TolvaneLogWriteA(&record, nullptr));
    Answer(TolvaneLogPrintfW(&record, nullptr));
    record.category = longCategory.c_str();
    Answer(TolvaneLogWriteA(&record, "long category"));
    record.category = nullptr;
    Answer(TolvaneLogWriteA(&record, "no category"));
    Answer(TolvaneLogWriteA(nullptr, "refused"));
    record.level = static_cast<TolvaneLogLevel>(8);
    Answer(TolvaneLogWriteA(&record, "refused"));
    record.level = TOLVANE_LOG_INFO, record.size = 36;
    Answer(TolvaneLogWriteA(&record, "refused"));
    LogUtils::LogEvent event(__FILE__, __LINE__, LogUtils::Warning, "Tolvane");
    EXPECT_EQ(GetCurrentThreadId(), event.threadId);
    event.WriteError(2, "narrow %s", "text");
    Answer(event.narrowMessage == nullptr);   // the message does not outlive the call
    TOLVANE_CLIENT_LOG(NOTICE, "OrbiskUI").WithError(5).Write("%s %d", "narrow", 3).Write(L"%hs", "wide");
    EXPECT_EQ("1 1 1 1 1 1 1 1 0 0 0 1 ", answers);
    EXPECT_EQ((std::vector<std::string>{"Error Brisko WriteA%s [error 2]", "Error Brisko WriteW%s [error 2]",
        "Error Brisko PrintfA 1 [error 2]", "Error Brisko PrintfW 2 [error 2]", "Debug Brisko ", "Debug Brisko ",
        "Debug " + longCategory.substr(0, 255) + " long category", "Debug  no category",
        "Warning Tolvane narrow text [error 2]", "Notice OrbiskUI narrow 3 [error 5]", "Notice OrbiskUI wide [error 5]"}),
        log.Records());
}

// Threads racing on the process's first events create one manager, counted through a call only its construction
// makes (ctest runs each test in a process of its own, so none exists yet).
TEST(LogFrontEnd, OneManagerPerProcessAcrossThreads)
{
    static std::atomic<int> constructions{0};
    static void* original = nullptr;
    struct Counter {
        static LPSTR WINAPI FindExtension(LPCSTR path)
        {
            ++constructions;
            Sleep(20);   // widen the window in which another thread could construct too
            return reinterpret_cast<decltype(&PathFindExtensionA)>(original)(path);
        }
    };
    testsupport::ImportHook hook("PathFindExtensionA", reinterpret_cast<void*>(&Counter::FindExtension));
    original = hook.Original();
    ASSERT_TRUE(hook.Installed());
    CScopedHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<std::thread> writers;
    for (int i = 0; i < 16; ++i)
        writers.emplace_back([&] { WaitForSingleObject(start.Get(), INFINITE), TOLVANE_LOG(Debug).Write("racing"); });
    Sleep(100);
    SetEvent(start.Get());
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(1, constructions.load()) << "this test needs a process that has not logged yet";
}
