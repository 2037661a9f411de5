#include "radio/SerialPort.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "radio/PortPaths.h"

namespace rm427 {

namespace {
bool ToInt(const std::string& s, int& v) {
    if (s.empty() || s.size() > 7) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = std::atoi(s.c_str());
    return true;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
}  // namespace

bool ParseLineSettings(const std::string& text, LineSettings& out) {
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ',')) parts.push_back(Trim(item));
    if (parts.size() != 4) return false;
    LineSettings s;
    if (!ToInt(parts[0], s.baud) || s.baud <= 0) return false;
    if (parts[1].size() != 1) return false;
    s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
    if (std::string("NEOMS").find(s.parity) == std::string::npos) return false;
    if (!ToInt(parts[2], s.dataBits) || s.dataBits < 5 || s.dataBits > 8) return false;
    if (parts[3] == "1") s.stopBits = 1;
    else if (parts[3] == "2") s.stopBits = 2;
    else if (parts[3] == "1.5") s.stopBits = 3;
    else return false;
    out = s;
    return true;
}

std::string WindowsPortName(int port) {
    if (port < kFirstPort || port > kLastPort) return {};
    return "COM" + std::to_string(port);
}

std::string DefaultPortPath(int port) {
    if (port < kFirstPort || port > kLastPort) return {};
#ifdef _WIN32
    return WindowsPortName(port);
#else
    if (port <= 8) return "/dev/ttyUSB" + std::to_string(port - 1);
    if (port <= 12) return "/dev/ttyACM" + std::to_string(port - 9);
    return "/dev/ttyS" + std::to_string(port - 13);
#endif
}

std::string ResolvePortPath(int port, const PortPathLookup& lookup) {
    if (port < kFirstPort || port > kLastPort) return {};
    if (lookup) {
        std::string p = Trim(lookup(port));
        if (!p.empty()) return p;
    }
    return DefaultPortPath(port);
}

}  // namespace rm427
