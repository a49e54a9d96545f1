#include "LogCheck.h"

#include <windows.h>

#include <cstdio>

namespace LogCheck {

void Warnings::Add(const std::string& section, const std::string& text)
{
    m_lines.push_back(section.empty() ? "warning: " + text
                                      : "warning: [" + section + "] " + text);
}

void Warnings::Print() const
{
    for (const std::string& line : m_lines)
        std::printf("%s\n", line.c_str());
}

std::string Narrow(const wchar_t* text)
{
    char buffer[4 * MAX_PATH];
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr) <= 0)
        return std::string();
    return buffer;
}

} // namespace LogCheck
