// log_writer TAG COUNT [THREADS]: writes COUNT Info events of category
// "Tolvane" with the messages TAG-00000, TAG-00001, ... through the log front
// end, spread over THREADS threads (default 1). The logging configuration is
// whatever the registry and the ini file say. Used by the logging tests that
// need several writing processes or a debugger.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "log/LogEvent.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: log_writer TAG COUNT [THREADS]\n");
        return 2;
    }
    const char* tag = argv[1];
    const int count = atoi(argv[2]);
    const int threads = argc > 3 ? atoi(argv[3]) : 1;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([=] {
            for (int i = t; i < count; i += threads)
                LOG_EVENT(Info, "Tolvane").Write("%s-%05d", tag, i);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    return 0;
}
