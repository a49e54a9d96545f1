// The scan report's XML format: the four templates, the escaping of values
// and the tables that turn a detection's flags into its item type, status
// and virus type.
#pragma once

#include "common/CMyString.h"

namespace Report {

// Every line ends with "\r\n"; indentation is part of the format.
extern const wchar_t kPlainHeader[];
extern const wchar_t kPartnerHeader[];
extern const wchar_t kDetectionBlock[];
extern const wchar_t kStatisticsBlock[];

// Replaces every occurrence of placeholder; a value without text counts as
// empty text. Every placeholder but the encoding stands inside an attribute
// value: Expand inserts the value made safe there (AttributeSafe.h), while
// ExpandDeclaration inserts the encoding declaration as it is.
void Expand(CMyString& text, const wchar_t* placeholder, const wchar_t* value);
void ExpandDeclaration(CMyString& text, const wchar_t* placeholder, const wchar_t* value);

// Escaping, done on a value before it is inserted.
void EscapeFull(CMyString& value);        // & > < ' " to entities, in this order
void EscapeItemName(CMyString& value);    // drop < and >, then & and ' to entities
void EscapeAmpersand(CMyString& value);   // & only

// The item type word of the first flag that is set.
const wchar_t* ItemTypeWord(unsigned int flags);

struct TextChoice {
    unsigned int stringNumber;   // in the resource library's string table
    unsigned int identifier;     // %STATUSID% or %VIRUSTYPEID%
};
TextChoice ChooseStatus(unsigned int flags, unsigned int actionCode);
TextChoice ChooseVirusType(unsigned int flags, unsigned short subType);

} // namespace Report
