// The events of the C++ log client (Microsoft ABI): the rounds first, first + step, ... below
// count, each "TAG <form> <round>" through the C++ convenience, narrow and wide in turn, with Windows error 2
// attached to every third ("e" in front of the form). False when a call changed the last error.
#pragma once

#include <tolvane.h>

inline bool LogRounds(const char* tag, int first, int count, int step)
{
    static const char* const categories[] = {"Brisko", "OrbiskUI"};
    bool kept = true;
    for (int round = first; round < count; round += step) {
        SetLastError(1234);
        Tolvane::LogCall call = TOLVANE_CLIENT_LOG(INFO, categories[round % 2]); // log-site
        const char* e = round % 3 == 0 ? "e" : "";
        if (*e)
            call.WithError(ERROR_FILE_NOT_FOUND);
        round % 2 ? call.Write("%s %snarrow %d", tag, e, round) : call.Write(L"%hs %hswide %d", tag, e, round);
        kept = kept && GetLastError() == 1234;
    }
    return kept;
}
