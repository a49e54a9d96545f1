// log_client_cpp TAG COUNT: two threads write the rounds of log_rounds.h. Exits with 1 when a call
// changed the last error.
#include <cstdlib>
#include <thread>

#include "log_rounds.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const int count = std::atoi(argv[2]);
    bool second = false;
    std::thread other([&] { second = LogRounds(argv[1], 1, count, 2); });
    const bool first = LogRounds(argv[1], 0, count, 2);
    other.join();
    return first && second ? 0 : 1;
}
