#include "io/PortSettings.h"

#include "io/RegKeys.h"
#include "radio/PortPaths.h"

namespace rm427 {

std::string PortPathFromSettings(int port) {
    return GetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(port));
}

bool StorePortPath(int port, const std::string& path) {
    return SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(port), path);
}

int LastWorkingPort(int model) {
    const std::string v =
        GetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "Model" + std::to_string(model));
    if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int port = std::stoi(v);
    return port >= kFirstPort && port <= kLastPort ? port : 0;
}

void RememberWorkingPort(int model, int port) {
    if (port < kFirstPort || port > kLastPort || LastWorkingPort(model) == port) return;
    SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "Model" + std::to_string(model),
                std::to_string(port));
}

}  // namespace rm427
