// How a plain C export runs its work: no exception of any type leaves it,
// and the caller's last-error value is what the export's header comment
// promises (kept with LastErrorKept, else left or set by the work).
#pragma once

#include <utility>

#include "common/LastErrorKept.h"

struct NothingOnException {
    void operator()() const noexcept {}
};

// The result of work, or failure when it throws; onException (which must not
// throw) runs before failure is returned.
template <class Result, class Work, class OnException = NothingOnException>
Result CallExport(Work&& work, Result failure, OnException&& onException = {}) noexcept
{
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        onException();
        return failure;
    }
}

// The same for an export without a result.
template <class Work>
void CallExport(Work&& work) noexcept
{
    try {
        std::forward<Work>(work)();
    } catch (...) {
    }
}
