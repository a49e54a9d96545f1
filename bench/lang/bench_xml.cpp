// Figures of the reader of the client's XML files (CXmlFile): for files of
// 1000 to 100000 lines, nesting levels or attributes of one tag, the time to
// read the file into its tree and the time per line, level or attribute
// (best of three). A reader that is linear shows a flat time per item.
#include <windows.h>

#include <cstdio>
#include <string>

#include "../BenchClock.h"
#include "lang/XmlFile.h"

namespace {

constexpr int kRounds = 3;
const int kSizes[] = {1000, 4000, 16000, 40000, 100000};

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// n self-closing entries with two attributes each, inside one list element.
std::string Lines(int n)
{
    std::string text = "<Languages>\r\n";
    for (int i = 0; i < n; ++i)
        text += "<Language id=\"" + std::to_string(i) + "\" bit=\"7\"/>\r\n";
    return text + "</Languages>\r\n";
}

// n elements, each the only child of the one before.
std::string Nesting(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "<Level>\r\n";
    for (int i = 0; i < n; ++i)
        text += "</Level>\r\n";
    return text;
}

// One self-closing tag with n attributes.
std::string Attributes(int n)
{
    std::string text = "<Tag";
    for (int i = 0; i < n; ++i)
        text += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return text + "/>\r\n";
}

// What the tree holds: entries of the list, depth, or attributes of the tag.
int Entries(const CXmlFile& file)
{
    const CXmlEntry* top = file.GetChild(0);
    return top == nullptr ? 0 : static_cast<int>(top->GetChildCount());
}
int Depth(const CXmlFile& file)
{
    int depth = 0;
    for (const CXmlEntry* e = file.GetChild(0); e != nullptr; e = e->GetChild(0))
        ++depth;
    return depth;
}
int AttributeCount(const CXmlFile& file)
{
    const CXmlEntry* top = file.GetChild(0);
    return top == nullptr ? 0 : static_cast<int>(top->GetAttributeCount());
}

void Measure(const char* what, std::string (*make)(int), int (*count)(const CXmlFile&), const std::wstring& path)
{
    printf("%-11s %8s %8s %10s %12s\n", what, "items", "read", "ms", "us per item");
    double first = 0, last = 0;
    for (int n : kSizes) {
        WriteFile(path, make(n));
        double best = 1e30;
        int read = 0;
        for (int round = 0; round < kRounds; ++round) {
            const double start = Now();
            CXmlFile file(path.c_str());
            read = count(file);
            const double elapsed = Now() - start;
            if (elapsed < best)
                best = elapsed;
        }
        const double perItem = best * 1e6 / n;
        if (first == 0)
            first = perItem;
        last = perItem;
        printf("%-11s %8d %8d %10.1f %12.3f\n", "", n, read, best * 1e3, perItem);
    }
    printf("%-11s time per item at %d / at %d: x%.2f\n\n", "", kSizes[4], kSizes[0], last / first);
}

} // namespace

int main()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"bench_xml_" + std::to_wstring(GetCurrentProcessId()) + L".xml";
    Measure("lines", Lines, Entries, path);
    Measure("nesting", Nesting, Depth, path);
    Measure("attributes", Attributes, AttributeCount, path);
    DeleteFileW(path.c_str());
    return 0;
}
