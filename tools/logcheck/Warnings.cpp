#include "LogCheck.h"

#include <cstdarg>
#include <cstdio>

namespace LogCheck {

void Warnings::Add(const std::string& section, const std::string& text)
{
    m_lines.push_back(section.empty() ? "warning: " + text
                                      : "warning: [" + section + "] " + text);
}

void Say(std::string& out, const char* format, ...)
{
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(static_cast<size_t>(length));
        out += text;
    }
    va_end(again);
    va_end(args);
}

} // namespace LogCheck
