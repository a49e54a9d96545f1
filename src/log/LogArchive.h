// Compression of oversized log files into cabinet archives beside them,
// through the system's cabinet library (MSZIP).
#pragma once

#include <string>

namespace LogUtils {

// Packs the log file into "<name><yyyymmddhhmmss>.cab" in its folder, the
// file inside named "<name><yyyymmddhhmmss>"; a log that does not fit one
// cabinet continues in "<name><yyyymmddhhmmss>_2.cab", "_3.cab" and so on. For zeAgent.log and
// zeUpdate.log the older archives are pruned first. Returns 1 when the
// archive has been written and closed, 0 otherwise (an archive of the same
// name is never overwritten). archiveName, when given, receives the name of
// the archive written (its first cabinet, without folder).
int ArchiveLogFile(const wchar_t* logPath, std::wstring* archiveName = nullptr);

// Deletes an archive that ArchiveLogFile wrote beside the log, with the
// cabinets that continue it.
void DeleteArchive(const wchar_t* logPath, const std::wstring& archiveName);

// Lists the entries of folder + pattern, at most 10 archives (the cabinets
// of one set count as one), and deletes all but the newest archive: the set
// whose name sorts last. folder ends with a backslash. Returns the number of
// archives listed.
int PruneOldArchives(const wchar_t* folder, const wchar_t* pattern);

// Whether archiving this log (a file name without folder) prunes its older
// archives: only the main agent log and the update log are kept short.
bool ArchivesArePruned(const wchar_t* logFileName);

// The set an archive belongs to: its name without ".cab" and without the
// "_N" that numbers a continuation cabinet behind the time stamp
// ("zeAgent.log20261204225959_3.cab" belongs to "zeAgent.log20261204225959").
std::wstring ArchiveSetName(const std::wstring& archiveName);

} // namespace LogUtils
