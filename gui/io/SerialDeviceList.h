// The machine's serial devices for the port window, "Find cable" and
// rm427-cli ports: what the serial port library lists, with what Linux
// tells of each in /sys (driver, USB release and version) and its stable
// name under /dev/serial/by-id, plus any /dev/ttyUSB* or /dev/ttyACM* name
// the library does not list (a link to a pseudo-terminal, for a try-out
// without a cable).
#pragma once

#include <vector>

#include "radio/SerialDevices.h"

namespace rm427 {

std::vector<SerialDevice> ListSerialDevices();

}  // namespace rm427
