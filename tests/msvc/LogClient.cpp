// A Microsoft-ABI client that writes the 150 rounds of log_rounds.h ("M <form> <round>") into the shared log.
#include "../scripts/client/log_rounds.h"

#include "NoRuntime.h"

void RunChecks() { Check(LogRounds("M", 0, 150, 1), "log: the last error is kept"); }
