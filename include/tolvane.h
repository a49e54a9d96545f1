/* Tolvane.dll: the umbrella header for client programs.
   Link with the import library (lib/libTolvane.dll.a) and -static, and ship
   Tolvane.dll beside the program (docs/linking.md). The exported classes
   are exported under the MinGW-w64 C++ ABI and, for clients of the Microsoft
   C++ ABI linking lib/Tolvane.lib, under that ABI too (docs/msvc-clients.md);
   the free functions are plain C. Compiled as C, this header declares the
   free functions, the logging exports and the version only.
   Each declaration's comment is its manual: result, last error, what it may
   throw, threads and process-wide effects, argument limits. */
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
