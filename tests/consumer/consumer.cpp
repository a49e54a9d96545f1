// A client built through the CMake package: exceptions, a thread and
// std::string, which need the runtimes that Tolvane::Tolvane links
// statically.
#include <tolvane.h>

#include <cstdio>
#include <string>
#include <thread>

int main()
{
    BOOL enabled = TRUE;
    std::thread worker([&] { enabled = IsSubSysEnabled(2); });
    worker.join();

    CExcludeHelper exclusions;
    int items = 0;
    try {
        const std::wstring key = L"SOFTWARE\\Tavrel\\Orbisk\\ConsumerTest";
        unsigned short* const* array =
            exclusions.GetExcludeItems(reinterpret_cast<const unsigned short*>(key.c_str()));
        while (array && array[items])
            ++items;
    } catch (const CSystemException& e) {
        std::printf("GetExcludeItems failed: 0x%x\n", e.code);
        return 1;
    }
    const std::string version = TOLVANE_VERSION_STRING;
    std::printf("consumer of Tolvane %s: switch %d, %d exclusion items\n", version.c_str(),
                static_cast<int>(enabled), items);
    return 0;
}
