// The client's registry keys below HKEY_LOCAL_MACHINE (the agent key and
// the component keys below it are also used under HKEY_CURRENT_USER). Every
// module names them through these constants.
#pragma once

constexpr wchar_t kClientRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";
constexpr wchar_t kAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";
// Installed components that take a copy of the user's language choice.
constexpr wchar_t kHostedScannerComponentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\Components\\PelorinTrelm";
constexpr wchar_t kWebSafetyComponentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\Components\\BrowseProtection";
constexpr wchar_t kLogKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Log";
constexpr wchar_t kPelorinKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin";
constexpr wchar_t kPelorinOnDemandKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin\\OnDemand";
// Each subsystem has a key below it whose "dwAttrib" bit 0 switches it off.
constexpr wchar_t kSubSystemSwitchKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM";
constexpr wchar_t kUploadConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration";
constexpr wchar_t kMurmelConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeMurmel\\Configuration";
