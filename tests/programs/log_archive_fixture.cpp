// Prepares what tests/scripts/log_archives.sh checks with cabextract, in the
// folder given as the one argument:
//  - known.log, a log of a few hundred kilobytes, archived once, with its
//    bytes kept in known.log.expected;
//  - stress.log with its archives, written by several processes under a
//    small size limit, with every line written kept in stress.expected.
// Exit code 0 when both were made.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "log/LogArchive.h"
#include "log_test_support.h"

using testsupport::WriteFileBytes;

namespace {

bool ArchiveKnownLog(const std::wstring& folder)
{
    std::string text;
    for (int i = 0; i < 8000; ++i)
        text += "12-04 22:58:01 Info zeAgtSvc:1a2c line " + std::to_string(i * 7919 % 10007) + "\r\n";
    WriteFileBytes(folder + L"\\known.log", text);
    WriteFileBytes(folder + L"\\known.log.expected", text);
    return LogUtils::ArchiveLogFile((folder + L"\\known.log").c_str()) == 1;
}

bool WriteWithRotation(const std::wstring& folder)
{
    testsupport::ScopedRegistryKey root(HKEY_LOCAL_MACHINE, logtest::kRootKey);
    root.SetString(L"szInstallDir", folder);
    WriteFileBytes(folder + L"\\logCfg.Ini",
                   "[stress]\nfilter=*.Debug\ntype=file\nformat=%m\nfilename=stress.log\nmaxsize=3000\n");
    const int kProcesses = 4, kEvents = 400;
    std::vector<std::unique_ptr<logtest::ChildProcess>> writers;
    std::string expected;
    for (int p = 0; p < kProcesses; ++p) {
        const std::wstring tag = L"writer" + std::to_wstring(p);
        writers.emplace_back(new logtest::ChildProcess(L"log_writer", tag + L" " + std::to_wstring(kEvents) + L" 2"));
        if (!writers.back()->started)
            return false;
        char line[64];
        for (int i = 0; i < kEvents; ++i) {
            std::snprintf(line, sizeof(line), "writer%d-%05d\n", p, i);
            expected += line;
        }
    }
    bool allEnded = true;
    for (auto& writer : writers)
        allEnded = writer->Wait() == 0 && allEnded;
    WriteFileBytes(folder + L"\\stress.expected", expected);
    return allEnded;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: log_archive_fixture <folder>\n");
        return 2;
    }
    const std::wstring folder = testsupport::Wide(argv[1]);
    const bool known = ArchiveKnownLog(folder);
    const bool stress = WriteWithRotation(folder);
    std::printf("known.log archived: %s\nstress writers ended: %s\n", known ? "yes" : "no", stress ? "yes" : "no");
    return known && stress ? 0 : 1;
}
