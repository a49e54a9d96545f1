// Reports whose values hold what XML parsers reject: every value that the report takes from the registry, the
// partner component or the detection record gets a corpus of hostile strings. Values that are fine stay as they
// are; the others are made well-formed. tests/scripts/report_xml.sh checks the copies with xmllint.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestInstall.h"
#include "tolvane/ScnXml.h"

using namespace testsupport;

namespace {

// The value of the first attribute `name="` after `<tag ` in a UTF-8 report.
std::wstring AttributeOf(const std::string& utf8, const std::wstring& tag, const std::wstring& name)
{
    std::wstring report(utf8.size(), L'\0');
    report.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &report[0],
                                      static_cast<int>(report.size())));
    const size_t start = report.find(name + L"=\"", report.find(L"<" + tag + L" ")) + name.size() + 2;
    return report.substr(start, report.find(L'"', start) - start);
}

// A hostile value, as the company (no escaping of its own) and as the item name (less-than and greater-than
// signs dropped, ampersand and apostrophe escaped; null: as the company) come out in the report.
const struct { const wchar_t* value; const wchar_t* company; const wchar_t* itemName; } kHostile[] = {
    {L"&amp;&lt;&#65;&#x1F600;", L"&amp;&lt;&#65;&#x1F600;", L"&amp;amp;&amp;lt;&amp;#65;&amp;#x1F600;"},
    {L"&#0;&#xFFFE;&#;&#x110000;&bogus;&", L"&amp;#0;&amp;#xFFFE;&amp;#;&amp;#x110000;&amp;bogus;&amp;", nullptr},
    {L"\x01\tx\x1F\r\n\x7F\xFFFE\xFFFF\xFFFD", L"\xFFFD\tx\xFFFD\r\n\x7F\xFFFD\xFFFD\xFFFD", nullptr},
    {L"\xD800x\xDC00\xDC00\xD800\xD83D\xDE00", L"\xFFFDx\xFFFD\xFFFD\xFFFD\xD83D\xDE00", nullptr},
    {L"]]>'", L"]]>'", L"]]&apos;"},   // a greater-than sign is legal in an attribute: kept
    {L"%TIME%", L"%TIME%", nullptr},
    {L"<\"&\x01>", L"&lt;&quot;&amp;\xFFFD&gt;", L"&quot;&amp;\xFFFD"},
};

TEST(ScanReportLibrary, HostileValuesInEveryFieldGiveWellFormedReports)
{
    int number = 0;
    for (const auto& hostile : kHostile) {
        SCOPED_TRACE(number);
        const std::wstring value = hostile.value;
        TestInstall sandbox;
        PartnerComponent partner;
        partner.Register();
        partner.Tell(value, 1, value);
        sandbox.agent.SetDword(L"bPartnerBuild", 1);
        for (const wchar_t* name : {L"szMachineID", L"szCompanyKey", L"szEmailAddress"})
            sandbox.agent.SetString(name, value);
        for (const wchar_t* name : {L"AvDatVer", L"AvDatDate", L"EngineVer"})
            sandbox.pelorin.SetString(name, value);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        {
            CScnXml report;
            ASSERT_EQ(1, report.Init(nullptr));
            const unsigned short* text = reinterpret_cast<const unsigned short*>(value.c_str());
            CInfected detection = {text, text, CInfected::FlagFile, 0, 0, text, text};
            EXPECT_EQ(1, report.AddInfected(detection));
        }
        CoUninitialize();

        const std::string report = ReadFileBytes(sandbox.OnlyReport());
        EXPECT_EQ(hostile.company, AttributeOf(report, L"Entitlement", L"value"));
        EXPECT_EQ(value == L"%TIME%" ? AttributeOf(report, L"MachineID", L"time") : hostile.company,
                  AttributeOf(report, L"Build", L"partnerCode")) << "the partner code goes in before the time";
        EXPECT_EQ(hostile.itemName ? hostile.itemName : hostile.company, AttributeOf(report, L"FileName", L"value"));
        sandbox.KeepForXmlCheck(L"Hostile-" + std::to_wstring(number++));
    }
}

} // namespace
