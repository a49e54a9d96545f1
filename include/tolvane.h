/* Tolvane.dll: the umbrella header for client programs.
   Link with the import library (lib/libTolvane.dll.a) and -static, and ship
   Tolvane.dll beside the program (docs/linking.md). The exported classes
   follow the MinGW-w64 C++ ABI; the free functions are plain C. Compiled as
   C, this header declares the free functions, the logging exports and the
   version only. */
#pragma once

#include "tolvane/Version.h"
#include "tolvane/Functions.h"
#include "tolvane/Log.h"

#ifdef __cplusplus
#include "tolvane/SystemException.h"
#include "tolvane/PointerList.h"
#include "tolvane/ExcludeHelper.h"
#include "tolvane/OnAccExcl.h"
#include "tolvane/ScnXml.h"
#include "tolvane/LogCall.h"
#endif
