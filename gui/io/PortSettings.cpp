#include "io/PortSettings.h"

#include "io/RegKeys.h"

namespace rm427 {

std::string PortPathFromSettings(int port) {
    return GetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(port));
}

}  // namespace rm427
