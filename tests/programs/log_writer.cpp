// log_writer TAG COUNT [THREADS]: writes COUNT Info events "TAG-00000", "TAG-00001", ... of category "Tolvane"
// over THREADS threads (default 1), through the log front end configured as the registry and ini file say.
#include <cstdlib>
#include <thread>
#include <vector>

#include "log/LogEvent.h"

int main(int argc, char** argv)
{
    const int count = atoi(argv[2]), threads = argc > 3 ? atoi(argv[3]) : 1;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([=] {
            for (int i = t; i < count; i += threads)
                LOG_EVENT(Info, "Tolvane").Write("%s-%05d", argv[1], i);
        });
    for (std::thread& worker : workers)
        worker.join();
}
