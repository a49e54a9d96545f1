// The client's registry keys below HKEY_LOCAL_MACHINE (the agent key and
// the component keys below it are also used under HKEY_CURRENT_USER). Every
// module names them through these constants.
#pragma once

// The installation: "szInstallDir".
constexpr wchar_t kClientRootKey[] = L"SOFTWARE\\Tavrel\\Orbisk";

// The agent: machine identifier, company, group, help address, partner
// build, and the user's saved language (under HKEY_CURRENT_USER).
constexpr wchar_t kAgentKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Agent";
constexpr wchar_t kUploadConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeUpload\\Configuration";
constexpr wchar_t kMurmelConfigKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\SubSystems\\zeMurmel\\Configuration";

// Installed components that take a copy of the user's language choice.
constexpr wchar_t kHostedScannerComponentKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\Components\\PelorinTrelm";
constexpr wchar_t kWebSafetyComponentKey[] =
    L"SOFTWARE\\Tavrel\\Orbisk\\Agent\\Components\\BrowseProtection";

// The logging configuration.
constexpr wchar_t kLogKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Log";

// The scanner: signature and engine versions, the on-demand cloud lookup.
constexpr wchar_t kPelorinKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin";
constexpr wchar_t kPelorinOnDemandKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\Pelorin\\OnDemand";

// Each subsystem has a key below it whose "dwAttrib" bit 0 switches it off.
constexpr wchar_t kSubSystemSwitchKey[] = L"SOFTWARE\\Tavrel\\Orbisk\\zeSSCM";
