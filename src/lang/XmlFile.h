// CXmlFile: a client XML file read into a tree of elements. The document is
// the root element (empty name); its children are the top-level elements.
//
// Not a general XML parser: one tag per CR LF line (opening, self-closing
// or closing), names and attribute names of ASCII letters and digits,
// values in double quotes. Reading stops silently at the first empty line
// and at the first line that is not such a tag; what was read remains.
#pragma once

#include "lang/XmlEntry.h"

class CXmlFile : public CXmlEntry {
public:
    // Parses the file at once; a missing or unreadable file gives a root
    // without children. Nothing is thrown.
    explicit CXmlFile(const wchar_t* path);
    ~CXmlFile() override;

    // Creates the element of an opening or self-closing tag below the
    // current element. 1, or 0 when it cannot be created (logged).
    int CreateNode(const wchar_t* name);

    const CMyString& GetPath() const { return m_path; }

private:
    void Parse();
    // 1 to go on with the next line, 0 to stop reading.
    int ParseLine(CMyString& line);

    CXmlEntry* m_current;      // parent of the next element
    CXmlEntry* m_lastCreated;
    CMyString m_path;
    bool m_pendingDescent;     // an opening tag awaits its first child or its close
};
