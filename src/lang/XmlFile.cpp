// The tree builder of the client's small XML files.
#include "lang/XmlFile.h"

#include <new>

#include "lang/FileLine.h"
#include "log/LogEvent.h"

CXmlFile::CXmlFile(const wchar_t* path)
    : CXmlEntry(nullptr), m_current(this), m_lastCreated(nullptr), m_pendingDescent(false)
{
    try {
        m_name = L"";
        m_path = path;
    } catch (...) {
        // Logged by the string; the tree stays empty.
        return;
    }
    Parse();
}

CXmlFile::~CXmlFile() = default;

void CXmlFile::Parse()
{
    try {
        CFileLine reader;
        if (reader.Read(m_path.c_str()) != 1)
            return;
        CMyString line;
        for (int more = reader.GetFirstLine(line); more == 1; more = reader.GetNextLine(line)) {
            if (ParseLine(line) == 0)
                break;
        }
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
    }
}

int CXmlFile::ParseLine(CMyString& line)
{
    if (line.GetLength() == 0)
        return 0;   // the first empty line ends the file
    line.Trim();
    line.RemoveChar(L'<');
    line.RemoveChar(L'>');

    const wchar_t* text = line.c_str();
    const unsigned int length = line.GetLength();
    if (length != 0 && text[0] == L'/') {
        // Closing tag; its name is not compared with anything.
        if (m_pendingDescent)
            m_pendingDescent = false;
        else
            m_current = m_current->GetParent();
        return 1;
    }

    // A line that is empty once its brackets are gone (white space only, or
    // "<>") makes an element with an empty name that is taken as
    // self-closing: it never opens a level of nesting.
    const bool selfClosing = length == 0 || text[length - 1] == L'/';
    CXmlEntry tag;
    if (tag.InitParseLine(text) == 0)
        return 0;

    if (CreateNode(tag.GetName().c_str()) == 0) {
        WEXMOOR_LOG(Warning).Write("CreateNode function failed");
        return 1;
    }
    CXmlAttribute attribute;
    for (int more = tag.GetFirstAttribute(attribute); more == 1; more = tag.GetNextAttribute(attribute))
        m_lastCreated->AddAttribute(attribute.name.c_str(), attribute.value.c_str());
    if (!selfClosing)
        m_pendingDescent = true;
    return 1;
}

int CXmlFile::CreateNode(const wchar_t* name)
{
    try {
        if (m_pendingDescent) {
            m_pendingDescent = false;
            m_current = m_lastCreated;
        }
        CXmlEntry* node = new CXmlEntry(m_current);
        try {
            node->SetName(name);
        } catch (...) {
            delete node;
            throw;
        }
        if (m_current->AddChild(node) == 0)
            throw std::bad_alloc();
        m_lastCreated = node;
        return 1;
    } catch (...) {
        WEXMOOR_LOG(Error).Write("Exception occurred");
        return 0;
    }
}
