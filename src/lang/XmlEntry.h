// CXmlEntry: one element of a client XML file, with its name, its
// attributes in file order and its child elements in file order.
#pragma once

#include "common/CMyString.h"
#include "common/PointerListCursor.h"
#include "tolvane/PointerList.h"

// One attribute: the name (trimmed) and the value (verbatim).
struct CXmlAttribute {
    CMyString name;
    CMyString value;
};

class CXmlEntry {
public:
    // An element without a parent is its own parent (the root).
    explicit CXmlEntry(CXmlEntry* parent = nullptr);
    virtual ~CXmlEntry();
    CXmlEntry(const CXmlEntry&) = delete;
    CXmlEntry& operator=(const CXmlEntry&) = delete;

    // Replaces name and attributes with those of one tag line whose
    // brackets are already removed, e.g. `Language id="0409"/`. 1 on
    // success, 0 when the line is not a tag of the accepted form.
    int InitParseLine(const wchar_t* line);

    // Appends an attribute (name trimmed, value unchanged). 1 when stored;
    // 0 when it could not be stored (logged, the attribute is lost).
    int AddAttribute(const wchar_t* name, const wchar_t* value);
    // Cursor walk over the attributes: copy into the caller's record and
    // return 1, or return 0 and leave the record alone.
    int GetFirstAttribute(CXmlAttribute& attribute);
    int GetNextAttribute(CXmlAttribute& attribute);
    unsigned int GetAttributeCount() const { return m_attributes.GetCount(); }
    const CXmlAttribute* GetAttribute(unsigned int index) const;

    // The parent takes ownership of the child, also when it cannot be
    // linked in (then it is destroyed and the result is 0).
    int AddChild(CXmlEntry* child);
    unsigned int GetChildCount() const { return m_children.GetCount(); }
    CXmlEntry* GetChild(unsigned int index) const;

    const CMyString& GetName() const { return m_name; }
    void SetName(const wchar_t* name) { m_name = name; }
    CXmlEntry* GetParent() const { return m_parent; }

protected:
    void DeleteAttributes();
    int CopyAttribute(unsigned int index, CXmlAttribute& attribute) const;

    CXmlEntry* m_parent;        // not owned; the root points at itself
    CMyString m_name;
    CPointerList m_attributes;  // owned CXmlAttribute*
    CPointerList m_children;    // owned CXmlEntry*
    unsigned int m_cursor;      // attribute last handed out
    // Positions reached last in the two lists, so that reading attributes
    // or children in order stays linear in their number.
    mutable CPointerListCursor m_attributeCursor;
    mutable CPointerListCursor m_childCursor;
};

// True when text, trimmed of white space at both ends, holds only ASCII
// letters and digits (an empty text passes).
bool IsPlainXmlName(const wchar_t* text);
