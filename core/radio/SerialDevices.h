// The serial devices of the machine, the chips of USB programming cables,
// and "Find cable": watching the device list while the user plugs the
// cable in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "radio/PortPaths.h"
#include "radio/Timers.h"

namespace rm427 {

// One serial device as the system lists it. Numbers are -1 when unknown
// (a built-in port, a pseudo-terminal, a system that does not say).
struct SerialDevice {
    std::string path;        // "/dev/ttyUSB0", "COM5"
    std::string stablePath;  // a name that survives re-plugging ("/dev/serial/by-id/..."), or ""
    int vendorId = -1, productId = -1;
    int release = -1;     // the USB device release (bcdDevice), e.g. 0x0300
    int usbVersion = -1;  // the USB version the device reports (bcdUSB), e.g. 0x0110
    std::string driver;   // the system's driver: "pl2303", "ch341", "ftdi_sio", "cp210x", "cdc_acm"
    std::string description, manufacturer;
};

using DeviceLister = std::function<std::vector<SerialDevice>()>;

// What is known of a cable's chip. family is the chip's name (not
// translated, like model names); advice a text number, 0 for none.
struct ChipInfo {
    std::string family;
    int advice = 0;
};

// The chip of a device from its USB vendor and product id (and release
// where the chip makers tell variants apart by it), or from its driver for
// native USB serial devices. A USB device not in the table gets the family
// "USB serial adapter" and advice that it is unknown; a device that is not
// on USB (no ids, no driver) an empty family.
ChipInfo IdentifyChip(const SerialDevice& device);

// Every vendor:product pair of the table (the Linux package's device rule
// lists the same pairs).
std::vector<std::pair<int, int>> ChipTableIds();

// "WCH CH340 (1a86:7523)"; empty for a device that is not on USB.
std::string ChipLine(const SerialDevice& device);

// The device of the list at path (or whose stable name is path); nullptr if none.
const SerialDevice* FindDevice(const std::vector<SerialDevice>& devices, const std::string& path);

// Watches the device list for a device that was not there at the previous
// look ("Find cable"). Unplugging and plugging in again is seen as well: a
// device gone at one look and back at the next has appeared.
class CableWatch {
public:
    struct Result {
        bool found = false;
        SerialDevice device;
    };
    CableWatch(TimerFactory& timers, DeviceLister lister, std::function<void(const Result&)> done,
               int pollMs = 300, int limitMs = 60000);
    ~CableWatch();
    CableWatch(const CableWatch&) = delete;
    CableWatch& operator=(const CableWatch&) = delete;

    void Start();
    void Stop();
    bool Running() const { return running_; }
    int LimitMs() const { return limitMs_; }

private:
    void OnTick();

    DeviceLister lister_;
    std::function<void(const Result&)> done_;
    std::unique_ptr<Timer> tick_;
    int pollMs_, limitMs_, waited_ = 0;
    std::vector<std::string> seen_;
    bool running_ = false;
};

// The port number a found cable gets. When a port already stands for the
// device (by its stable name first, then by its path), that one; otherwise
// the first port with no stored path whose built-in device does not exist,
// to be pointed at the device's stable name (or its path) in the settings
// store. port 0: all twenty ports are taken.
struct PortChoice {
    int port = 0;
    bool store = false;  // the settings store must map `port` to `path`
    std::string path;
};
PortChoice ChoosePortFor(const SerialDevice& device, const PortPathLookup& stored,
                         const std::function<bool(const std::string&)>& exists);

// True when two paths name the same device (equal, or links to one file).
bool SameDevice(const std::string& a, const std::string& b);

}  // namespace rm427
