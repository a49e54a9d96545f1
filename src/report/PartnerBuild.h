// Partner builds: whether the installation is one, and the build
// identifier, build type and partner code that its partner-build component
// tells.
#pragma once

#include "common/CMyString.h"

namespace Report {

// The installation is a partner build when HKEY_LOCAL_MACHINE
// "SOFTWARE\Tavrel\Orbisk\Agent" "bPartnerBuild" is a nonzero REG_DWORD.
bool IsPartnerBuild();

// Asks the component "TavrelToDrune.OEMHelper" (COM must be initialised on
// the calling thread). What it cannot tell stays without text.
void QueryPartnerBuild(CMyString& buildId, CMyString& buildType, CMyString& partnerCode);

// "OEM", "SBK", "MNK" or "NONE".
const wchar_t* BuildTypeName(long type);

} // namespace Report
