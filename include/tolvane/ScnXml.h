// CScnXml: the scan report. A scanner builds one per scan, calls Init (which
// writes the report header into a new temporary file in the upload folder),
// adds each detection, sets the number of files scanned and destroys it; the
// destructor closes the document and renames the file to its final ".Xml"
// name, from where the upload component collects it. One object per scan and
// one Init per object; one thread per object at a time, separate objects are
// independent. Texts are null-terminated UTF-16 (docs/client-api.md).
#pragma once

#include "tolvane/Api.h"
#include "tolvane/ReportBase.h"

// The detection record that the scanner passes to AddInfected. Texts are
// null-terminated UTF-16; a null pointer counts as empty text.
struct CInfected {
    const unsigned short* itemName;       // the infected file, key, cookie...
    const unsigned short* virusName;
    unsigned int flags;                   // CInfected::Flag... bits
    unsigned int actionCode;              // ActionAccessDenied, ActionPendingRestart, ...
    unsigned short detectionSubType;      // with FlagProgram: SubType...
    const unsigned short* bofProcessName; // buffer-overflow detections
    const unsigned short* bofExploitName;

    enum Flags : unsigned int {
        FlagCleaned = 0x1,
        FlagCleanFailed = 0x2,
        FlagDeleted = 0x4,
        FlagQuarantined = 0x8,
        FlagFile = 0x40,
        FlagBootSector = 0x80,
        FlagMemory = 0x100,
        FlagVirus = 0x400,
        FlagTrojan = 0x800,
        FlagUnwanted = 0x1000,
        FlagProgram = 0x4000,
        FlagBufferOverflow = 0x8000,
        FlagHeuristic = 0x10000,
        FlagRegistry = 0x20000,
        FlagCookie = 0x40000,
    };
    enum Actions : unsigned int {
        ActionAccessDenied = 1093,
        ActionPendingRestart = 1099,
    };
    enum SubTypes : unsigned short {
        SubTypeUnwanted = 5,
        SubTypeAdware = 12,
        SubTypeSpyware = 13,
        SubTypeDialer = 14,
        SubTypeRemoteAdmin = 15,
        SubTypePasswordCracker = 16,
        SubTypeJoke = 17,
        SubTypeKeylogger = 100,
        SubTypeHijacker = 101,
    };
};

class TOLVANE_API CScnXml final : public CReportBase {
public:
    // Loads the resource library "QxRes_l.dll" of the interface language; the
    // report's texts are empty without one. Logs an Info line first.
    // Last error: changed (3 when no resource library is found).
    // Throws: CSystemException 0x80070006 when its log line cannot be written
    //   because another kind of object holds the log mutex's name
    //   (docs/client-api.md); nothing otherwise.
    CScnXml();
    // Writes the statistics block and gives the report its final name; an
    // incomplete report is deleted. After a failed Init it writes nothing and
    // leaves the .tmp file that Init created.
    // Last error: unchanged after a failed Init.
    // Throws: nothing.
    ~CScnXml();

    // Collects the status and writes the header into a new report file
    // "<upload folder>\CIO<guid>.tmp". path is not used.
    // Result: 1 the file is open with its header; 0 no report: the object stays
    //   stopped for good (AddInfected answers 0). Do not call Init again: a
    //   second Init starts another file that is never completed.
    // Last error: changed (3 without an upload folder; ERROR_FILENAME_EXCED_RANGE
    //   and no file when the upload folder is too long for a whole report name).
    // Throws: nothing.
    // Process-wide effects: may create the upload folder (one level), the key
    //   Agent and its "szMachineID" (only when the key opens for writing). For
    //   partner builds the calling thread must have initialised COM.
    int Init(const unsigned short* path) override;
    // Writes one detection block; null texts count as empty.
    // Result: 1 when written; 0 not (always 0 after a failed Init).
    // Last error: unchanged after a failed Init.
    // Throws: nothing.
    int AddInfected(CInfected& record);
    // The number of files scanned, written by the destructor (the last value
    // counts).
    // Last error: unchanged.
    // Throws: nothing.
    void SetNumScanned(unsigned int count);
    // The temporary report file (owned here); empty text when none was named.
    const unsigned short* GetXmlFile();
    // Nonzero when the temporary report file exists.
    int XmlFileExist();

private:
    int BuildReport(CMyString& content, void* arg) override;

    // Fixed layout: client programs allocate this object themselves, so its
    // size and every field offset are part of the interface (pinned for both
    // ABIs by tests/msvc/layouts.txt). Never add, remove, resize or reorder a
    // field. New state lives in the library: in a table keyed by the object's
    // address (filled by the constructor, emptied by the destructor), or in a
    // new exported class.
    CReportFile m_scanFile;
    unsigned int m_stopped;
    unsigned int m_filesScanned;
    unsigned int m_filesInfected;
    HMODULE m_resourceLibrary;
    CMyString m_buildId;
    CMyString m_buildType;
    CMyString m_partnerCode;
    unsigned int m_partnerBuild;
};
