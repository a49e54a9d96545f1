// CScnXml under its Microsoft names. The constructor installs the object's
// own vtable, so a Microsoft client's virtual calls reach the same members.
#include "MsvcEntry.h"
#include "tolvane/ScnXml.h"

using msvcabi::Translated;

extern "C" CScnXml* MsvcScnXmlConstruct(CScnXml* self)
{
    return msvcabi::Construct(self);
}

extern "C" void MsvcScnXmlDestroy(CScnXml* self)
{
    msvcabi::Destroy(self);
}

extern "C" int MsvcScnXmlInit(CScnXml* self, const unsigned short* path)
{
    return Translated([=] { return self->Init(path); });
}

extern "C" int MsvcScnXmlAddInfected(CScnXml* self, CInfected* record)
{
    return Translated([=] { return self->AddInfected(*record); });
}

extern "C" void MsvcScnXmlSetNumScanned(CScnXml* self, unsigned int count)
{
    Translated([=] { self->SetNumScanned(count); });
}

extern "C" const unsigned short* MsvcScnXmlGetXmlFile(CScnXml* self)
{
    return Translated([=] { return self->GetXmlFile(); });
}

extern "C" int MsvcScnXmlXmlFileExist(CScnXml* self)
{
    return Translated([=] { return self->XmlFileExist(); });
}

// Private in CScnXml, public in its base: reached through the base.
extern "C" int MsvcScnXmlBuildReport(CScnXml* self, CMyString* content, void* arg)
{
    return Translated([=] { return static_cast<CReportBase*>(self)->BuildReport(*content, arg); });
}
