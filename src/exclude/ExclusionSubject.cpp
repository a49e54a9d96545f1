#include "exclude/ExclusionSubject.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Whether a segment of path is "." or "..". Asked for every IsExcluded call,
// so it only looks at the characters and allocates nothing.
bool HasDotSegment(const std::wstring& path)
{
    size_t dots = 0;
    bool onlyDots = true;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (onlyDots && (dots == 1 || dots == 2))
                return true;
            dots = 0;
            onlyDots = true;
        } else if (path[i] == L'.') {
            ++dots;
        } else {
            onlyDots = false;
        }
    }
    return false;
}

// Cuts "name:stream" (and "name:stream:type") to "name" in the last segment; a
// drive's colon ("C:name") is not a stream's.
void CutStreamName(std::wstring& path)
{
    size_t segment = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i]))
            segment = i + 1;
    }
    if (segment == 0 && path.size() >= 2 && path[1] == L':')
        segment = 2;
    const size_t colon = path.find(L':', segment);
    if (colon != std::wstring::npos)
        path.erase(colon);
}

} // namespace

bool ExclusionSubject(const wchar_t* path, CMyString& subject)
{
    if (!path) {
        subject = static_cast<const wchar_t*>(nullptr);
        return true;
    }
    std::wstring text = path;
    if (HasDotSegment(text)) {
        for (wchar_t& c : text) {
            if (c == L'/')
                c = L'\\';
        }
        wchar_t resolved[MAX_PATH] = {};
        if (text.size() >= MAX_PATH || !PathCanonicalizeW(resolved, text.c_str()))
            return false;
        text = resolved;
    }
    CutStreamName(text);
    if (text == path)
        subject = path;   // a null or empty path stays without text
    else
        subject = text.c_str();
    return true;
}
