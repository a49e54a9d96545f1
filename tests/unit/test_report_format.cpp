// The scan report's format: escaping, detection tables, report times with their calendar step, system names.
#include <gtest/gtest.h>

#include <string>

#include "report/OsVersion.h"
#include "report/ReportTemplates.h"
#include "report/ReportTime.h"

namespace {

// A value escaped fully, as an item name (brackets dropped) and ampersands only; the ampersand goes first.
TEST(ReportEscaping, RulesInTheirOrder)
{
    CMyString full(L"<&lt;>'\""), item(full.c_str()), ampersand(full.c_str());
    Report::EscapeFull(full);
    Report::EscapeItemName(item);
    Report::EscapeAmpersand(ampersand);
    EXPECT_EQ(L"&lt;&amp;lt;&gt;&apos;&quot;|&amp;lt;&apos;\"|<&amp;lt;>'\"",
              std::wstring(full.c_str()) + L"|" + item.c_str() + L"|" + ampersand.c_str());
}

TEST(ReportTables, ItemTypeFirstSetFlagWins)
{
    const struct { unsigned int flags; const wchar_t* word; } cases[] = {
        {0x40 | 0x40000, L"File"}, {0x40000 | 0x100, L"Cookie"}, {0x100 | 0x80, L"Memory"},
        {0x80 | 0x20000, L"Boot Sector"}, {0x20000, L"Registry"}, {~(0x40u | 0x40000 | 0x100 | 0x80 | 0x20000), L"Other"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.word, Report::ItemTypeWord(c.flags)) << std::hex << c.flags;
}

// Rows: 0 for the status (by flags, then action code) or 1 for the virus type (by flags, then sub-type); flags;
// code; string number; identifier.
TEST(ReportTables, StatusAndVirusTypeByFlagsThenCode)
{
    const unsigned int cases[][5] = {
        {0, 0x1 | 0x4 | 0x8, 1093, 705, 20124}, {0, 0x4 | 0x8 | 0x2, 0, 707, 20126}, {0, 0x8 | 0x2, 0, 708, 20127},
        {0, 0x2, 0, 706, 20125}, {0, 0x80, 1093, 706, 20125}, {0, 0, 1099, 724, 20501}, {0, 0, 1094, 709, 20128},
        {1, 0x400 | 0x40 | 0x80, 0, 700, 20119}, {1, 0x400 | 0x80, 0, 701, 20120}, {1, 0x400 | 0x800, 0, 702, 20121},
        {1, 0x800 | 0x1000, 0, 703, 20122}, {1, 0x1000 | 0x8000, 0, 704, 20123}, {1, 0x8000 | 0x40000, 0, 713, 20206},
        {1, 0x40000 | 0x4000, 12, 711, 20215}, {1, 0x4000 | 0x10000, 101, 726, 20214},
        {1, 0x4000 | 0x10000, 6, 710, 710}, {1, 0x10000, 12, 714, 20400}, {1, 0x40, 0, 710, 710},
    };
    for (const auto& c : cases) {
        const Report::TextChoice choice =
            c[0] ? Report::ChooseVirusType(c[1], static_cast<unsigned short>(c[2])) : Report::ChooseStatus(c[1], c[2]);
        EXPECT_EQ(std::make_pair(c[3], c[4]), std::make_pair(choice.stringNumber, choice.identifier))
            << c[0] << std::hex << " " << c[1] << std::dec << " " << c[2];
    }
}

// A time and the time one second later, both as text; time-zone biases.
TEST(ReportTime, FormatAndOneSecondStepThroughTheCalendar)
{
    wchar_t text[Report::kTimeChars], next[Report::kTimeChars], bias[Report::kBiasChars];
    const struct { WORD from[6]; const wchar_t* texts; } cases[] = {
        {{2026, 3, 7, 8, 5, 9}, L"2026/03/07 08:05:09 2026/03/07 08:05:10"},
        {{12345, 12, 31, 23, 59, 59}, L"12345/12/31 23:59:59 12346/01/01 00:00:00"},
        {{2024, 2, 29, 23, 59, 59}, L"2024/02/29 23:59:59 2024/03/01 00:00:00"},
        {{2100, 2, 28, 23, 59, 59}, L"2100/02/28 23:59:59 2100/03/01 00:00:00"},
        {{2000, 2, 28, 23, 59, 59}, L"2000/02/28 23:59:59 2000/02/29 00:00:00"},
    };
    for (const auto& c : cases) {
        SYSTEMTIME time = {c.from[0], c.from[1], 3, c.from[2], c.from[3], c.from[4], c.from[5], 999};
        Report::FormatTime(time, text);
        Report::AddSeconds(time, 1);
        Report::FormatTime(time, next);
        EXPECT_EQ(c.texts, std::wstring(text) + L" " + next);
    }
    for (const auto& c : {std::make_pair(300L, L"+300"), {-60L, L"-60"}, {0L, L"+0"}})
        EXPECT_STREQ(c.second, (Report::FormatBias(c.first, bias), bias));
}

TEST(ReportOsVersion, NamesBuildsAndServicePacks)
{
    const DWORD nt = VER_PLATFORM_WIN32_NT, nineX = VER_PLATFORM_WIN32_WINDOWS;
    const std::wstring longPack = L"Service Pack " + std::wstring(114, L'9');   // the member's 127
    const struct { DWORD platform, major, minor, build; std::wstring servicePack; BYTE productType; WORD suite;
                   bool extended; std::wstring text; } cases[] = {
        {nineX, 4, 0, 0x040003B6, L" B", 0, 0, true, L"Windows 95B,Build 950"},
        {nineX, 4, 10, 0x040A08AE, L" A", 0, 0, true, L"Windows 98SE,Build 2222"},
        {nt, 4, 0, 1381, L"Service Pack 6", 2, 0, false, L"Windows NT4 Workstation,Build 1381,Service Pack 6"},
        {nt, 5, 0, 2195, L"", 3, 0x82, true, L"Windows 2000 DataCenter Server,Build 2195"},
        {nt, 5, 1, 2600, L"Service Pack 3", 1, 0x200, true, L"Windows XP Home,Build 2600,Service Pack 3"},
        {nt, 5, 1, 2600, L"", 3, 0x2, true, L"Windows .NET Server,Build 2600"},
        {nt, 6, 1, 7601, L"Update 2", 1, 0, true, L"Windows Vista,Build 7601"},
        {0, 3, 1, 511, L"", 0, 0, true, L"Microsoft Windows 3.1,Build 511"},
        // A service pack that does not fit is cut, and the answer is false.
        {nt, 6, 1, 7601, longPack, 1, 0, true, (L"Windows Vista,Build 7601," + longPack).substr(0, Report::kOsVersionChars - 1)},
    };
    for (const auto& c : cases) {
        OSVERSIONINFOEXW info = {sizeof(info), c.major, c.minor, c.build, c.platform, {}, 0, 0, c.suite, c.productType, 0};
        wcsncpy(info.szCSDVersion, c.servicePack.c_str(), 127);
        wchar_t text[Report::kOsVersionChars];
        EXPECT_EQ(c.servicePack != longPack, Report::DescribeOsVersion(info, c.extended, text));
        EXPECT_EQ(c.text, text);
    }
}

} // namespace
