// Port numbers 1..20 and the devices they stand for.
//
// On Windows port n is "COMn". Elsewhere a fixed table maps
//   COM1..COM8   -> /dev/ttyUSB0..7   (USB programming cables)
//   COM9..COM12  -> /dev/ttyACM0..3
//   COM13..COM20 -> /dev/ttyS0..7     (built-in serial ports)
// and the settings store may override any entry (section "Ports", values
// "COM1".."COM20"), which is also how a port is pointed at a pseudo-terminal.
#pragma once

#include <functional>
#include <string>

namespace rm427 {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 20;

// Port n's name on Windows, "COMn"; empty for a number outside 1..20.
std::string WindowsPortName(int port);

// The built-in device of port n (on Windows its name); empty for a number
// outside 1..20.
std::string DefaultPortPath(int port);

// Looks up an override for port n; returns an empty text when there is none.
using PortPathLookup = std::function<std::string(int port)>;

// The device of port n: the override if the lookup gives one, else the
// built-in entry.
std::string ResolvePortPath(int port, const PortPathLookup& lookup);

}  // namespace rm427
