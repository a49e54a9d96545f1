// The scan report's format: escaping, the detection tables, the
// report times with their calendar step, and the operating-system names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/OsVersion.h"
#include "report/ReportTemplates.h"
#include "report/ReportTime.h"

namespace {

struct EscapeCase {
    const wchar_t* value;
    const wchar_t* full;
    const wchar_t* itemName;
    const wchar_t* ampersand;
};

TEST(ReportEscaping, RulesInTheirOrder)
{
    const EscapeCase cases[] = {
        {L"&<\"'>", L"&amp;&lt;&quot;&apos;&gt;", L"&amp;\"&apos;", L"&amp;<\"'>"},
        {L"&amp;", L"&amp;amp;", L"&amp;amp;", L"&amp;amp;"},
        {L"a<b>c", L"a&lt;b&gt;c", L"abc", L"a<b>c"},
        {L"<&lt;>", L"&lt;&amp;lt;&gt;", L"&amp;lt;", L"<&amp;lt;>"},
        {L"plain", L"plain", L"plain", L"plain"},
        {L"", L"", L"", L""},
    };
    for (const EscapeCase& c : cases) {
        CMyString full(c.value), item(c.value), ampersand(c.value);
        Report::EscapeFull(full);
        Report::EscapeItemName(item);
        Report::EscapeAmpersand(ampersand);
        EXPECT_STREQ(c.full, full.c_str()) << c.value;
        EXPECT_STREQ(c.itemName, item.c_str()) << c.value;
        EXPECT_STREQ(c.ampersand, ampersand.c_str()) << c.value;
    }
}

TEST(ReportTables, ItemTypeFirstSetFlagWins)
{
    const struct {
        unsigned int flags;
        const wchar_t* word;
    } cases[] = {
        {0x40 | 0x40000, L"File"},   {0x40000 | 0x100, L"Cookie"}, {0x100 | 0x80, L"Memory"},
        {0x80 | 0x20000, L"Boot Sector"}, {0x20000, L"Registry"}, {0, L"Other"},
        {0xFFFFFFFF & ~(0x40u | 0x40000 | 0x100 | 0x80 | 0x20000), L"Other"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.word, Report::ItemTypeWord(c.flags)) << std::hex << c.flags;
}

TEST(ReportTables, StatusByFlagsThenActionCode)
{
    const struct {
        unsigned int flags, action, number, identifier;
    } cases[] = {
        {0x1 | 0x4 | 0x8, 1093, 705, 20124}, {0x4 | 0x8 | 0x2, 0, 707, 20126},
        {0x8 | 0x2, 0, 708, 20127},          {0x2 | 0x80, 0, 706, 20125},
        {0x80, 1093, 706, 20125},            {0x40, 1093, 721, 20500},
        {0, 1099, 724, 20501},               {0, 1094, 709, 20128},
        {0x10, 0, 709, 20128},
    };
    for (const auto& c : cases) {
        const Report::TextChoice choice = Report::ChooseStatus(c.flags, c.action);
        EXPECT_EQ(c.number, choice.stringNumber) << std::hex << c.flags << " " << std::dec << c.action;
        EXPECT_EQ(c.identifier, choice.identifier) << std::hex << c.flags;
    }
}

TEST(ReportTables, VirusTypeByFlagsAndSubType)
{
    const struct {
        unsigned int flags;
        unsigned short subType;
        unsigned int number, identifier;
    } cases[] = {
        {0x400 | 0x40 | 0x80, 0, 700, 20119}, {0x400 | 0x80, 0, 701, 20120},
        {0x400 | 0x800, 0, 702, 20121},       {0x800 | 0x1000, 0, 703, 20122},
        {0x1000 | 0x8000, 0, 704, 20123},     {0x8000 | 0x40000, 0, 713, 20206},
        {0x40000 | 0x4000, 12, 711, 20215},   {0x4000, 5, 704, 20123},
        {0x4000, 12, 715, 20207},             {0x4000, 13, 716, 20208},
        {0x4000, 14, 717, 20209},             {0x4000, 15, 718, 20210},
        {0x4000, 16, 719, 20211},             {0x4000, 17, 720, 20212},
        {0x4000, 100, 725, 20213},            {0x4000 | 0x10000, 101, 726, 20214},
        {0x4000 | 0x10000, 6, 710, 710},      {0x10000, 12, 714, 20400},
        {0x40, 0, 710, 710},
    };
    for (const auto& c : cases) {
        const Report::TextChoice choice = Report::ChooseVirusType(c.flags, c.subType);
        EXPECT_EQ(c.number, choice.stringNumber) << std::hex << c.flags << " " << std::dec << c.subType;
        EXPECT_EQ(c.identifier, choice.identifier) << std::hex << c.flags << " " << std::dec << c.subType;
    }
}

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = 999;
    time.wDayOfWeek = 3;
    return time;
}

TEST(ReportTime, FormatsOfTimeAndBias)
{
    wchar_t text[Report::kTimeChars];
    Report::FormatTime(Time(2026, 3, 7, 8, 5, 9), text);
    EXPECT_STREQ(L"2026/03/07 08:05:09", text);
    Report::FormatTime(Time(12345, 12, 31, 23, 59, 59), text);
    EXPECT_STREQ(L"12345/12/31 23:59:59", text);

    const struct {
        long bias;
        const wchar_t* text;
    } biases[] = {{300, L"+300"}, {-60, L"-60"}, {0, L"+0"}, {-720, L"-720"}};
    for (const auto& c : biases) {
        wchar_t bias[Report::kBiasChars];
        Report::FormatBias(c.bias, bias);
        EXPECT_STREQ(c.text, bias);
    }
}

TEST(ReportTime, OneSecondStepCarriesThroughTheCalendar)
{
    const struct {
        SYSTEMTIME from;
        const wchar_t* to;
    } cases[] = {
        {Time(2026, 12, 31, 23, 59, 59), L"2027/01/01 00:00:00"},
        {Time(2024, 2, 28, 23, 59, 59), L"2024/02/29 00:00:00"},
        {Time(2024, 2, 29, 23, 59, 59), L"2024/03/01 00:00:00"},
        {Time(2026, 2, 28, 23, 59, 59), L"2026/03/01 00:00:00"},
        {Time(2100, 2, 28, 23, 59, 59), L"2100/03/01 00:00:00"},
        {Time(2000, 2, 28, 23, 59, 59), L"2000/02/29 00:00:00"},
        {Time(2024, 12, 31, 12, 0, 0), L"2024/12/31 12:00:01"},
        {Time(2024, 12, 31, 23, 59, 59), L"2025/01/01 00:00:00"},
        {Time(2026, 4, 30, 23, 59, 59), L"2026/05/01 00:00:00"},
        {Time(2026, 7, 14, 10, 59, 59), L"2026/07/14 11:00:00"},
        {Time(2026, 7, 14, 10, 20, 30), L"2026/07/14 10:20:31"},
        {Time(2000, 1, 1, 0, 0, 0), L"2000/01/01 00:00:01"},
    };
    for (const auto& c : cases) {
        SYSTEMTIME time = c.from;
        Report::AddSeconds(time, 1);
        wchar_t text[Report::kTimeChars];
        Report::FormatTime(time, text);
        EXPECT_STREQ(c.to, text);
        EXPECT_EQ(0, time.wDayOfWeek);
        EXPECT_EQ(0, time.wMilliseconds);
    }
}

OSVERSIONINFOEXW Version(DWORD platform, DWORD major, DWORD minor, DWORD build,
                         const wchar_t* servicePack, BYTE productType, WORD suite)
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwPlatformId = platform;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = build;
    wcsncpy(info.szCSDVersion, servicePack, 127);
    info.wProductType = productType;
    info.wSuiteMask = suite;
    return info;
}

TEST(ReportOsVersion, NamesBuildsAndServicePacks)
{
    const DWORD nt = VER_PLATFORM_WIN32_NT, nineX = VER_PLATFORM_WIN32_WINDOWS;
    const struct {
        OSVERSIONINFOEXW info;
        bool extended;
        const wchar_t* text;
    } cases[] = {
        {Version(nineX, 4, 0, 0x040003B6, L" B", 0, 0), true, L"Windows 95B,Build 950"},
        {Version(nineX, 4, 0, 950, L" C", 0, 0), true, L"Windows 95C,Build 950"},
        {Version(nineX, 4, 0, 950, L"", 0, 0), true, L"Windows 95A,Build 950"},
        {Version(nineX, 4, 10, 0x040A08AE, L" A", 0, 0), true, L"Windows 98SE,Build 2222"},
        {Version(nineX, 4, 10, 1998, L"", 0, 0), true, L"Windows 98,Build 1998"},
        {Version(nineX, 4, 90, 3000, L"", 0, 0), true, L"Windows ME,Build 3000"},
        {Version(nt, 4, 0, 1381, L"Service Pack 6", 2, 0), false,
         L"Windows NT4 Workstation,Build 1381,Service Pack 6"},
        {Version(nt, 4, 0, 1381, L"", 3, 0), true, L"Windows NT4 Server,Build 1381"},
        {Version(nt, 5, 0, 2195, L"", 1, 0x80), true, L"Windows 2000 Professional,Build 2195"},
        {Version(nt, 5, 0, 2195, L"", 3, 0x82), true, L"Windows 2000 DataCenter Server,Build 2195"},
        {Version(nt, 5, 0, 2195, L"", 2, 0x2), true, L"Windows 2000 Advanced Server,Build 2195"},
        {Version(nt, 5, 0, 2195, L"", 3, 0), true, L"Windows 2000 Server,Build 2195"},
        {Version(nt, 5, 1, 2600, L"Service Pack 3", 1, 0x200), true,
         L"Windows XP Home,Build 2600,Service Pack 3"},
        {Version(nt, 5, 1, 2600, L"Service Pack 3", 1, 0), true,
         L"Windows XP Professional,Build 2600,Service Pack 3"},
        {Version(nt, 5, 1, 2600, L"", 3, 0x2), true, L"Windows .NET Server,Build 2600"},
        {Version(nt, 5, 1, 2600, L"", 3, 0), true, L"Windows XP Professional,Build 2600"},
        {Version(nt, 5, 2, 3790, L"", 3, 0), true, L"Windows .NET Server,Build 3790"},
        {Version(nt, 5, 2, 3790, L"", 1, 0), true, L"Microsoft Windows 5.2,Build 3790"},
        {Version(nt, 6, 0, 6001, L"", 3, 0x80), true, L"Windows Longhorn DataCenter Server,Build 6001"},
        {Version(nt, 6, 0, 6001, L"", 3, 0x2), true, L"Windows Longhorn Enterprise Server,Build 6001"},
        {Version(nt, 6, 0, 6000, L"", 1, 0), true, L"Windows Vista,Build 6000"},
        {Version(nt, 6, 1, 7601, L"Service Pack 1", 1, 0), true,
         L"Windows Vista,Build 7601,Service Pack 1"},
        {Version(nt, 10, 0, 19045, L"", 1, 0), true, L"Microsoft Windows 10.0,Build 19045"},
        {Version(nt, 6, 1, 7601, L"Update 2", 1, 0), true, L"Windows Vista,Build 7601"},
        {Version(0, 3, 1, 511, L"", 0, 0), true, L"Microsoft Windows 3.1,Build 511"},
    };
    for (const auto& c : cases) {
        wchar_t text[Report::kOsVersionChars];
        EXPECT_TRUE(Report::DescribeOsVersion(c.info, c.extended, text));
        EXPECT_STREQ(c.text, text);
    }
}

TEST(ReportOsVersion, ServicePackThatDoesNotFitIsCut)
{
    std::wstring servicePack = L"Service Pack ";
    servicePack.append(114, L'9');   // 127 characters, the member's limit
    const OSVERSIONINFOEXW info = Version(VER_PLATFORM_WIN32_NT, 6, 1, 7601, servicePack.c_str(), 1, 0);
    wchar_t text[Report::kOsVersionChars];
    EXPECT_FALSE(Report::DescribeOsVersion(info, true, text));
    const std::wstring expected = L"Windows Vista,Build 7601," + servicePack;
    EXPECT_EQ(expected.substr(0, Report::kOsVersionChars - 1), text);
}

} // namespace
