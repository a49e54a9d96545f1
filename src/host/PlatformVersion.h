// Whether the platform is Windows NT (GetVersionExW reports
// VER_PLATFORM_WIN32_NT). A failing GetVersionExW counts as not NT.
#pragma once

namespace Host {

// Asks with the basic version structure.
bool AskIsNtPlatform();
// Asks with the extended version structure and, when that is refused, with
// the basic one.
bool AskIsNtPlatformExtendedFirst();

} // namespace Host
