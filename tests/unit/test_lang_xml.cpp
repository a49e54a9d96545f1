// The line reader and the tree builder of the client's small XML files,
// on real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LogCapture.h"
#include "TestSupport.h"
#include "lang/FileLine.h"
#include "lang/XmlFile.h"

using testsupport::LogCapture;
using testsupport::TempFolder;

namespace {

std::wstring Text(const CMyString& s)
{
    return s.HasText() ? std::wstring(s.c_str()) : std::wstring(L"<none>");
}

// An element as Name[a="1",b="2"](child;child); an empty name shows as ~.
std::wstring Render(const CXmlEntry& entry)
{
    std::wstring out = entry.GetName().GetLength() ? Text(entry.GetName()) : L"~";
    if (entry.GetAttributeCount() != 0) {
        out += L"[";
        for (unsigned int i = 0; i < entry.GetAttributeCount(); ++i) {
            const CXmlAttribute* a = entry.GetAttribute(i);
            out += (i ? L"," : L"") + Text(a->name) + L"=\"" + Text(a->value) + L"\"";
        }
        out += L"]";
    }
    if (entry.GetChildCount() != 0) {
        out += L"(";
        for (unsigned int i = 0; i < entry.GetChildCount(); ++i)
            out += (i ? L";" : L"") + Render(*entry.GetChild(i));
        out += L")";
    }
    return out;
}

std::wstring RenderTree(const CXmlFile& file)
{
    std::wstring out;
    for (unsigned int i = 0; i < file.GetChildCount(); ++i)
        out += (i ? L";" : L"") + Render(*file.GetChild(i));
    return out;
}

std::wstring ParseFile(const TempFolder& folder, const std::string& bytes)
{
    const std::wstring path = folder.Join(L"test.xml");
    testsupport::WriteFileBytes(path, bytes);
    CXmlFile file(path.c_str());
    return RenderTree(file);
}

} // namespace

TEST(CFileLine, SplitsAtCarriageReturnsAndZeroBytes)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::wstring> lines;
        CFileLine::Encoding encoding;
    };
    const Case cases[] = {
        {"CR LF lines, trailing CR LF gives a last empty line", "a\r\nbc\r\n", {L"a", L"bc", L""}, CFileLine::EncodingNone},
        {"no ending on the last line", "a\r\nbc", {L"a", L"bc"}, CFileLine::EncodingNone},
        {"bare LF file is one line", "a\nb\n", {L"a\nb\n"}, CFileLine::EncodingNone},
        {"bare CR swallows the next character", "a\rbc", {L"a", L"c"}, CFileLine::EncodingNone},
        {"zero byte ends a line", std::string("a\0bc", 4), {L"a", L"c"}, CFileLine::EncodingNone},
        {"empty file is one empty line", "", {L""}, CFileLine::EncodingNone},
        {"CR as last byte", "a\r", {L"a", L""}, CFileLine::EncodingNone},
        {"empty lines", "\r\n\r\n", {L"", L"", L""}, CFileLine::EncodingNone},
        {"BOM stays in the first line, UTF-8 decoded", "\xEF\xBB\xBFx\r\n\xC3\xA9", {L"\xFEFFx", L"\x00E9"}, CFileLine::EncodingUtf8},
        {"BOM alone", "\xEF\xBB\xBF", {L"\xFEFF"}, CFileLine::EncodingUtf8},
        {"two bytes of a BOM mark nothing", "\xEF\xBB", {}, CFileLine::EncodingNone},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = folder.Join(L"lines.txt");
        testsupport::WriteFileBytes(path, c.bytes);
        CFileLine reader;
        ASSERT_EQ(1, reader.Read(path.c_str()));
        EXPECT_EQ(c.encoding, reader.GetEncoding());
        EXPECT_EQ(c.bytes.size(), reader.GetDataSize());
        if (c.lines.empty())
            continue;   // contents decoded in the ANSI code page: checked below
        std::vector<std::wstring> lines;
        CMyString line;
        for (int more = reader.GetFirstLine(line); more; more = reader.GetNextLine(line))
            lines.push_back(Text(line));
        EXPECT_EQ(c.lines, lines);
        EXPECT_EQ(0, reader.GetNextLine(line)) << "stays past the end";
        EXPECT_EQ(1, reader.GetFirstLine(line)) << "starts over";
        EXPECT_EQ(c.lines[0], Text(line));
    }
}

TEST(CFileLine, DecodesWithoutMarkInTheAnsiCodePage)
{
    TempFolder folder;
    const std::wstring path = folder.Join(L"ansi.txt");
    testsupport::WriteFileBytes(path, "\xC3\xA9\r\n");
    CFileLine reader;
    ASSERT_EQ(1, reader.Read(path.c_str()));
    CMyString line;
    ASSERT_EQ(1, reader.GetFirstLine(line));
    if (GetACP() == 1252) {
        EXPECT_EQ(std::wstring(L"\x00C3\x00A9"), Text(line));
    }
    EXPECT_NE(std::wstring(L"\x00E9"), Text(line));
}

TEST(CFileLine, MissingFileOrFolderCannotBeRead)
{
    TempFolder folder;
    CFileLine reader;
    CMyString line;
    EXPECT_EQ(0, reader.Read(folder.Join(L"missing.xml").c_str()));
    EXPECT_EQ(0, reader.GetFirstLine(line));
    EXPECT_EQ(0, reader.Read(folder.Path().c_str()));

    const std::wstring path = folder.Join(L"two.txt");
    testsupport::WriteFileBytes(path, "a\r\nb");
    ASSERT_EQ(1, reader.Read(path.c_str()));
    EXPECT_EQ(2u, reader.GetLineCount());
    EXPECT_EQ(0, reader.Read(folder.Join(L"missing.xml").c_str())) << "a new read clears the old lines";
    EXPECT_EQ(0u, reader.GetLineCount());
}

TEST(CXmlFile, BuildsTreesFromOneTagPerLine)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring tree;
    };
    const Case cases[] = {
        {"list with two entries",
         "<Languages>\r\n<Language a=\"1\" b=\"2\"/>\r\n<Language a=\"3\" b=\"4\"/>\r\n</Languages>\r\n",
         L"Languages(Language[a=\"1\",b=\"2\"];Language[a=\"3\",b=\"4\"])"},
        {"opened and closed without children", "<A>\r\n</A>\r\n<B x=\"1\"/>\r\n", L"A;B[x=\"1\"]"},
        {"closing tags at the root leave the root current", "</X>\r\n</Y>\r\n<A x=\"1\"/>\r\n", L"A[x=\"1\"]"},
        {"nesting", "<A>\r\n<B>\r\n<C x=\"1\"/>\r\n</B>\r\n<D y=\"2\"/>\r\n</A>\r\n<E z=\"3\"/>\r\n",
         L"A(B(C[x=\"1\"]);D[y=\"2\"]);E[z=\"3\"]"},
        {"closing names are not compared", "<A>\r\n<B x=\"1\"/>\r\n</Other>\r\n<C y=\"2\"/>\r\n",
         L"A(B[x=\"1\"]);C[y=\"2\"]"},
        {"opening tag with attributes", "<A x=\"1\" y=\"2\">\r\n<B z=\"3\"/>\r\n</A>\r\n", L"A[x=\"1\",y=\"2\"](B[z=\"3\"])"},
        {"blank before the slash stops", "<A x=\"1\"/>\r\n<B x=\"1\" />\r\n<C x=\"1\"/>\r\n", L"A[x=\"1\"]"},
        {"self-closing without attributes fails the name check", "<A/>\r\n", L""},
        {"self-closing without attributes, blank before slash", "<A />\r\n", L""},
        {"XML declaration", "<?xml version=\"1.0\"?>\r\n<A x=\"1\"/>\r\n", L""},
        {"comment", "<!-- list -->\r\n<A x=\"1\"/>\r\n", L""},
        {"the first empty line ends the reading", "<A x=\"1\"/>\r\n\r\n<B y=\"2\"/>\r\n", L"A[x=\"1\"]"},
        {"bare LF file of several tags", "<L>\n<E a=\"1\"/>\n</L>\n", L""},
        {"bare LF file of a single tag", "<E a=\"1\"/>\n", L"E[a=\"1\"]"},
        {"no line end at all", "<E a=\"1\"/>", L"E[a=\"1\"]"},
        {"first > inside a self-closing tag's value", "<A v=\"x>y\"/>\r\n", L""},
        {"first > inside an opening tag's value", "<A v=\"x>y\">\r\n</A>\r\n", L"A[v=\"xy\"]"},
        {"< and > removed wherever they stand", "A x=\"<1>\"\r\n", L"A[x=\"1\"]"},
        {"names trimmed, values not; blank then slash rejected", "<A x = \" v \" />\r\n", L""},
        {"names trimmed, values not", "<A x = \" v \"/>\r\n", L"A[x=\" v \"]"},
        {"equals sign inside a value", "<A x=\"a=b\" y=\"2\"/>\r\n", L"A[x=\"a=b\",y=\"2\"]"},
        {"text between equals sign and quote is ignored", "<A x=junk\"v\"/>\r\n", L"A[x=\"v\"]"},
        {"empty value", "<A x=\"\"/>\r\n", L"A[x=\"\"]"},
        {"indented lines", "\t<A>\r\n    <B x=\"1\"/>  \r\n</A>\r\n", L"A(B[x=\"1\"])"},
        {"hyphen in a name", "<my-tag x=\"1\"/>\r\n", L""},
        {"underscore in an attribute name", "<A x=\"1\"/>\r\n<B my_x=\"1\"/>\r\n", L"A[x=\"1\"]"},
        {"unquoted value", "<A x=1/>\r\n", L""},
        {"single-quoted value", "<A x='1'/>\r\n", L""},
        {"missing closing quote", "<A x=\"1/>\r\n", L""},
        {"attribute without equals sign", "<A x/>\r\n", L""},
        {"text content", "<A>text</A>\r\n", L""},
        {"bare CR swallows the next line's first character", "<A x=\"1\"/>\rX<B y=\"2\"/>\r\n", L"A[x=\"1\"];B[y=\"2\"]"},
        {"zero byte inside the data ends a line", std::string("<A x=\"1\"/>\0<B y=\"2\"/>", 22), L"A[x=\"1\"];B[y=\"2\"]"},
        {"UTF-8 byte-order mark stays in the first tag", "\xEF\xBB\xBF<L>\r\n<E a=\"1\"/>\r\n</L>\r\n", L""},
        {"empty file", "", L""},
        // An empty line once its brackets are gone makes a leaf with an
        // empty name: it never opens a level of nesting.
        {"white-space line", "<A>\r\n   \r\n<B x=\"1\"/>\r\n</A>\r\n<C y=\"2\"/>\r\n", L"A(~;B[x=\"1\"]);C[y=\"2\"]"},
        {"empty brackets", "<>\r\n<B x=\"1\"/>\r\n", L"~;B[x=\"1\"]"},
        {"truncated in an attribute", "<L>\r\n<E a=\"1\"/>\r\n<E a=\"2", L"L(E[a=\"1\"])"},
    };
    TempFolder folder;
    LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.tree, ParseFile(folder, c.bytes));
    }
    EXPECT_TRUE(log.events.empty()) << "reading stops silently";
}

TEST(CXmlFile, MissingFileOrFolderGivesAnEmptyRoot)
{
    TempFolder folder;
    for (const std::wstring& path : {folder.Join(L"missing.xml"), folder.Path()}) {
        CXmlFile file(path.c_str());
        EXPECT_EQ(0u, file.GetChildCount());
        EXPECT_EQ(&file, file.GetParent()) << "the root is its own parent";
        EXPECT_EQ(std::wstring(), Text(file.GetName()));
        EXPECT_EQ(path, Text(file.GetPath()));
    }
}

TEST(CXmlFile, DeeplyNestedFile)
{
    TempFolder folder;
    const std::wstring path = folder.Join(L"deep.xml");
    std::string bytes;
    const int depth = 30000;
    for (int i = 0; i < depth; ++i)
        bytes += "<A>\r\n";
    testsupport::WriteFileBytes(path, bytes);
    CXmlFile file(path.c_str());
    int levels = 0;
    for (const CXmlEntry* entry = file.GetChild(0); entry != nullptr; entry = entry->GetChild(0))
        ++levels;
    EXPECT_EQ(depth, levels);
}   // destroyed without running out of stack

TEST(CXmlFile, ParentsAndCreateNode)
{
    TempFolder folder;
    const std::wstring path = folder.Join(L"tree.xml");
    testsupport::WriteFileBytes(path, "<A>\r\n<B x=\"1\"/>\r\n</A>\r\n");
    CXmlFile file(path.c_str());
    ASSERT_EQ(1u, file.GetChildCount());
    CXmlEntry* a = file.GetChild(0);
    EXPECT_EQ(&file, a->GetParent());
    EXPECT_EQ(a, a->GetChild(0)->GetParent());
    EXPECT_EQ(nullptr, a->GetChild(1));

    // After the build the current element is the root again.
    ASSERT_EQ(1, file.CreateNode(L"Z"));
    EXPECT_EQ(L"A(B[x=\"1\"]);Z", RenderTree(file));
}

TEST(CXmlEntry, ParsesOneTagLine)
{
    struct Case {
        const wchar_t* line;
        int result;
        std::wstring rendered;   // name and attributes after the call
    };
    const Case cases[] = {
        {L"Language id=\"0409\"/", 1, L"Language[id=\"0409\"]"},
        {L"Languages", 1, L"Languages"},
        {L"", 1, L"~"},
        // The character behind a closing quote is skipped: here the y, so
        // the second attribute has an empty name.
        {L"A x=\"1\"y=\"2\"", 1, L"A[x=\"1\",=\"2\"]"},
        {L"A x=\"1\" yy=\"2\"", 1, L"A[x=\"1\",yy=\"2\"]"},
        {L"A x=\"1\"//", 0, L"A[x=\"1\"]"},              // two characters behind the quote
        {L"\xE4 x=\"1\"/", 0, L"~"},                     // non-ASCII name
        {L"A \xE4=\"1\"/", 0, L"A"},
        {L"A x=\"\xE4\"/", 1, L"A[x=\"\xE4\"]"},          // values are not checked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        CXmlEntry entry;
        entry.AddAttribute(L"old", L"1");
        EXPECT_EQ(c.result, entry.InitParseLine(c.line));
        EXPECT_EQ(c.rendered, Render(entry));
    }
}

TEST(CXmlEntry, AttributeCursor)
{
    CXmlEntry entry;
    EXPECT_EQ(1, entry.AddAttribute(L"  a\t", L" 1 "));
    EXPECT_EQ(1, entry.AddAttribute(L"b", L"2"));

    CXmlAttribute attribute;
    attribute.name = L"untouched";
    CXmlEntry empty;
    EXPECT_EQ(0, empty.GetFirstAttribute(attribute));
    EXPECT_EQ(std::wstring(L"untouched"), Text(attribute.name));

    ASSERT_EQ(1, entry.GetFirstAttribute(attribute));
    EXPECT_EQ(std::wstring(L"a"), Text(attribute.name));
    EXPECT_EQ(std::wstring(L" 1 "), Text(attribute.value));
    ASSERT_EQ(1, entry.GetNextAttribute(attribute));
    EXPECT_EQ(std::wstring(L"b"), Text(attribute.name));
    EXPECT_EQ(0, entry.GetNextAttribute(attribute));
    EXPECT_EQ(0, entry.GetNextAttribute(attribute));
    EXPECT_EQ(std::wstring(L"b"), Text(attribute.name)) << "the record keeps the last attribute";
    EXPECT_EQ(std::wstring(L"2"), Text(attribute.value));
    ASSERT_EQ(1, entry.GetFirstAttribute(attribute));
    EXPECT_EQ(std::wstring(L"a"), Text(attribute.name));
}
