// Port path overrides from the settings store: key "SoftWare\\RM-427\\Ports",
// values "COM1".."COM20" holding a device path. What the port table of
// core/radio/PortPaths.h gives for a port unless one is stored here.
#pragma once

#include <string>

namespace rm427 {

inline constexpr const char* kPortsKeyPath = "SoftWare\\\\RM-427\\\\Ports";

// The stored device path of port n, or an empty text.
std::string PortPathFromSettings(int port);

}  // namespace rm427
