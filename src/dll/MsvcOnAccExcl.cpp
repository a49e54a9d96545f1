// COnAccExcl under its Microsoft names.
#include "MsvcEntry.h"
#include "tolvane/OnAccExcl.h"

using msvcabi::Translated;

extern "C" COnAccExcl* MsvcOnAccExclConstruct(COnAccExcl* self)
{
    return msvcabi::Construct(self);
}

extern "C" void MsvcOnAccExclDestroy(COnAccExcl* self)
{
    msvcabi::Destroy(self);
}

extern "C" void MsvcOnAccExclInit(COnAccExcl* self)
{
    Translated([=] { self->Init(); });
}

extern "C" void MsvcOnAccExclExcludeThisProcess(COnAccExcl* self, int exclude)
{
    Translated([=] { self->ExcludeThisProcess(exclude); });
}
