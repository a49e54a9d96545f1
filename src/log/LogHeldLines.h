// Lines that wait beside a log while another program (an editor, a backup
// tool) holds the log open without sharing write access: "<log>.held". The
// next writer that opens the log under the log file mutex moves them into the
// log, in their order, and deletes the side file.
#pragma once

#include <windows.h>

#include <string>

namespace LogUtils {

// Writes data at the end of the open file in one append; true when all of it was written.
bool AppendAtEnd(HANDLE file, const char* data, DWORD size);

// Whether a failed open of a log or its side file means that another handle is in its way now.
bool FileInUse(DWORD error);

class HeldLines {
public:
    explicit HeldLines(const std::wstring& logPath);

    // Appends the line to the side file, created with the log's security
    // attributes when missing. False with the Windows error when it cannot be
    // opened or written.
    bool Hold(const std::string& line, SECURITY_ATTRIBUTES* security, DWORD* error) const;

    // Moves the held lines to the end of the log, open for writing, and
    // deletes the side file; only for a writer that holds the log file mutex.
    // True when no line is held any more (also when none was), false when the
    // side file stays: in use by another writer or program, or the move failed.
    bool MoveInto(HANDLE log) const;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

} // namespace LogUtils
