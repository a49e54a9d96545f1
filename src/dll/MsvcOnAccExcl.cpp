// COnAccExcl under its Microsoft names.
#include <new>

#include "MsvcEntry.h"
#include "tolvane/OnAccExcl.h"

using msvcabi::Translated;

extern "C" COnAccExcl* MsvcOnAccExclConstruct(COnAccExcl* self)
{
    Translated([self] { new (self) COnAccExcl(); });
    return self;
}

extern "C" void MsvcOnAccExclDestroy(COnAccExcl* self)
{
    self->~COnAccExcl();
}

extern "C" void MsvcOnAccExclInit(COnAccExcl* self)
{
    Translated([=] { self->Init(); });
}

extern "C" void MsvcOnAccExclExcludeThisProcess(COnAccExcl* self, int exclude)
{
    Translated([=] { self->ExcludeThisProcess(exclude); });
}
