#include "log/LogArchive.h"

#include <windows.h>
#include <fci.h>
#include <shlwapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "common/ScopedHandle.h"

namespace LogUtils {
namespace {

// The cabinet library's entry points, looked up by name at run time. They
// live in process-wide variables while an archive is being made.
typedef HFCI(DIAMONDAPI* FciCreateFn)(PERF, PFNFCIFILEPLACED, PFNFCIALLOC, PFNFCIFREE, PFNFCIOPEN,
                                      PFNFCIREAD, PFNFCIWRITE, PFNFCICLOSE, PFNFCISEEK,
                                      PFNFCIDELETE, PFNFCIGETTEMPFILE, PCCAB, void*);
typedef BOOL(DIAMONDAPI* FciAddFileFn)(HFCI, char*, char*, BOOL, PFNFCIGETNEXTCABINET,
                                       PFNFCISTATUS, PFNFCIGETOPENINFO, TCOMP);
typedef BOOL(DIAMONDAPI* FciFlushCabinetFn)(HFCI, BOOL, PFNFCIGETNEXTCABINET, PFNFCISTATUS);
typedef BOOL(DIAMONDAPI* FciFlushFolderFn)(HFCI, PFNFCIGETNEXTCABINET, PFNFCISTATUS);
typedef BOOL(DIAMONDAPI* FciDestroyFn)(HFCI);

HMODULE g_cabinet;
FciCreateFn g_fciCreate;
FciAddFileFn g_fciAddFile;
FciFlushCabinetFn g_fciFlushCabinet;
FciFlushFolderFn g_fciFlushFolder;
FciDestroyFn g_fciDestroy;

template <class Fn>
Fn Lookup(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_cabinet, name)));
}

void ReleaseCabinetLibrary()
{
    if (g_cabinet)
        FreeLibrary(g_cabinet);
    g_cabinet = nullptr;
    g_fciCreate = nullptr;
    g_fciAddFile = nullptr;
    g_fciFlushCabinet = nullptr;
    g_fciFlushFolder = nullptr;
    g_fciDestroy = nullptr;
}

bool LoadCabinetLibrary()
{
    // Only the system's own cabinet library: a bare name would be searched
    // first in the host program's folder, where anybody may have put one.
    g_cabinet = LoadLibraryExW(L"CABINET", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!g_cabinet && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems without the restricted search: the full path in the system folder.
        wchar_t system[MAX_PATH];
        const UINT chars = GetSystemDirectoryW(system, MAX_PATH);
        if (chars > 0 && chars < MAX_PATH - 16)
            g_cabinet = LoadLibraryW((std::wstring(system) + L"\\cabinet.dll").c_str());
    }
    if (!g_cabinet)
        return false;
    g_fciCreate = Lookup<FciCreateFn>("FCICreate");
    g_fciAddFile = Lookup<FciAddFileFn>("FCIAddFile");
    g_fciFlushCabinet = Lookup<FciFlushCabinetFn>("FCIFlushCabinet");
    g_fciFlushFolder = Lookup<FciFlushFolderFn>("FCIFlushFolder");
    g_fciDestroy = Lookup<FciDestroyFn>("FCIDestroy");
    if (!g_fciCreate || !g_fciAddFile || !g_fciFlushCabinet || !g_fciDestroy) {
        ReleaseCabinetLibrary();
        return false;
    }
    return true;
}

// Callbacks of the cabinet library.

FNFCIALLOC(CabAlloc) { return malloc(cb); }

FNFCIFREE(CabFree) { free(memory); }

FNFCIOPEN(CabOpen)
{
    (void)pv;
    int handle = _open(pszFile, oflag, pmode);
    if (handle == -1)
        *err = errno;
    return handle;
}

FNFCIREAD(CabRead)
{
    (void)pv;
    int moved = _read(static_cast<int>(hf), memory, cb);
    if (static_cast<UINT>(moved) != cb)
        *err = errno;
    return static_cast<UINT>(moved);
}

FNFCIWRITE(CabWrite)
{
    (void)pv;
    int moved = _write(static_cast<int>(hf), memory, cb);
    if (static_cast<UINT>(moved) != cb)
        *err = errno;
    return static_cast<UINT>(moved);
}

FNFCICLOSE(CabClose)
{
    (void)pv;
    if (hf == -1)
        return 0;
    int result = _close(static_cast<int>(hf));
    if (result != 0)
        *err = errno;
    return result;
}

FNFCISEEK(CabSeek)
{
    (void)pv;
    long position = _lseek(static_cast<int>(hf), dist, seektype);
    if (position == -1)
        *err = errno;
    return position;
}

FNFCIDELETE(CabDelete)
{
    (void)pv;
    int result = remove(pszFile);
    if (result != 0)
        *err = errno;
    return result;
}

FNFCIGETTEMPFILE(CabTempFile)
{
    (void)pv;
    char* name = _tempnam("", "xx");
    if (!name)
        return FALSE;
    bool fits = strlen(name) < static_cast<size_t>(cbTempName);
    if (fits)
        strcpy(pszTempName, name);
    free(name);
    return fits;
}

FNFCIFILEPLACED(CabFilePlaced)
{
    (void)pccab; (void)pszFile; (void)cbFile; (void)fContinuation; (void)pv;
    return 0;
}

FNFCISTATUS(CabProgress)
{
    (void)typeStatus; (void)cb1; (void)cb2; (void)pv;
    return 0;
}

// A log whose compressed form does not fit one cabinet continues in
// "<inner name>_2.cab", "<inner name>_3.cab" and so on beside the first; the
// cabinet library has already counted the new cabinet's number in iCab.
FNFCIGETNEXTCABINET(CabNextCabinet)
{
    (void)cbPrevCab; (void)pv;
    std::string name(pccab->szCab);
    const std::string extension = ".cab";
    if (name.size() < extension.size() || name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return FALSE;
    name.erase(name.size() - extension.size());
    if (pccab->iCab > 2) {
        const std::string previous = "_" + std::to_string(pccab->iCab - 1);
        if (name.size() < previous.size() || name.compare(name.size() - previous.size(), previous.size(), previous) != 0)
            return FALSE;
        name.erase(name.size() - previous.size());
    }
    name += "_" + std::to_string(pccab->iCab) + extension;
    if (name.size() >= sizeof(pccab->szCab))
        return FALSE;
    memcpy(pccab->szCab, name.c_str(), name.size() + 1);
    return TRUE;
}

FNFCIGETOPENINFO(CabOpenInfo)
{
    (void)pv;
    BOOL dated;
    {
        const FileHandle file(CreateFileA(pszName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            return -1;
        BY_HANDLE_FILE_INFORMATION info;
        FILETIME local;
        dated = GetFileInformationByHandle(file.Get(), &info) &&
                FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) &&
                FileTimeToDosDateTime(&local, pdate, ptime);
    }
    if (!dated)
        return -1;
    DWORD attributes = GetFileAttributesA(pszName);
    *pattribs = attributes == INVALID_FILE_ATTRIBUTES
                    ? 0
                    : static_cast<USHORT>(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    int handle = _open(pszName, _O_RDONLY | _O_BINARY);
    if (handle == -1)
        *err = errno;
    return handle;
}

std::string ToAnsi(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, &result[0], bytes, nullptr, nullptr);
    result.resize(static_cast<size_t>(bytes - 1));
    return result;
}

// Copies text with its terminator into a cabinet field; false when it does not fit.
bool CopyField(char (&field)[256], const std::string& text)
{
    if (text.size() >= sizeof(field))
        return false;
    memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

bool DestroyContext(HFCI context)
{
    if (!g_fciDestroy(context))
        return false;
    ReleaseCabinetLibrary();
    return true;
}

void RemoveAll(std::wstring& text, const std::wstring& part)
{
    if (part.empty())
        return;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

// The log's folder with its backslash (a bare backslash when the path has
// none or begins with it).
std::wstring FolderOf(const std::wstring& path)
{
    size_t lastSlash = path.rfind(L'\\');
    return lastSlash == std::wstring::npos || lastSlash == 0 ? std::wstring(L"\\")
                                                              : path.substr(0, lastSlash) + L"\\";
}

bool AllDigits(const std::wstring& text, size_t from, size_t to)
{
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return true;
}

// Hands the name of each entry that a search for pattern finds to take
// until take returns false; false when the search found nothing.
template <class Take>
bool ForEachFound(const wchar_t* pattern, Take take)
{
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW(pattern, &found));
    if (!search)
        return false;
    do {
        if (!take(found.cFileName))
            break;
    } while (FindNextFileW(search.Get(), &found));
    return true;
}

} // namespace

std::wstring ArchiveSetName(const std::wstring& archiveName)
{
    const size_t kStampChars = 14;
    const std::wstring extension = L".cab";
    std::wstring name = archiveName;
    if (name.size() >= extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        name.erase(name.size() - extension.size());
    const size_t mark = name.rfind(L'_');
    if (mark != std::wstring::npos && mark >= kStampChars && AllDigits(name, mark + 1, name.size()) &&
        AllDigits(name, mark - kStampChars, mark))
        name.erase(mark);
    return name;
}

int PruneOldArchives(const wchar_t* folder, const wchar_t* pattern)
{
    // At most 10 archives take part in one run; the cabinets of one set
    // share its time stamp and count as one archive, so they stay or go
    // together. The archives of one log sort by their time stamps.
    const size_t kMaxListed = 10;
    std::vector<std::wstring> names;
    std::vector<std::wstring> sets;
    const bool found = ForEachFound(pattern, [&](const wchar_t* name) {
        const std::wstring set = ArchiveSetName(name);
        if (std::find(sets.begin(), sets.end(), set) == sets.end()) {
            if (sets.size() == kMaxListed)
                return false;
            sets.push_back(set);
        }
        names.push_back(name);
        return true;
    });
    if (!found)
        return 0;

    const std::wstring newest = *std::max_element(sets.begin(), sets.end(),
        [](const std::wstring& a, const std::wstring& b) { return wcscmp(a.c_str(), b.c_str()) < 0; });
    for (const std::wstring& name : names)
        if (ArchiveSetName(name) != newest)
            DeleteFileW((folder + name).c_str());
    return static_cast<int>(sets.size());
}

bool ArchivesArePruned(const wchar_t* logFileName)
{
    return wcscmp(logFileName, L"zeAgent.log") == 0 || wcscmp(logFileName, L"zeUpdate.log") == 0;
}

void DeleteArchive(const wchar_t* logPath, const std::wstring& archiveName)
{
    const std::wstring folder = FolderOf(logPath), set = ArchiveSetName(archiveName);
    std::vector<std::wstring> names;
    ForEachFound((folder + set + L"*.cab").c_str(), [&](const wchar_t* name) {
        if (ArchiveSetName(name) == set)
            names.push_back(name);
        return true;
    });
    for (const std::wstring& name : names)
        DeleteFileW((folder + name).c_str());
}

int ArchiveLogFile(const wchar_t* logPath, std::wstring* written)
{
    std::wstring path(logPath);
    std::wstring folder = FolderOf(path);
    std::wstring fileName = path;
    RemoveAll(fileName, folder);

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[64];
    swprintf(stamp, 64, L"%04u%02u%02u%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    std::wstring innerName = fileName + stamp;
    std::wstring archiveName = innerName + L".cab";
    std::wstring pattern = fileName + L"*" + L".cab";

    if (ArchivesArePruned(fileName.c_str()))
        PruneOldArchives(folder.c_str(), (folder + pattern).c_str());

    // Two archivings of one log within the same second would give the same
    // archive name: the earlier archive is kept, and the log goes on growing
    // until the next second.
    if (GetFileAttributesW((folder + archiveName).c_str()) != INVALID_FILE_ATTRIBUTES)
        return 0;

    CCAB parameters = {};
    parameters.cb = 300000;
    parameters.cbFolderThresh = 900000;
    parameters.iCab = 1;
    parameters.iDisk = 0;
    parameters.fFailOnIncompressible = FALSE;
    parameters.setID = 12345;
    if (!CopyField(parameters.szCabPath, ToAnsi(folder)) ||
        !CopyField(parameters.szCab, ToAnsi(archiveName)))
        return 0;

    if (!LoadCabinetLibrary())
        return 0;

    ERF error = {};
    HFCI context = g_fciCreate(&error, CabFilePlaced, CabAlloc, CabFree, CabOpen, CabRead, CabWrite,
                               CabClose, CabSeek, CabDelete, CabTempFile, &parameters, nullptr);
    if (!context) {
        ReleaseCabinetLibrary();
        return 0;
    }
    std::string source = ToAnsi(path);
    std::string inner = ToAnsi(innerName);
    if (!g_fciAddFile(context, &source[0], &inner[0], FALSE, CabNextCabinet, CabProgress,
                      CabOpenInfo, tcompTYPE_MSZIP)) {
        DestroyContext(context);
        return 0;
    }
    if (!g_fciFlushCabinet(context, FALSE, CabNextCabinet, CabProgress)) {
        DestroyContext(context);
        return 0;
    }
    if (!DestroyContext(context))
        return 0;
    if (written)
        *written = archiveName;
    return 1;
}

} // namespace LogUtils
