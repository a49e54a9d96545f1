// CScopedHandle: owns a kernel handle (a file, a token, a process) and closes it.
#pragma once

#include <windows.h>

class CScopedHandle {
public:
    explicit CScopedHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~CScopedHandle() { Reset(); }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    HANDLE* Receive() { Reset(); return &m_handle; }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};
