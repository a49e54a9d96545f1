// Compression of oversized log files into cabinet archives beside them,
// through the system's cabinet library (MSZIP).
#pragma once

namespace LogUtils {

// Packs the log file into "<name><yyyymmddhhmmss>.cab" in its folder, the
// file inside named "<name><yyyymmddhhmmss>". For zeAgent.log and
// zeUpdate.log the older archives are pruned first. Returns 1 when the
// archive has been written and closed, 0 otherwise (an archive of the same
// name is never overwritten).
int ArchiveLogFile(const wchar_t* logPath);

// Lists at most 10 entries of folder + pattern and deletes all but the one
// whose name sorts last. folder ends with a backslash. Returns the number of
// entries listed.
int PruneOldArchives(const wchar_t* folder, const wchar_t* pattern);

} // namespace LogUtils
