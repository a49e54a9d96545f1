// CBuffer: a counted array of 16-bit characters, owned (malloc/free).
// Public because the exported scan report holds strings of the common code
// by value; clients use it only as part of those objects.
#pragma once

#include <cwchar>

class CBuffer {
public:
    CBuffer();
    // n = 0: empty; otherwise n uninitialised characters. Throws
    // CSystemException 0x10001 (nothing logged) when the allocation fails.
    explicit CBuffer(unsigned int n);
    ~CBuffer();
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;

    void Release();
    // Remove the first occurrence / every occurrence of ch (guarded).
    void RemoveChar(wchar_t ch);
    void RemoveAllChars(wchar_t ch);

    wchar_t* GetText() const { return m_text; }
    unsigned int GetSize() const { return m_size; }

protected:
    wchar_t* m_text;
    unsigned int m_size;
};
