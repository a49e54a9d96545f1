// The language list file "Languages.xml" and the support mask: which
// languages the installation offers to this customer.
#pragma once

#include <string>
#include <vector>

// The support-mask bit of the language whose key (four hexadecimal digits,
// e.g. 0409) matches, ignoring case, the fourth attribute of an entry of the
// list (the children of the file's first top-level element, in file order);
// the bit is the entry's fifth attribute read as a signed decimal number.
// -1 when the file has no top-level element or no entry matches. Entries
// with fewer than five attributes are passed over.
int FindLanguageMaskBit(const wchar_t* listFile, const wchar_t* key);

// The mask as a big-endian number written in hexadecimal, two digits per
// byte (an odd count gets a leading 0): its bytes, most significant first.
std::vector<unsigned char> DecodeSupportMask(const wchar_t* mask);

// Whether bit `bit` of the mask is set; false for a negative bit and for
// one beyond the mask's length.
bool IsMaskBitSet(const wchar_t* mask, int bit);
