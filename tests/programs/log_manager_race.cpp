// log_manager_race THREADS: THREADS threads, released together, write the process's first log events;
// prints "log managers created: N", counted by the manager's construction's calls to PathFindExtensionA
// (nothing else in the library calls it).
#include <windows.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ImportHook.h"
#include "log/LogEvent.h"

namespace {
std::atomic<int> g_constructions{0};
void* g_original = nullptr;

LPSTR WINAPI CountingFindExtension(LPCSTR path)
{
    ++g_constructions;
    Sleep(20);   // widen the window in which another thread could construct too
    return reinterpret_cast<decltype(&PathFindExtensionA)>(g_original)(path);
}
} // namespace

int main(int argc, char** argv)
{
    testsupport::ImportHook hook("PathFindExtensionA", reinterpret_cast<void*>(&CountingFindExtension));
    g_original = hook.Original();
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::thread> writers;
    for (int i = 0; hook.Installed() && i < (argc > 1 ? std::atoi(argv[1]) : 16); ++i)
        writers.emplace_back([start, i] {
            WaitForSingleObject(start, INFINITE);
            LOG_EVENT(Debug, "Tolvane").Write("thread %d", i);
        });
    Sleep(100);
    SetEvent(start);
    for (std::thread& writer : writers)
        writer.join();
    std::printf("log managers created: %d\n", g_constructions.load());
    return hook.Installed() ? 0 : 2;
}
