// Port path overrides from the settings store: key "SoftWare\\RM-427\\Ports",
// values "COM1".."COM20" holding a device path. What the port table of
// core/radio/PortPaths.h gives for a port unless one is stored here. The
// same key keeps, per radio model, the last port that worked ("Model3" =
// "5": port 5 last read or wrote a model-3 radio, or answered its Test).
#pragma once

#include <string>

namespace rm427 {

inline constexpr const char* kPortsKeyPath = "SoftWare\\\\RM-427\\\\Ports";

// The stored device path of port n, or an empty text.
std::string PortPathFromSettings(int port);
// Points port n at a device path. True on success.
bool StorePortPath(int port, const std::string& path);

// The last port that worked with a radio of this model, 0 if none.
int LastWorkingPort(int model);
void RememberWorkingPort(int model, int port);

}  // namespace rm427
