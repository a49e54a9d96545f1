// LastErrorKept: restores the calling thread's last-error value when it goes
// out of scope, also when an exception leaves the scope.
#pragma once

#include <windows.h>

class LastErrorKept {
public:
    LastErrorKept() : m_saved(GetLastError()) {}
    ~LastErrorKept() { SetLastError(m_saved); }
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    DWORD m_saved;
};
