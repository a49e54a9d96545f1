// CReportFile and CReportBase: the file through which reports are written and
// the report base class with the machine and product status that every
// report shows. Public because the exported scan report (CScnXml) derives
// from CReportBase and clients allocate it themselves. Of these two classes
// Tolvane.dll exports only CReportBase's public virtual operations: the
// members that a client could not link are declared for the library's build
// only.
#pragma once

#include <windows.h>

#include "tolvane/Api.h"
#include "tolvane/MyString.h"

// A report file: one path and at most one open handle.
class CReportFile {
public:
#if defined(TOLVANE_BUILD)
    // Inside the library only (not exported from Tolvane.dll).
    CReportFile();
    explicit CReportFile(const wchar_t* path);
    ~CReportFile();

    // Opens the existing file. Modes: 0 read (shared for reading), 1 read and
    // write (shared for reading), 2 read (shared for reading and writing),
    // 3 read (not shared), others attributes only. Nonzero when opened.
    int Open(unsigned int mode);
    // Nonzero when an open handle was closed.
    int Close();
    // Bytes read or written at the current position; 0 when closed or failed.
    unsigned long Read(void* buffer, unsigned long count);
    unsigned long Write(const void* buffer, unsigned long count);
    // The whole text as UTF-8 (no terminator, no byte-order mark), one Write.
    unsigned long WriteText(const CMyString& text);
    // The size in bytes (low 32 bits); the file position is kept.
    unsigned long GetSize();
    // Nonzero when the name exists and is not a folder.
    int Exists() const;

    void SetName(const wchar_t* path);
    // Takes handle, name and read-only flag from other, which is left closed.
    void TakeFrom(CReportFile& other);
#endif
    CReportFile(const CReportFile&) = delete;
    CReportFile& operator=(const CReportFile&) = delete;

    const CMyString& GetName() const { return m_name; }

private:
    HANDLE m_handle TOLVANE_LIBRARY_FIELD;         // INVALID_HANDLE_VALUE when closed
    CMyString m_name;                              // empty text when built without a path
    unsigned int m_readOnly TOLVANE_LIBRARY_FIELD; // 1 after an open in any mode but 1
};

// The report base class. It collects the status values once in Init and
// names, creates and writes report files in the upload folder. The virtual
// operations keep this slot order; there is no virtual destructor.
class CReportBase {
public:
    CReportBase(const CReportBase&) = delete;
    CReportBase& operator=(const CReportBase&) = delete;

    // The virtual operations in slot order. The public ones are exported:
    // a call through a CScnXml* names them directly (CScnXml is final);
    // Init is CScnXml's own.
    // Init, BuildReport, name, create and write the whole report; nonzero on success.
    TOLVANE_API virtual int WriteReport(void* arg);
    // Collects the status; binds the own report file to path when given. Always 1.
    virtual int Init(const unsigned short* path);
    // A new name "<upload folder>\CIO<guid>.tmp" into buffer (which must hold
    // length + 1, zero-filled). 1, or 0; a name longer than length characters
    // is not handed out (0, last error ERROR_FILENAME_EXCED_RANGE).
    TOLVANE_API virtual int GetReportFileName(wchar_t* buffer, unsigned int length);
    // The encoding declaration: encoding="UTF-8".
    TOLVANE_API virtual void SetEncoding();
    // Writes content as UTF-8 into the existing temporary file and renames it
    // to ".xml"; a failed write deletes the file. Nonzero on success.
    TOLVANE_API virtual int WriteToXmlFile(const wchar_t* tempPath, CMyString& content);
    // The derived report's text; arg is WriteReport's argument.
    virtual int BuildReport(CMyString& content, void* arg) = 0;

#if defined(TOLVANE_BUILD)
    // Inside the library only (not exported from Tolvane.dll).
    CReportBase();
    ~CReportBase();

    // Creates the empty file with special access rights (a new file only).
    int CreateXmlFile(const wchar_t* path);

    // The status getters, in the order in which Init calls them (the encoding
    // declaration comes second). None fails: each leaves its fallback.
    void GetCpuID();
    void GetDatVersion();
    void GetAgentBuildVersion();
    void GetEngineVersion();
    void GetMachineName();
    void GetCompany();
    void GetGroupID();
    void GetIPAddress();
    void GetEmailAddress();
    void GetSoftwareVersion();
    void GetUnInstallState();
    void GetLanguageID();
    void GetScannerBuildVersion();
    void GetOSVersion();
    void GetIEVersion();
    void GetMurmelServerFlag();
    void GetDatDate();
    // 1 when a scanner has the cloud lookup switched on; read on every call.
    int IsHalcyraEnabled();

protected:
    // Replaces the status placeholders of a header (machine identifier to
    // peer-update server flag) in their fixed order.
    void ExpandStatusPlaceholders(CMyString& text);
#endif

protected:
    // Fixed layout: the fields of CScnXml's base, allocated by client
    // programs with it; see the note at CScnXml's fields.
    CReportFile m_reportFile;
    CMyString m_machineId;
    CMyString m_machineName;
    CMyString m_company;
    CMyString m_ipAddress;
    CMyString m_emailAddress;
    CMyString m_lastDetectionTime;
    CMyString m_softwareVersion;
    CMyString m_encoding;
    unsigned int m_unInstalling;
    wchar_t m_datVersion[32];
    wchar_t m_datDate[16];
    wchar_t m_engineVersion[32];
    wchar_t m_agentBuildVersion[16];
    wchar_t m_languageId[16];
    wchar_t m_ieVersion[128];
    wchar_t m_scannerBuildVersion[16];
    wchar_t m_osVersion[128];
    wchar_t m_groupId[10];
    int m_murmelServerFlag;
};
