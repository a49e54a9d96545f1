#include "CabinetExtract.h"

#include <windows.h>
#include <fdi.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

std::string g_folder;   // where the files being extracted go

FNALLOC(ExtractAlloc) { return malloc(cb); }
FNFREE(ExtractFree) { free(pv); }
FNOPEN(ExtractOpen) { return _open(pszFile, oflag, pmode); }
FNREAD(ExtractRead) { return static_cast<UINT>(_read(static_cast<int>(hf), pv, cb)); }
FNWRITE(ExtractWrite) { return static_cast<UINT>(_write(static_cast<int>(hf), pv, cb)); }
FNCLOSE(ExtractClose) { return _close(static_cast<int>(hf)); }
FNSEEK(ExtractSeek) { return _lseek(static_cast<int>(hf), dist, seektype); }

FNFDINOTIFY(ExtractNotify)
{
    switch (fdint) {
    case fdintCOPY_FILE: {
        const std::string target = g_folder + "\\" + pfdin->psz1;
        return _open(target.c_str(), _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    }
    case fdintCLOSE_FILE_INFO:
        _close(static_cast<int>(pfdin->hf));
        return TRUE;
    case fdintNEXT_CABINET:
        return 0;   // the next cabinet lies beside the first, under the name the cabinet gives
    default:
        return 0;
    }
}

} // namespace

bool ExtractCabinet(const std::string& cabinetPath, const std::string& folder)
{
    const size_t slash = cabinetPath.rfind('\\');
    std::string name = cabinetPath.substr(slash + 1);
    std::string path = cabinetPath.substr(0, slash + 1);
    g_folder = folder;
    ERF error = {};
    HFDI context = FDICreate(ExtractAlloc, ExtractFree, ExtractOpen, ExtractRead, ExtractWrite, ExtractClose,
                             ExtractSeek, cpuUNKNOWN, &error);
    if (!context)
        return false;
    const BOOL copied = FDICopy(context, &name[0], &path[0], 0, ExtractNotify, nullptr, nullptr);
    FDIDestroy(context);
    return copied != FALSE;
}
