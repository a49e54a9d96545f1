// The logging exports for client programs: a client's event is filled from
// its record and goes through the same front end as the library's own
// events. Like every plain C export, nothing leaves them: no exception, and
// not the last-error value of whatever ran inside.
#include "tolvane/Log.h"

#include <cstring>

#include "common/ExportCall.h"
#include "log/LogEvent.h"

namespace {

// The size of the record's first version; later versions only add fields.
constexpr unsigned int kFirstRecordSize = 40;
static_assert(sizeof(TolvaneLogRecord) == kFirstRecordSize,
              "records of later versions are larger; kFirstRecordSize stays 40");
// Texts that every sink prints; longer ones keep their beginnings.
constexpr size_t kCategoryChars = 255;
constexpr size_t kSourceFileChars = MAX_PATH - 1;

// A caller's text cut to capacity characters, in a buffer of this call
// site's stack; a null text stays null.
template <size_t capacity>
class BoundedText {
public:
    explicit BoundedText(const char* text) : m_text(nullptr)
    {
        if (!text)
            return;
        const size_t length = strnlen(text, capacity + 1);
        if (length <= capacity) {
            m_text = text;
            return;
        }
        std::memcpy(m_buffer, text, capacity);
        m_buffer[capacity] = '\0';
        m_text = m_buffer;
    }
    BoundedText(const BoundedText&) = delete;
    BoundedText& operator=(const BoundedText&) = delete;
    const char* Get() const { return m_text; }
private:
    const char* m_text;
    char m_buffer[capacity + 1];
};

bool IsAcceptable(const TolvaneLogRecord* record)
{
    return record && record->size >= kFirstRecordSize
        && static_cast<unsigned int>(record->level) <= LogUtils::Debug;
}

// Fills the event of a record and hands it to the front end with format.
template <class Char>
int WriteRecord(const TolvaneLogRecord* record, const Char* format, va_list args)
{
    LastErrorKept lastError;
    return CallExport([&] {
        if (!IsAcceptable(record))
            return 0;
        BoundedText<kCategoryChars> category(record->category);
        BoundedText<kSourceFileChars> sourceFile(record->sourceFile);
        LogUtils::LogEvent event(sourceFile.Get(), record->line,
                                 static_cast<LogUtils::LogLevel>(record->level), category.Get());
        if (record->hasError)
            event.WithError(record->errorCode);
        event.WriteV(format, args);
        return 1;
    }, 0);
}

// The message taken as it is, through the front end's own bounds.
template <class Char>
int WriteMessage(const TolvaneLogRecord* record, const Char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = WriteRecord(record, format, args);
    va_end(args);
    return written;
}

} // namespace

extern "C" TOLVANE_API int TolvaneLogWriteA(const TolvaneLogRecord* record, const char* message)
{
    return WriteMessage(record, message ? "%s" : nullptr, message);
}

extern "C" TOLVANE_API int TolvaneLogWriteW(const TolvaneLogRecord* record, const wchar_t* message)
{
    return WriteMessage(record, message ? L"%s" : nullptr, message);
}

extern "C" TOLVANE_API int TolvaneLogPrintfA(const TolvaneLogRecord* record, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = WriteRecord(record, format, args);
    va_end(args);
    return written;
}

extern "C" TOLVANE_API int TolvaneLogPrintfW(const TolvaneLogRecord* record, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = WriteRecord(record, format, args);
    va_end(args);
    return written;
}

extern "C" TOLVANE_API int TolvaneLogVPrintfA(const TolvaneLogRecord* record, const char* format, va_list args)
{
    return WriteRecord(record, format, args);
}

extern "C" TOLVANE_API int TolvaneLogVPrintfW(const TolvaneLogRecord* record, const wchar_t* format, va_list args)
{
    return WriteRecord(record, format, args);
}
