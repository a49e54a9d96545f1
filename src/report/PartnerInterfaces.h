// The interfaces of the partner-build component "TavrelToDrune.OEMHelper",
// shared by the scan report (which calls them) and the sample component.
// Both are dual interfaces: IDispatch's four methods come first.
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace Partner {

constexpr wchar_t kProgId[] = L"TavrelToDrune.OEMHelper";

// {132923B7-8D18-496C-A5C9-813F92608DCF}
constexpr IID kHelperIid = {0x132923b7, 0x8d18, 0x496c,
                            {0xa5, 0xc9, 0x81, 0x3f, 0x92, 0x60, 0x8d, 0xcf}};
// {8E4A6D21-7B3C-4F59-A0D2-3C9B1E6F7A45}
constexpr IID kBuildInfoIid = {0x8e4a6d21, 0x7b3c, 0x4f59,
                               {0xa0, 0xd2, 0x3c, 0x9b, 0x1e, 0x6f, 0x7a, 0x45}};

// The build description of the installation.
struct IBuildInfo : public IDispatch {
    // 0 OEM, 1 SBK, 2 MNK, anything else none.
    virtual HRESULT STDMETHODCALLTYPE get_BuildType(long* type) = 0;          // method 8
    virtual HRESULT STDMETHODCALLTYPE get_BuildID(BSTR* id) = 0;              // method 9
    virtual HRESULT STDMETHODCALLTYPE get_ProductName(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProductVersion(BSTR* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PartnerName(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportUrl(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HelpUrl(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UpdateUrl(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PurchaseUrl(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Region(BSTR* region) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Channel(BSTR* channel) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Edition(BSTR* edition) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PartnerCode(BSTR* code) = 0;        // method 20
};

// The component's entry interface.
struct IOemHelper : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetBuildInfo(IBuildInfo** info) = 0;    // method 8
};

} // namespace Partner
