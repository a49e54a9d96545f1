// CMyString: the common code's UTF-16 string. It tells "no text" (null
// pointer, size 0) from "empty text" (only the terminator, size 1).
// Public because the exported scan report holds strings by value; a client
// only reads those through the inline accessors below. Tolvane.dll exports
// none of its members: a client cannot construct one.
#pragma once

#include "tolvane/Buffer.h"

class CMyString : public CBuffer {
public:
#if defined(TOLVANE_BUILD)
    // Inside the library only (not exported from Tolvane.dll).
    CMyString();
    // A null argument logs and leaves the string without text.
    CMyString(const wchar_t* text);
    CMyString(const CMyString& other);
    ~CMyString();

    CMyString& operator=(const wchar_t* text);
    CMyString& operator=(const CMyString& other);
    CMyString& operator=(const char* text);   // ANSI code page
    CMyString& operator=(long number);

    unsigned int GetLength() const;
    // Position of the first occurrence, or -1.
    int Find(const wchar_t* substring) const;
    void Trim();
    // 1 when either string has no text; n = 0 compares whole strings.
    int Compare(const CMyString& other, unsigned int n = 0) const;
    void Replace(const wchar_t* find, const wchar_t* with);
    void ReplaceChar(wchar_t ch, const wchar_t* with);

protected:
    // Copies text into a fresh allocation (size = length + 1); no guard.
    void CopyFrom(const wchar_t* text);

private:
    // The work of Replace and ReplaceChar, run under their guards.
    void ReplaceUnguarded(const wchar_t* find, const wchar_t* with);
    void ReplaceCharUnguarded(wchar_t ch, const wchar_t* with);

public:
#endif
    bool HasText() const { return m_text != nullptr; }
    const wchar_t* c_str() const { return m_text; }
    operator const wchar_t*() const { return m_text; }
};
