// The product help: the help address configured for the agent, else the
// compiled help file installed with it.
#pragma once

#include "common/ClientKeys.h"
#include "common/CMyString.h"

constexpr wchar_t kHelpUrlValue[] = L"szHelpURL";
constexpr wchar_t kHelpFile[] = L"\\Agent\\qxhelp.chm";
constexpr unsigned int kHelpUrlChars = 520;

// The configured help address, empty text when there is none.
CMyString GetHelpURL();
