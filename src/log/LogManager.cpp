#include "log/LogManager.h"

#include <cstring>

#include <shlwapi.h>

namespace LogUtils {

LogManager& LogManager::Instance()
{
    // Created exactly once per process, also when many threads log at once
    // (the compiler guards the initialisation), and kept until the process ends.
    static LogManager* const manager = new LogManager();
    return *manager;
}

LogManager::LogManager()
{
    std::memset(programName, 0, sizeof(programName));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = PathFindFileNameA(path);
    const char* extension = PathFindExtensionA(name);
    size_t length = static_cast<size_t>(extension - name);
    if (length > sizeof(programName) - 1)
        length = sizeof(programName) - 1;
    std::memcpy(programName, name, length);
}

} // namespace LogUtils
