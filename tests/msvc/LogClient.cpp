// A client built with the Microsoft C++ ABI that writes the 150 rounds of log_rounds.h ("M <form>
// <round>") into the shared log; the test script reads them from the log file.
#include "../scripts/client/log_rounds.h"

#include "NoRuntime.h"

void RunChecks()
{
    Check(LogRounds("M", 0, 150, 1), "log: the last error is kept");
}
