#include "log/Filter.h"

#include <cstring>

namespace LogUtils {

namespace {

// The level that text begins, or -1.
int FindLevel(const char* text, size_t length)
{
    for (unsigned int level = Emergency; level <= Debug; ++level) {
        const char* name = LevelName(static_cast<LogLevel>(level));
        if (length <= strlen(name) && _strnicmp(name, text, length) == 0)
            return static_cast<int>(level);
    }
    return -1;
}

} // namespace

LogLevel ParseLevel(const char* text, size_t length)
{
    int level = FindLevel(text, length);
    return level < 0 ? Debug : static_cast<LogLevel>(level);
}

bool IsLevelName(const char* text, size_t length)
{
    return FindLevel(text, length) >= 0;
}

bool MatchesTerm(const LogEvent& event, const char* term, size_t length)
{
    const char* dot = static_cast<const char*>(memchr(term, '.', length));
    if (!dot)
        return false;
    size_t categoryLength = static_cast<size_t>(dot - term);
    bool anyCategory = categoryLength == 1 && term[0] == '*';
    if (!anyCategory) {
        const char* category = event.category ? event.category : "";
        if (strlen(category) < categoryLength || _strnicmp(category, term, categoryLength) != 0)
            return false;
    }
    const char* levelText = dot + 1;
    return event.level <= ParseLevel(levelText, static_cast<size_t>(term + length - levelText));
}

bool NextFilterTerm(const char*& cursor, FilterTerm& term)
{
    while (*cursor == ' ')
        ++cursor;
    if (!*cursor)
        return false;
    const char* start = cursor;
    while (*cursor && *cursor != ' ')
        ++cursor;
    term.negative = *start == '~';
    term.text = term.negative ? start + 1 : start;
    term.length = static_cast<size_t>(cursor - term.text);
    return true;
}

bool MatchesFilter(const LogEvent& event, const char* filter)
{
    bool admitted = false;
    FilterTerm term;
    for (const char* cursor = filter; NextFilterTerm(cursor, term);) {
        if (term.negative) {
            if (MatchesTerm(event, term.text, term.length))
                return false;
        } else if (!admitted) {
            admitted = MatchesTerm(event, term.text, term.length);
        }
    }
    return admitted;
}

} // namespace LogUtils
