// The scan report's templates, escaping and detection tables.
#include "report/ReportTemplates.h"

#include "report/AttributeSafe.h"
#include "tolvane/ScnXml.h"

namespace Report {

// The header's first two lines, and the machine lines that follow them in
// both headers (the partner header puts its Build element in between). The
// HalcyraIsEnabled line is indented by two tabs and has a blank before "/>";
// both belong to the format.
#define REPORT_DECLARATION_AND_ROOT \
    L"<?xml version=\"1.0\" %IDS_TOLVANE_XML_ENCODING%?>\r\n" \
    L"<Root>\r\n"

#define REPORT_MACHINE_LINES \
    L"    <MachineID value=\"%CPUID%\" time=\"%TIME%\">\r\n" \
    L"        <MachineIDTZ value=\"%TZ%\"/>\r\n" \
    L"        <MachineName value=\"%CPUNAME%\"/>\r\n" \
    L"        <EmailAddress value=\"%EMAIL%\"/>\r\n" \
    L"        <IPAddress value=\"%IPADDRESS%\"/>\r\n" \
    L"        <OSVersion value=\"%OSVERSION%\"/>\r\n" \
    L"        <IEVersion value=\"%IEVERSION%\"/>\r\n" \
    L"        <Software value=\"Halvane\" version=\"%SOFTVER%\"/>\r\n" \
    L"        <SoftwareLanguageID value=\"%LANGUAGEID%\"/>\r\n" \
    L"        <EngineVersion value=\"%ENGINEVERSION%\"/>\r\n" \
    L"        <DATVersion value=\"%AVDATVERSION%\"/>\r\n" \
    L"        <DATDate value=\"%AVDATDATE%\"/>\r\n" \
    L"        <AgentBuildVersion value=\"%AGENTBUILDVERSION%\"/>\r\n" \
    L"        <ScannerBuildVersion value=\"%SCANNERBUILDVERSION%\"/>\r\n" \
    L"\t\t<HalcyraIsEnabled value=\"%HALCYRASTATUS%\" />\r\n" \
    L"        <KVBServerIsEnabled value=\"%KVBFLAG%\"/>\r\n" \
    L"        <GroupID value=\"%GROUPID%\"/>\r\n" \
    L"        <Entitlement value=\"%COMPANY%\">\r\n"

// Plain header: opens Root, MachineID and Entitlement.
const wchar_t kPlainHeader[] = REPORT_DECLARATION_AND_ROOT REPORT_MACHINE_LINES;

// Partner header: the plain header with the Build element after <Root>.
const wchar_t kPartnerHeader[] = REPORT_DECLARATION_AND_ROOT
    L"\t<Build ID=\"%BUILDID%\" Type=\"%BUILDTYPE%\" partnerCode=\"%PARTNERCODE%\">\r\n"
    L"\t</Build>\r\n"
    REPORT_MACHINE_LINES;

// One detection. The FileType line is indented by four tabs.
const wchar_t kDetectionBlock[] =
    L"            <VirusFound time=\"%TIME%\">\r\n"
    L"                <VirusFoundTZ value=\"%TZ%\"/>\r\n"
    L"                <VirusName value=\"%VIRUSNAME%\"/>\r\n"
    L"                <FileName value=\"%ITEMNAME%\"/>\r\n"
    L"\t\t\t\t<FileType value=\"%ITEMTYPE%\"/>\r\n"
    L"                <Status value=\"%STATUS%\"/>\r\n"
    L"                <StatusID value=\"%STATUSID%\"/>\r\n"
    L"                <VirusType value=\"%VIRUSTYPE%\"/>\r\n"
    L"                <VirusTypeID value=\"%VIRUSTYPEID%\"/>\r\n"
    L"                <BofProcName value=\"%BOFPROCNAME%\"/>\r\n"
    L"                <BofModulName value=\"%BOFMODULNAME%\"/>\r\n"
    L"                <BofAPIName value=\"%BOFAPINAME%\"/>\r\n"
    L"                <BofExploitName value=\"%BOFEXPLOITNAME%\"/>\r\n"
    L"            </VirusFound>\r\n";

// Statistics; closes Entitlement, MachineID and Root.
const wchar_t kStatisticsBlock[] =
    L"        <Statistics time=\"%TIME%\">\r\n"
    L"            <StatisticsTZ value=\"%TZ%\"/>\r\n"
    L"            <FilesScanned value=\"%NUMFILESCANNED%\"/>\r\n"
    L"            <FilesInfected value=\"%NUMFILEINFECTED%\"/>\r\n"
    L"        </Statistics>\r\n"
    L"        </Entitlement>\r\n"
    L"    </MachineID>\r\n"
    L"</Root>\r\n";

void Expand(CMyString& text, const wchar_t* placeholder, const wchar_t* value)
{
    text.Replace(placeholder, AttributeSafe(value).c_str());
}

void ExpandDeclaration(CMyString& text, const wchar_t* placeholder, const wchar_t* value)
{
    text.Replace(placeholder, value ? value : L"");
}

void EscapeFull(CMyString& value)
{
    value.Replace(L"&", L"&amp;");
    value.Replace(L">", L"&gt;");
    value.Replace(L"<", L"&lt;");
    value.Replace(L"'", L"&apos;");
    value.Replace(L"\"", L"&quot;");
}

void EscapeItemName(CMyString& value)
{
    value.Replace(L"<", L"");
    value.Replace(L">", L"");
    value.Replace(L"&", L"&amp;");
    value.Replace(L"'", L"&apos;");
}

void EscapeAmpersand(CMyString& value)
{
    value.Replace(L"&", L"&amp;");
}

const wchar_t* ItemTypeWord(unsigned int flags)
{
    static const struct {
        unsigned int bit;
        const wchar_t* word;
    } kItemTypes[] = {
        {CInfected::FlagFile, L"File"},
        {CInfected::FlagCookie, L"Cookie"},
        {CInfected::FlagMemory, L"Memory"},
        {CInfected::FlagBootSector, L"Boot Sector"},
        {CInfected::FlagRegistry, L"Registry"},
    };
    for (const auto& type : kItemTypes)
        if (flags & type.bit)
            return type.word;
    return L"Other";
}

TextChoice ChooseStatus(unsigned int flags, unsigned int actionCode)
{
    static const struct {
        unsigned int bit;
        TextChoice choice;
    } kFlagStatus[] = {
        {CInfected::FlagCleaned, {705, 20124}},
        {CInfected::FlagDeleted, {707, 20126}},
        {CInfected::FlagQuarantined, {708, 20127}},
        {CInfected::FlagCleanFailed, {706, 20125}},
        {CInfected::FlagBootSector, {706, 20125}},
    };
    for (const auto& row : kFlagStatus)
        if (flags & row.bit)
            return row.choice;
    if (actionCode == CInfected::ActionAccessDenied)
        return {721, 20500};
    if (actionCode == CInfected::ActionPendingRestart)
        return {724, 20501};
    return {709, 20128};
}

TextChoice ChooseVirusType(unsigned int flags, unsigned short subType)
{
    if (flags & CInfected::FlagVirus) {
        if (flags & CInfected::FlagFile)
            return {700, 20119};
        if (flags & CInfected::FlagBootSector)
            return {701, 20120};
        return {702, 20121};
    }
    if (flags & CInfected::FlagTrojan)
        return {703, 20122};
    if (flags & CInfected::FlagUnwanted)
        return {704, 20123};
    if (flags & CInfected::FlagBufferOverflow)
        return {713, 20206};
    if (flags & CInfected::FlagCookie)
        return {711, 20215};
    if (flags & CInfected::FlagProgram) {
        static const struct {
            unsigned short subType;
            TextChoice choice;
        } kSubTypes[] = {
            {CInfected::SubTypeUnwanted, {704, 20123}},
            {CInfected::SubTypeAdware, {715, 20207}},
            {CInfected::SubTypeSpyware, {716, 20208}},
            {CInfected::SubTypeDialer, {717, 20209}},
            {CInfected::SubTypeRemoteAdmin, {718, 20210}},
            {CInfected::SubTypePasswordCracker, {719, 20211}},
            {CInfected::SubTypeJoke, {720, 20212}},
            {CInfected::SubTypeKeylogger, {725, 20213}},
            {CInfected::SubTypeHijacker, {726, 20214}},
        };
        for (const auto& row : kSubTypes)
            if (row.subType == subType)
                return row.choice;
        return {710, 710};
    }
    if (flags & CInfected::FlagHeuristic)
        return {714, 20400};
    return {710, 710};
}

} // namespace Report
