// The filter language of the log configuration. A filter is a list of
// terms separated by blanks; a term reads category "." level ("*.Info",
// "Brisko.Debug"), and a term that starts with "~" excludes what it matches.
#pragma once

#include <cstddef>

#include "log/LogEvent.h"

namespace LogUtils {

// One term of a filter: its text behind any "~", and whether it excludes.
struct FilterTerm {
    const char* text;
    size_t length;
    bool negative;
};

// The next term at or behind cursor, which then points behind it; false when
// no term is left.
bool NextFilterTerm(const char*& cursor, FilterTerm& term);

// True when ParseLevel knows the text: it is the beginning of a level name.
bool IsLevelName(const char* text, size_t length);

// True when at least one positive term matches the event and no negative
// term does. An empty filter admits nothing.
bool MatchesFilter(const LogEvent& event, const char* filter);

// One term (without its "~"): the category part matches the beginning of the
// event's category without regard to case ("*" matches every category), and
// the event's level is at most the level that the term names.
bool MatchesTerm(const LogEvent& event, const char* term, size_t length);

// A level name, or the beginning of one, without regard to case; the first
// name of the level table that begins with the text. Anything else: Debug.
LogLevel ParseLevel(const char* text, size_t length);

} // namespace LogUtils
