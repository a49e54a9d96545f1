// CExcludeHelper under its Microsoft names. GetExcludeItems with a key name
// is the one member that lets a CSystemException pass to its caller.
#include "MsvcEntry.h"
#include "tolvane/ExcludeHelper.h"

using msvcabi::Translated;

extern "C" CExcludeHelper* MsvcExcludeHelperConstruct(CExcludeHelper* self)
{
    return msvcabi::Construct(self);
}

extern "C" void MsvcExcludeHelperDestroy(CExcludeHelper* self)
{
    msvcabi::Destroy(self);
}

extern "C" void MsvcExcludeHelperEmpty(CExcludeHelper* self)
{
    Translated([=] { self->Empty(); });
}

extern "C" unsigned short* const* MsvcExcludeHelperLoadItems(CExcludeHelper* self, const unsigned short* keyName)
{
    return Translated([=] { return self->GetExcludeItems(keyName); });
}

extern "C" unsigned short* const* MsvcExcludeHelperItems(CExcludeHelper* self)
{
    return Translated([=] { return self->GetExcludeItems(); });
}

extern "C" int MsvcExcludeHelperIsExcluded(CExcludeHelper* self, const unsigned short* path)
{
    return Translated([=] { return self->IsExcluded(path); });
}
