// CFileName: a CMyString that joins, splits, tests and deletes paths.
#pragma once

#include <windows.h>

#include "common/CMyString.h"

class CFileName : public CMyString {
public:
    CFileName();
    CFileName(const wchar_t* text);
    CFileName(const CFileName& other);

    CFileName& operator=(const wchar_t* text);
    CFileName& operator=(const CMyString& other);
    CFileName& operator=(const CFileName& other);

    // The separator '\' becomes '/' while the name holds forward slashes.
    void Append(const wchar_t* part, wchar_t separator = L'\\');
    void RemoveFileSpec(wchar_t separator = L'\\');
    void SplitPath(CMyString& folder, CMyString& name) const;
    BOOL Exists() const;
    BOOL IsFolder() const;
    // The wildcard match of exclusion items: this name against a list of
    // ';'-separated patterns.
    BOOL MatchesPattern(const wchar_t* patternList) const;
    // The same match for any text; a null subject or list counts as empty.
    static BOOL MatchesPattern(const wchar_t* subject, const wchar_t* patternList);
    BOOL Delete() const;

    int UsesForwardSlashes() const { return m_forwardSlashes; }

private:
    wchar_t EffectiveSeparator(wchar_t separator) const;
    void NoteSlashes();

    int m_forwardSlashes;
};
