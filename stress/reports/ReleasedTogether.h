// Processes released together: the starter runs several copies of a program
// and lets them all begin a round of work at the same moment. Before each
// round every copy says that it is ready (a named semaphore) and waits for
// the round's event; the starter prepares the round once all are ready, then
// sets the event. Two events alternate, so a copy that finishes a round
// early cannot run through the next one.
// Used by the stress programs that race client processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// In a copy started with the names READY and GO: says it is ready for the
// given round (0, 1, ...) and waits until the starter lets it go. False when
// the names cannot be opened or nobody lets go within a minute.
inline bool WaitForRelease(const char* readyName, const char* goName, int round = 0)
{
    HANDLE ready = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, readyName);
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, (goName + std::to_string(round % 2)).c_str());
    bool released = false;
    if (ready != nullptr && go != nullptr) {
        ReleaseSemaphore(ready, 1, nullptr);
        released = WaitForSingleObject(go, 60000) == WAIT_OBJECT_0;
    }
    if (go != nullptr)
        CloseHandle(go);
    if (ready != nullptr)
        CloseHandle(ready);
    return released;
}

// Starts `copies` processes of `program` with the arguments
// "<before> READY GO <after>" and runs `rounds` rounds: each time all are
// ready, beforeRound(round) is called (when given) and all are let go at
// once. Returns the exit codes (one per copy that could be started).
inline std::vector<DWORD> RunReleasedTogether(const std::wstring& program, const std::string& before,
                                              const std::string& after, int copies, int rounds = 1,
                                              const std::function<void(int)>& beforeRound = nullptr)
{
    const std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    const std::string readyName = "TolvaneReady" + tag, goName = "TolvaneGo" + tag;
    HANDLE ready = CreateSemaphoreA(nullptr, 0, copies, readyName.c_str());
    HANDLE go[2] = {CreateEventA(nullptr, TRUE, FALSE, (goName + "0").c_str()),
                    CreateEventA(nullptr, TRUE, FALSE, (goName + "1").c_str())};
    std::vector<HANDLE> processes;
    for (int i = 0; i < copies; ++i) {
        const std::string arguments = before + (before.empty() ? "" : " ") + readyName + " " + goName + " " + after;
        std::wstring command = L"\"" + program + L"\" " + std::wstring(arguments.begin(), arguments.end());
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            processes.push_back(process.hProcess);
        }
    }
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < processes.size(); ++i)
            WaitForSingleObject(ready, 60000);
        if (beforeRound)
            beforeRound(round);
        ResetEvent(go[(round + 1) % 2]);
        SetEvent(go[round % 2]);
    }
    std::vector<DWORD> codes;
    for (HANDLE process : processes) {
        WaitForSingleObject(process, INFINITE);
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(process, &code);
        codes.push_back(code);
        CloseHandle(process);
    }
    CloseHandle(go[0]);
    CloseHandle(go[1]);
    CloseHandle(ready);
    return codes;
}

} // namespace testsupport
