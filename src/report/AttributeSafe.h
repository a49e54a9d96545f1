// The well-formedness pass over every value that goes into a report
// attribute. The report's own escaping rules leave some values that XML
// parsers reject (a double quote in an item name, a less-than sign or a
// stray ampersand in a registry value, control characters); the management
// server would then lose the whole report. Values the parsers accept pass
// unchanged.
#pragma once

#include <string>

namespace Report {

// The value made safe inside a double-quoted attribute: a double quote
// becomes "&quot;", a less-than sign "&lt;", a greater-than sign "&gt;" when
// the value needs changes anyway, an ampersand that starts no predefined
// entity or character reference of a legal character "&amp;"; characters
// that XML 1.0 does not allow (C0 controls but tab, line feed and carriage
// return; U+FFFE, U+FFFF; unpaired surrogates) become U+FFFD. A null value
// counts as empty text.
std::wstring AttributeSafe(const wchar_t* value);

} // namespace Report
