/* log_client TAG COUNT: COUNT rounds through the logging exports (the va_list ones are the C++ client's), each
 * message "TAG <form> <round>" ("e" in front of the form: Windows error 2 attached), from one record filled on
 * the marked line; then a null message, a 300-character category, a null category, and records refused: null,
 * level 8, too small. Exits with the number of calls that answered wrongly or changed the last error. */
#include <tolvane.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

static int failures = 0;

static void Expect(int written, int expected)
{
    failures += written != expected || GetLastError() != 1234;
    SetLastError(1234);
}

int main(int argc, char** argv)
{
    static const char* const categories[] = {"Brisko", "OrbiskUI"};
    static const TolvaneLogLevel levels[] = {TOLVANE_LOG_INFO, TOLVANE_LOG_ERROR, TOLVANE_LOG_DEBUG, TOLVANE_LOG_WARNING};
    static char longCategory[301];
    TolvaneLogRecord record = TOLVANE_LOG_RECORD_INIT(TOLVANE_LOG_INFO, "Brisko"); /* log-site */
    char text[64];
    wchar_t wide[64];
    int round, count = argc < 3 ? 0 : atoi(argv[2]);
    SetLastError(1234);
    for (round = 0; round < count; ++round) {
        const char* e = round % 4 == 1 ? "e" : "";
        record.level = levels[round % 4];
        record.category = categories[round / 4 % 2];
        record.hasError = *e != 0;
        record.errorCode = ERROR_FILE_NOT_FOUND;
        sprintf(text, "%s %sWriteA%%s %d", argv[1], e, round);
        Expect(TolvaneLogWriteA(&record, text), 1);
        swprintf(wide, 64, L"%hs %hsWriteW%%s %d", argv[1], e, round);
        Expect(TolvaneLogWriteW(&record, wide), 1);
        Expect(TolvaneLogPrintfA(&record, "%s %sPrintfA %d", argv[1], e, round), 1);
        Expect(TolvaneLogPrintfW(&record, L"%hs %hsPrintfW %d", argv[1], e, round), 1);
    }
    record.level = TOLVANE_LOG_INFO;
    record.category = "Brisko";
    record.hasError = 0;
    Expect(TolvaneLogWriteA(&record, NULL), 1);
    Expect(TolvaneLogPrintfW(&record, NULL), 1);
    sprintf(longCategory, "Brisko%0294d", 0);
    record.category = longCategory;
    Expect(TolvaneLogWriteA(&record, "long category"), 1);
    record.category = NULL;
    Expect(TolvaneLogPrintfA(&record, "%s null-category 0", argv[1]), 1);
    Expect(TolvaneLogWriteA(NULL, "refused"), 0);
    record.level = (TolvaneLogLevel)8;
    Expect(TolvaneLogWriteA(&record, "refused"), 0);
    record.level = TOLVANE_LOG_INFO;
    record.size = 36;
    Expect(TolvaneLogWriteA(&record, "refused"), 0);
    return failures;
}
