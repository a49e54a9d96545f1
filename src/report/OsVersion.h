// The operating-system description of the reports: the name from the
// table of known systems, the build number and the service pack, for
// example "Windows XP Professional,Build 2600,Service Pack 3".
#pragma once

#include <windows.h>

namespace Report {

constexpr int kOsVersionChars = 128;

// The index into the name table (0: unknown). extended tells whether the
// product type and suite mask were filled.
int OsNameIndex(const OSVERSIONINFOEXW& info, bool extended);
const wchar_t* OsName(int index);

// Writes the description; false when the service pack did not fit (the
// text then stays cut).
bool DescribeOsVersion(const OSVERSIONINFOEXW& info, bool extended,
                       wchar_t (&text)[kOsVersionChars]);

} // namespace Report
