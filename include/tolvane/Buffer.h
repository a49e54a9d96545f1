// CBuffer: a counted array of 16-bit characters, owned (malloc/free).
// Public because the exported scan report holds strings of the common code
// by value; clients use it only as part of those objects. Tolvane.dll
// exports none of its members: a client cannot construct one.
#pragma once

#include <cwchar>

class CBuffer {
public:
#if defined(TOLVANE_BUILD)
    // Inside the library only (not exported from Tolvane.dll).
    CBuffer();
    // n = 0: empty; otherwise n uninitialised characters. Throws
    // CSystemException 0x10001 (nothing logged) when the allocation fails.
    explicit CBuffer(unsigned int n);
    ~CBuffer();

    void Release();
    // Remove the first occurrence / every occurrence of ch (guarded).
    void RemoveChar(wchar_t ch);
    void RemoveAllChars(wchar_t ch);
#endif
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;

    wchar_t* GetText() const { return m_text; }
    unsigned int GetSize() const { return m_size; }

protected:
    wchar_t* m_text;
    unsigned int m_size;
};
