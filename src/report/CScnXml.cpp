// CScnXml: the scan report. The header is written by Init, one detection
// block by each AddInfected, and the statistics block, which closes the
// document, by the destructor, which then gives the file its final name.
#include "tolvane/ScnXml.h"

#include <strsafe.h>

#include <cwchar>

#include "common/FileName.h"
#include "lang/LoadLang.h"
#include "log/LogEvent.h"
#include "report/PartnerBuild.h"
#include "report/ReportTemplates.h"
#include "report/ReportTime.h"

namespace {

constexpr wchar_t kResourceLibraryName[] = L"QxRes_l.dll";
constexpr int kResourceTextChars = 1000;
constexpr unsigned int kReportNameChars = 260;

const wchar_t* Wide(const unsigned short* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

// A record text, escaped by rule; a null pointer counts as empty text.
CMyString EscapedValue(const unsigned short* text, void (*escape)(CMyString&))
{
    CMyString value;
    value = text ? Wide(text) : L"";
    escape(value);
    return value;
}

void FormatUnsigned(unsigned int number, wchar_t (&text)[16])
{
    StringCchPrintfW(text, 16, L"%u", number);
}

// The time and bias placeholders of a block, from the given time.
void ExpandTime(CMyString& text, const wchar_t* time, long bias)
{
    wchar_t biasText[Report::kBiasChars];
    Report::FormatBias(bias, biasText);
    Report::Expand(text, L"%TIME%", time);
    Report::Expand(text, L"%TZ%", biasText);
}

} // namespace

CScnXml::CScnXml()
    : m_stopped(0), m_filesScanned(0), m_filesInfected(0), m_resourceLibrary(nullptr),
      m_partnerBuild(0)
{
    TOLVANE_LOG(Info).Write("Testing: CScnXml::CScnXml(): Sizeof(TCHAR)=%d",
                            static_cast<int>(sizeof(TCHAR)));
    m_resourceLibrary = LoadResourceLibrary(kResourceLibraryName, nullptr);
    if (!m_resourceLibrary)
        TOLVANE_LOG(Error).Write("Unable to get the resource DLL. Error: %lu", GetLastError());
}

CScnXml::~CScnXml()
{
    try {
        if (!m_stopped) {
            SYSTEMTIME now;
            long bias = 0;
            Report::TakeLocalTime(now, bias);
            wchar_t time[Report::kTimeChars];
            Report::FormatTime(now, time);
            CMyString block(Report::kStatisticsBlock);
            ExpandTime(block, time, bias);
            CMyString scanned;
            scanned = static_cast<long>(static_cast<int>(m_filesScanned));
            CMyString infected;
            infected = static_cast<long>(static_cast<int>(m_filesInfected));
            Report::Expand(block, L"%NUMFILESCANNED%", scanned);
            Report::Expand(block, L"%NUMFILEINFECTED%", infected);
            const bool written = m_scanFile.WriteText(block) > 0;
            m_scanFile.Close();

            CFileName temporary;
            temporary = m_scanFile.GetName();
            if (written) {
                CFileName finalName;
                finalName = m_scanFile.GetName();
                finalName.RemoveFileSpec(L'.');
                finalName.Append(L"Xml", L'.');
                MoveFileW(temporary.c_str(), finalName.c_str());
            } else {
                temporary.Delete();
            }
        }
    } catch (...) {
        // A failed string allocation leaves the report as it is.
    }
    if (m_resourceLibrary)
        FreeLibrary(m_resourceLibrary);
    m_resourceLibrary = nullptr;
}

int CScnXml::Init(const unsigned short* /*path*/)
{
    int result = 0;
    try {
        CReportBase::Init(nullptr);
        if (Report::IsPartnerBuild()) {
            m_partnerBuild = 1;
            Report::QueryPartnerBuild(m_buildId, m_buildType, m_partnerCode);
        }
        wchar_t name[kReportNameChars + 1] = {};
        SetLastError(ERROR_SUCCESS);
        if (!GetReportFileName(name, kReportNameChars) && GetLastError() == ERROR_FILENAME_EXCED_RANGE) {
            // The upload folder leaves no room for a whole name: no file anywhere.
            m_stopped = 1;
            return 0;
        }
        CreateXmlFile(name);
        m_scanFile.SetName(name);
        if (m_scanFile.Open(1)) {
            CMyString header(m_partnerBuild ? Report::kPartnerHeader : Report::kPlainHeader);
            Report::ExpandDeclaration(header, L"%IDS_TOLVANE_XML_ENCODING%", m_encoding);
            if (m_partnerBuild) {
                Report::Expand(header, L"%BUILDID%", m_buildId);
                Report::Expand(header, L"%BUILDTYPE%", m_buildType);
                Report::Expand(header, L"%PARTNERCODE%", m_partnerCode);
            }
            SYSTEMTIME now;
            long bias = 0;
            Report::TakeLocalTime(now, bias);
            wchar_t time[Report::kTimeChars];
            Report::FormatTime(now, time);
            ExpandTime(header, time, bias);
            ExpandStatusPlaceholders(header);
            result = m_scanFile.WriteText(header) > 0 ? 1 : 0;
        }
    } catch (...) {
        result = 0;
    }
    if (!result)
        m_stopped = 1;
    return result;
}

int CScnXml::AddInfected(CInfected& record)
{
    if (m_stopped)
        return 0;
    try {
        SYSTEMTIME now;
        long bias = 0;
        Report::TakeLocalTime(now, bias);
        wchar_t time[Report::kTimeChars];
        Report::FormatTime(now, time);
        if (m_lastDetectionTime.HasText() && wcscmp(m_lastDetectionTime.c_str(), time) == 0) {
            Report::AddSeconds(now, 1);
            Report::FormatTime(now, time);
        }
        m_lastDetectionTime = time;

        const Report::TextChoice status = Report::ChooseStatus(record.flags, record.actionCode);
        const Report::TextChoice virusType =
            Report::ChooseVirusType(record.flags, record.detectionSubType);
        wchar_t statusText[kResourceTextChars] = {};
        LoadStringW(m_resourceLibrary, status.stringNumber, statusText, kResourceTextChars);
        wchar_t virusTypeText[kResourceTextChars] = {};
        LoadStringW(m_resourceLibrary, virusType.stringNumber, virusTypeText, kResourceTextChars);
        wchar_t statusId[16];
        FormatUnsigned(status.identifier, statusId);
        wchar_t virusTypeId[16];
        FormatUnsigned(virusType.identifier, virusTypeId);

        CMyString block(Report::kDetectionBlock);
        ExpandTime(block, time, bias);
        Report::Expand(block, L"%ITEMNAME%", EscapedValue(record.itemName, Report::EscapeItemName));
        Report::Expand(block, L"%ITEMTYPE%", Report::ItemTypeWord(record.flags));
        Report::Expand(block, L"%VIRUSNAME%", EscapedValue(record.virusName, Report::EscapeFull));
        Report::Expand(block, L"%BOFPROCNAME%",
                       EscapedValue(record.bofProcessName, Report::EscapeFull));
        Report::Expand(block, L"%BOFMODULNAME%", L"");
        Report::Expand(block, L"%BOFAPINAME%", L"");
        Report::Expand(block, L"%BOFEXPLOITNAME%",
                       EscapedValue(record.bofExploitName, Report::EscapeFull));
        Report::Expand(block, L"%STATUS%", statusText);
        Report::Expand(block, L"%STATUSID%", statusId);
        Report::Expand(block, L"%VIRUSTYPE%", virusTypeText);
        Report::Expand(block, L"%VIRUSTYPEID%", virusTypeId);
        if (m_scanFile.WriteText(block) == 0)
            return 0;
        ++m_filesInfected;
        return 1;
    } catch (...) {
        return 0;
    }
}

void CScnXml::SetNumScanned(unsigned int count)
{
    m_filesScanned = count;
}

const unsigned short* CScnXml::GetXmlFile()
{
    return reinterpret_cast<const unsigned short*>(m_scanFile.GetName().c_str());
}

int CScnXml::XmlFileExist()
{
    return m_scanFile.Exists();
}

int CScnXml::BuildReport(CMyString& /*content*/, void* /*arg*/)
{
    return 1;
}
