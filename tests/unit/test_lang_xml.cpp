// The line reader and the tree builder of the client's small XML files, on real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImportHook.h"
#include "TestSupport.h"
#include "lang/FileLine.h"
#include "lang/XmlFile.h"

using testsupport::TempFolder;

namespace {

std::wstring Text(const CMyString& s) { return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>"); }

// An element as Name[a="1",b="2"](child;child), an empty name as ~; the root as its children alone.
std::wstring Render(const CXmlEntry& entry, bool root = false)
{
    std::wstring out = root ? L"" : entry.GetName().GetLength() ? Text(entry.GetName()) : L"~", children;
    for (unsigned int i = 0; i < entry.GetAttributeCount(); ++i)
        out += (i ? L"," : L"[") + Text(entry.GetAttribute(i)->name) + L"=\"" + Text(entry.GetAttribute(i)->value) + L"\"";
    out += entry.GetAttributeCount() ? L"]" : L"";
    for (unsigned int i = 0; i < entry.GetChildCount(); ++i)
        children += (i ? L";" : L"") + Render(*entry.GetChild(i));
    return out + (root || children.empty() ? children : L"(" + children + L")");
}

} // namespace

TEST(CFileLine, SplitsAtCarriageReturnsAndZeroBytes)
{
    // Without a byte-order mark the bytes are text of the ANSI code page (testsupport::Wide converts with it).
    const struct { const char* what; std::string bytes; std::vector<std::wstring> lines; bool utf8; } cases[] = {
        {"CR LF lines, trailing CR LF gives a last empty line", "a\r\nbc\r\n", {L"a", L"bc", L""}, false},
        {"a zero byte ends a line too; the next character is skipped", std::string("a\0bc", 4), {L"a", L"c"}, false},
        {"empty file is one empty line", "", {L""}, false},
        {"BOM stays in the first line, UTF-8 decoded", "\xEF\xBB\xBFx\r\n\xC3\xA9", {L"\xFEFFx", L"\x00E9"}, true},
        {"a mark alone", "\xEF\xBB\xBF", {L"\xFEFF"}, true},
        {"without a mark: the ANSI code page", "\xC3\xA9", {testsupport::Wide("\xC3\xA9")}, false},
    };
    TempFolder folder;
    const std::wstring path = folder.Join(L"lines.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::WriteFileBytes(path, c.bytes);
        CFileLine reader;
        ASSERT_EQ(1, reader.Read(path.c_str()));
        EXPECT_EQ(c.utf8 ? CFileLine::EncodingUtf8 : CFileLine::EncodingNone, reader.GetEncoding());
        EXPECT_EQ(c.bytes.size(), reader.GetDataSize());
        std::vector<std::wstring> lines;
        CMyString line;
        for (int more = reader.GetFirstLine(line); more; more = reader.GetNextLine(line))
            lines.push_back(Text(line));
        EXPECT_EQ(0, reader.GetNextLine(line)) << "stays past the end";
        EXPECT_TRUE(reader.GetFirstLine(line) == 1 && Text(line) == c.lines[0]) << "starts over";
        EXPECT_EQ(c.lines, lines);
    }
    CFileLine reader;
    ASSERT_EQ(1, reader.Read(path.c_str()));
    EXPECT_EQ(0, reader.Read(folder.Path().c_str())) << "a folder";
    EXPECT_EQ(0u, reader.GetLineCount()) << "a failed read clears the old lines";
    ASSERT_EQ(1, reader.Read(path.c_str()));
    BOOL (*refuse)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) = [](HANDLE, LPVOID, DWORD, LPDWORD read, LPOVERLAPPED) {
        *read = 0;
        SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    };
    testsupport::ImportHook hook("ReadFile", reinterpret_cast<void*>(refuse));
    ASSERT_TRUE(hook.Installed());
    EXPECT_TRUE(reader.Read(path.c_str()) == 0 && reader.GetLineCount() == 0) << "a file that opens but cannot be read";
}

TEST(CXmlFile, BuildsTreesFromOneTagPerLine)
{
    const struct { const char* what; std::string bytes; std::wstring tree; } cases[] = {
        {"list with two entries", "<Languages>\r\n<Language a=\"1\" b=\"2\"/>\r\n<Language a=\"3\" b=\"4\"/>\r\n</Languages>\r\n",
         L"Languages(Language[a=\"1\",b=\"2\"];Language[a=\"3\",b=\"4\"])"},
        {"nesting", "<A>\r\n<B>\r\n<C x=\"1\"/>\r\n</B>\r\n<D y=\"2\"/>\r\n</A>\r\n<E z=\"3\"/>\r\n",
         L"A(B(C[x=\"1\"]);D[y=\"2\"]);E[z=\"3\"]"},
        {"blank before the slash stops", "<A x=\"1\"/>\r\n<B x=\"1\" />\r\n<C x=\"1\"/>\r\n", L"A[x=\"1\"]"},
        {"XML declaration: no plain name", "<?xml version=\"1.0\"?>\r\n<A x=\"1\"/>\r\n", L""},
        {"the first empty line ends the reading", "<A x=\"1\"/>\r\n\r\n<B y=\"2\"/>\r\n", L"A[x=\"1\"]"},
        {"only the first > goes: in a value, so the tag's own fails the line", "<A v=\"x>y\"/>\r\n", L""},
        {"names trimmed, values not", "<A x = \" v \"/>\r\n", L"A[x=\" v \"]"},
        {"the character behind a closing quote is skipped", "<A x=\"1\"y=\"2\"/>\r\n", L"A[x=\"1\",=\"2\"]"},
        {"indented lines", "\t<A>\r\n    <B x=\"1\"/>  \r\n</A>\r\n", L"A(B[x=\"1\"])"},
        {"underscore in an attribute name", "<A x=\"1\"/>\r\n<B my_x=\"1\"/>\r\n", L"A[x=\"1\"]"},
        {"unquoted value", "<A x=1/>\r\n", L""}, {"missing closing quote", "<A x=\"1/>\r\n", L""},
        // A line empty once its brackets are gone: a leaf with an empty name, never a level of nesting.
        {"white-space line", "<A>\r\n   \r\n<B x=\"1\"/>\r\n</A>\r\n<C y=\"2\"/>\r\n", L"A(~;B[x=\"1\"]);C[y=\"2\"]"},
    };
    TempFolder folder;
    const std::wstring path = folder.Join(L"test.xml");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::WriteFileBytes(path, c.bytes);
        EXPECT_EQ(c.tree, Render(CXmlFile(path.c_str()), true));
    }
    std::string deep;   // parents built and the tree destroyed without running out of stack
    for (int i = 0; i < 30000; ++i)
        deep += "<A>\r\n";
    testsupport::WriteFileBytes(path, deep);
    CXmlFile file(path.c_str());
    EXPECT_EQ(path, Text(file.GetPath()));
    int levels = 0;
    for (const CXmlEntry *parent = &file, *entry = &file; entry; parent = entry, entry = entry->GetChild(0), ++levels)
        ASSERT_EQ(parent, entry->GetParent()) << levels << " (the root is its own parent)";
    EXPECT_EQ(30001, levels);
}
