// Partner builds and the partner-build component.
#include "report/PartnerBuild.h"

#include <objbase.h>
#include <oleauto.h>

#include "common/ClientKeys.h"
#include "common/RegKey.h"
#include "report/PartnerInterfaces.h"

namespace Report {

namespace {

// Copies a BSTR into text and frees it; nothing when the call failed.
void TakeBstr(HRESULT result, BSTR value, CMyString& text)
{
    if (SUCCEEDED(result))
        text = value ? static_cast<const wchar_t*>(value) : L"";
    SysFreeString(value);
}

} // namespace

bool IsPartnerBuild()
{
    DWORD value = 0;
    return ReadRegDwordAt(HKEY_LOCAL_MACHINE, kAgentKey, KEY_READ, L"bPartnerBuild", value) && value != 0;
}

const wchar_t* BuildTypeName(long type)
{
    switch (type) {
    case 0: return L"OEM";
    case 1: return L"SBK";
    case 2: return L"MNK";
    default: return L"NONE";
    }
}

void QueryPartnerBuild(CMyString& buildId, CMyString& buildType, CMyString& partnerCode)
{
    CLSID classId;
    if (FAILED(CLSIDFromProgID(Partner::kProgId, &classId)))
        return;
    Partner::IOemHelper* helper = nullptr;
    if (FAILED(CoCreateInstance(classId, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                    CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                Partner::kHelperIid, reinterpret_cast<void**>(&helper))) ||
        !helper)
        return;
    Partner::IBuildInfo* info = nullptr;
    if (FAILED(helper->GetBuildInfo(&info)) || !info) {
        if (info)
            info->Release();
        helper->Release();
        return;
    }
    BSTR text = nullptr;
    HRESULT result = info->get_BuildID(&text);
    TakeBstr(result, text, buildId);
    long type = 0;
    if (SUCCEEDED(info->get_BuildType(&type)))
        buildType = BuildTypeName(type);
    text = nullptr;
    result = info->get_PartnerCode(&text);
    TakeBstr(result, text, partnerCode);
    info->Release();
    helper->Release();
}

} // namespace Report
