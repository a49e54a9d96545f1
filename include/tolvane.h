// Tolvane.dll: the umbrella header for client programs.
// Link with the import library (libTolvane.dll.a) and ship Tolvane.dll
// beside the program. The exported classes follow the MinGW-w64 C++ ABI;
// the free functions are plain C.
#pragma once

#include "tolvane/Api.h"
#include "tolvane/SystemException.h"
#include "tolvane/PointerList.h"
#include "tolvane/ExcludeHelper.h"
#include "tolvane/OnAccExcl.h"
#include "tolvane/ScnXml.h"
#include "tolvane/Functions.h"
