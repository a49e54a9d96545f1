// OEMHelper.dll: the sample partner-build component. One class, reachable
// through the ProgID "TavrelToDrune.OEMHelper"; its build information comes
// from HKEY_LOCAL_MACHINE "SOFTWARE\TavrelToDrune\OEMHelper".
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <new>
#include <string>

namespace {

// The component's two dual interfaces, declared here as their published
// layout: IDispatch's methods first, then the methods of each class below in
// the order they are declared (a caller reaches them through the vtable).
// {132923B7-8D18-496C-A5C9-813F92608DCF}: the entry interface
constexpr IID kHelperIid = {0x132923b7, 0x8d18, 0x496c, {0xa5, 0xc9, 0x81, 0x3f, 0x92, 0x60, 0x8d, 0xcf}};
// {8E4A6D21-7B3C-4F59-A0D2-3C9B1E6F7A45}: the build information
constexpr IID kBuildInfoIid = {0x8e4a6d21, 0x7b3c, 0x4f59, {0xa0, 0xd2, 0x3c, 0x9b, 0x1e, 0x6f, 0x7a, 0x45}};

// {6F1C2B9E-3A47-4D8B-9E21-5C0D7A4B8F13}
constexpr CLSID kHelperClass = {0x6f1c2b9e, 0x3a47, 0x4d8b,
                                {0x9e, 0x21, 0x5c, 0x0d, 0x7a, 0x4b, 0x8f, 0x13}};
constexpr wchar_t kDataKey[] = L"SOFTWARE\\TavrelToDrune\\OEMHelper";

LONG g_liveObjects = 0;
LONG g_serverLocks = 0;

// IUnknown and IDispatch for one interface of the final class Self, whose own
// virtual methods follow IDispatch's in the vtable (so no virtual destructor
// here); the dispatch part describes no type information.
template <class Self>
class ComObject : public IDispatch {
public:
    ComObject(const IID& iid) : m_iid(iid), m_references(1) { InterlockedIncrement(&g_liveObjects); }
    ~ComObject() { InterlockedDecrement(&g_liveObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == m_iid) {
            *object = static_cast<IDispatch*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete static_cast<Self*>(this);
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        return E_NOTIMPL;
    }

private:
    IID m_iid;
    LONG m_references;
};

HRESULT ReturnText(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

class BuildInfo final : public ComObject<BuildInfo> {
public:
    BuildInfo(const std::wstring& id, long type, const std::wstring& code)
        : ComObject(kBuildInfoIid), m_id(id), m_type(type), m_code(code)
    {
    }

    virtual HRESULT STDMETHODCALLTYPE get_BuildType(long* type)
    {
        if (!type)
            return E_POINTER;
        *type = m_type;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE get_BuildID(BSTR* id) { return ReturnText(m_id, id); }
    virtual HRESULT STDMETHODCALLTYPE get_ProductName(BSTR* name) { return ReturnText(L"Halvane", name); }
    virtual HRESULT STDMETHODCALLTYPE get_ProductVersion(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_PartnerName(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_SupportUrl(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_HelpUrl(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_UpdateUrl(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_PurchaseUrl(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_Region(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_Channel(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_Edition(BSTR*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE get_PartnerCode(BSTR* code) { return ReturnText(m_code, code); }

private:
    std::wstring m_id;
    long m_type;
    std::wstring m_code;
};

std::wstring ReadText(HKEY key, const wchar_t* name)
{
    wchar_t buffer[512] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS || type != REG_SZ)
        return std::wstring();
    return buffer;
}

class OemHelper final : public ComObject<OemHelper> {
public:
    OemHelper() : ComObject(kHelperIid) {}

    virtual HRESULT STDMETHODCALLTYPE GetBuildInfo(IDispatch** info)
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDataKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return E_FAIL;
        DWORD type = 0;
        DWORD value = 0;
        DWORD bytes = sizeof(value);
        long buildType = -1;
        if (RegQueryValueExW(key, L"dwBuildType", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &bytes) == ERROR_SUCCESS && type == REG_DWORD)
            buildType = static_cast<long>(value);
        const std::wstring id = ReadText(key, L"szBuildID");
        const std::wstring code = ReadText(key, L"szPartnerCode");
        RegCloseKey(key);
        *info = new (std::nothrow) BuildInfo(id, buildType, code);
        return *info ? S_OK : E_OUTOFMEMORY;
    }
};

class HelperFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        OemHelper* helper = new (std::nothrow) OemHelper();
        if (!helper)
            return E_OUTOFMEMORY;
        const HRESULT result = helper->QueryInterface(iid, object);
        helper->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_serverLocks);
        else
            InterlockedDecrement(&g_serverLocks);
        return S_OK;
    }
};

HelperFactory g_factory;

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (classId != kHelperClass)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}
