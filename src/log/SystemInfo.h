// Facts about the running system that the logging library asks once per
// process: the platform family and whether terminal services are present.
#pragma once

namespace LogUtils {

// GetVersionExW reports the Windows NT platform (platform id 2).
bool IsNtPlatform();
// The suite mask has VER_SUITE_TERMINAL (0x10) or VER_SUITE_SINGLEUSERTS (0x100).
bool HasTerminalServices();

} // namespace LogUtils
