// How a plain C export runs its work: no exception of any type leaves it,
// and the caller's last-error value is what the export's header comment
// promises (kept with LastErrorKept, else left or set by the work).
#pragma once

#include <windows.h>

#include <utility>

// Restores the calling thread's last-error value when it goes out of scope.
class LastErrorKept {
public:
    LastErrorKept() : m_saved(GetLastError()) {}
    ~LastErrorKept() { SetLastError(m_saved); }
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    DWORD m_saved;
};

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
