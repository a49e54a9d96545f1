// CSystemException: the exception of the common code, one 32-bit code,
// thrown by value. Which exported calls let it pass, and with which codes, is
// in each declaration's comment: CExcludeHelper::GetExcludeItems(keyName)
// (0x10001, 0x80070006) and the CScnXml constructor (0x80070006, while
// another kind of object holds the log mutex's name). A log event's failure
// carries the HRESULT of the Windows error.
#pragma once

struct CSystemException {
    unsigned int code;
};

namespace Tolvane {

// Codes in use.
constexpr unsigned int kStringFailure = 0x10001;  // CMyString, CFileName, sized CBuffer
constexpr unsigned int kBufferFailure = 0x10002;  // CBuffer character removal

} // namespace Tolvane
