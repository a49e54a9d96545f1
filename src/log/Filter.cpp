#include "log/Filter.h"

#include <cstring>

namespace LogUtils {

LogLevel ParseLevel(const char* text, size_t length)
{
    for (unsigned int level = Emergency; level <= Debug; ++level) {
        const char* name = LevelName(static_cast<LogLevel>(level));
        if (length <= strlen(name) && _strnicmp(name, text, length) == 0)
            return static_cast<LogLevel>(level);
    }
    return Debug;
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

bool MatchesFilter(const LogEvent& event, const char* filter)
{
    bool admitted = false;
    const char* p = filter;
    while (*p) {
        while (*p == ' ')
            ++p;
        const char* term = p;
        while (*p && *p != ' ')
            ++p;
        if (p == term)
            break;
        bool negative = *term == '~';
        if (negative) {
            if (MatchesTerm(event, term + 1, static_cast<size_t>(p - term - 1)))
                return false;
        } else if (!admitted) {
            admitted = MatchesTerm(event, term, static_cast<size_t>(p - term));
        }
    }
    return admitted;
}

} // namespace LogUtils
