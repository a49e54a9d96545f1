// CFileLine: reads a whole file into memory and hands it out line by line.
// Lines end with CR LF; the lines live in the reader's buffer until it is
// cleared or destroyed.
#pragma once

#include "common/CMyString.h"
#include "common/PointerListCursor.h"
#include "tolvane/PointerList.h"

class CFileLine {
public:
    enum Encoding { EncodingNone = 0, EncodingUtf8 = 1 };

    CFileLine();
    ~CFileLine();
    CFileLine(const CFileLine&) = delete;
    CFileLine& operator=(const CFileLine&) = delete;

    // 1 when the file was read and split; 0 when it cannot be opened or a
    // failure occurred (the failure is logged).
    int Read(const wchar_t* path);
    // Current line = 0 / current line + 1, decoded to wide text. 1, or 0 when
    // there is no such line.
    int GetFirstLine(CMyString& line);
    int GetNextLine(CMyString& line);

    unsigned int GetLineCount() const { return m_lineStarts.GetCount(); }
    unsigned int GetDataSize() const { return m_dataSize; }
    Encoding GetEncoding() const { return m_encoding; }

private:
    void Clear();
    int ReadFile(const wchar_t* path);
    void SplitLines();
    int GetLine(unsigned int index, CMyString& line);

    char* m_data;               // file bytes and one zero byte
    unsigned int m_dataSize;    // number of data bytes
    CPointerList m_lineStarts;  // char* into m_data, in file order
    CPointerListCursor m_lineCursor;   // keeps reading line after line linear
    unsigned int m_current;
    Encoding m_encoding;
};
