// CSystemException: the exception of the common code, one 32-bit code,
// thrown by value. CExcludeHelper::GetExcludeItems(keyName) lets it pass to
// its caller.
#pragma once

struct CSystemException {
    unsigned int code;
};

namespace Tolvane {

// Codes in use.
constexpr unsigned int kStringFailure = 0x10001;  // CMyString, CFileName, sized CBuffer
constexpr unsigned int kBufferFailure = 0x10002;  // CBuffer character removal

} // namespace Tolvane
