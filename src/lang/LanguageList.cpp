#include "lang/LanguageList.h"
#include "lang/LanguageTables.h"

#include <cwchar>
#include <climits>

#include "lang/XmlFile.h"

namespace {

constexpr unsigned int kKeyAttribute = 3;   // the fourth attribute
constexpr unsigned int kBitAttribute = 4;   // the fifth attribute

// Leading blanks and a sign are allowed; reading stops at the first other
// character; 0 when no digit stands there.
int ReadSignedDecimal(const wchar_t* text)
{
    const long value = wcstol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int FindLanguageMaskBit(const wchar_t* listFile, const wchar_t* key)
{
    CXmlFile file(listFile);
    const CXmlEntry* list = file.GetChild(0);
    if (list == nullptr)
        return -1;
    for (unsigned int i = 0; i < list->GetChildCount(); ++i) {
        const CXmlEntry* entry = list->GetChild(i);
        const CXmlAttribute* id = entry->GetAttribute(kKeyAttribute);
        const CXmlAttribute* bit = entry->GetAttribute(kBitAttribute);
        if (id == nullptr || bit == nullptr || !id->value.HasText() || !bit->value.HasText())
            continue;
        if (_wcsicmp(id->value.c_str(), key) == 0)
            return ReadSignedDecimal(bit->value.c_str());
    }
    return -1;
}

std::vector<unsigned char> DecodeSupportMask(const wchar_t* mask)
{
    std::wstring text(mask);
    if (text.size() % 2 != 0)
        text.insert(text.begin(), L'0');
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned int value = 0;
        const int high = HexDigitValue(text[i]);
        if (high >= 0) {
            value = static_cast<unsigned int>(high);
            const int low = HexDigitValue(text[i + 1]);
            if (low >= 0)
                value = value * 16 + static_cast<unsigned int>(low);
        }
        bytes.push_back(static_cast<unsigned char>(value));
    }
    return bytes;
}

bool IsMaskBitSet(const wchar_t* mask, int bit)
{
    if (bit < 0)
        return false;
    const std::vector<unsigned char> bytes = DecodeSupportMask(mask);
    const size_t byteFromEnd = static_cast<size_t>(bit) / 8;
    if (byteFromEnd >= bytes.size())
        return false;
    const unsigned char byte = bytes[bytes.size() - 1 - byteFromEnd];
    return (byte >> (bit % 8)) & 1;
}
