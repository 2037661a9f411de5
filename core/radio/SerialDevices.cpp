#include "radio/SerialDevices.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rm427 {

namespace {

// Advice texts of the chip table.
constexpr int kAdviceDriverOk = 3700;
constexpr int kAdvicePl2303EndOfLife = 3701;
constexpr int kAdvicePl2303 = 3702;
constexpr int kAdviceCh34x = 3703;
constexpr int kAdviceFtdiErased = 3704;
constexpr int kAdviceCdcAcm = 3705;
constexpr int kAdviceUnknown = 3706;

constexpr int kAny = -1;

// One row: the first row that matches a device names its chip. Rows of one
// product id that differ by release come before the row for any release.
//   Prolific: the kernel's pl2303 driver tells the PL2303 types apart by
//     release and USB version (release 0x300 on USB 1.1 = HX(A)/XA, 0x400 =
//     HXD; 0x300 on USB 2.0 = TA, 0x500 = TB); the G series (HXN) has
//     product ids 0x23a3..0x23f3. Prolific declared the HXA and XA end of
//     life; its Windows drivers from Windows 8 on refuse them.
//   WCH: the ch341 driver's id table; 4348:5523 is the same chip under
//     WCH's older vendor id.
//   FTDI: ftdi_sio's ids; for 0x6001 the release names the chip (0x600 to
//     0x8ff FT232R). Product id 0 is what some FTDI Windows drivers wrote
//     into copies of the FT232R; ftdi_sio still takes such a device.
//   Silicon Labs: the cp210x driver's factory-default and Windows-update ids.
//   CDC-ACM: no ids of its own; the system's cdc_acm driver names it.
struct ChipRow {
    int vendor, product, releaseLow, releaseHigh, usbVersion;
    const char* family;
    int advice;
};

const ChipRow kChips[] = {
    {0x067b, 0x2303, 0x0300, 0x0300, 0x0110, "Prolific PL2303HXA/XA", kAdvicePl2303EndOfLife},
    {0x067b, 0x2303, 0x0300, 0x0300, 0x0101, "Prolific PL2303HXA/XA", kAdvicePl2303EndOfLife},
    {0x067b, 0x2303, 0x0300, 0x0300, 0x0200, "Prolific PL2303TA", kAdviceDriverOk},
    {0x067b, 0x2303, 0x0400, 0x0400, kAny, "Prolific PL2303HXD", kAdviceDriverOk},
    {0x067b, 0x2303, 0x0500, 0x0500, kAny, "Prolific PL2303TB", kAdviceDriverOk},
    {0x067b, 0x2303, kAny, kAny, kAny, "Prolific PL2303", kAdvicePl2303},
    {0x067b, 0x23a3, kAny, kAny, kAny, "Prolific PL2303GC", kAdviceDriverOk},
    {0x067b, 0x23b3, kAny, kAny, kAny, "Prolific PL2303GB", kAdviceDriverOk},
    {0x067b, 0x23c3, kAny, kAny, kAny, "Prolific PL2303GT", kAdviceDriverOk},
    {0x067b, 0x23d3, kAny, kAny, kAny, "Prolific PL2303GL", kAdviceDriverOk},
    {0x067b, 0x23e3, kAny, kAny, kAny, "Prolific PL2303GE", kAdviceDriverOk},
    {0x067b, 0x23f3, kAny, kAny, kAny, "Prolific PL2303GS", kAdviceDriverOk},
    {0x1a86, 0x7523, kAny, kAny, kAny, "WCH CH340", kAdviceCh34x},
    {0x1a86, 0x7522, kAny, kAny, kAny, "WCH CH340", kAdviceCh34x},
    {0x1a86, 0x5523, kAny, kAny, kAny, "WCH CH341", kAdviceCh34x},
    {0x4348, 0x5523, kAny, kAny, kAny, "WCH CH341", kAdviceCh34x},
    {0x0403, 0x0000, kAny, kAny, kAny, "FTDI FT232R copy, product id erased", kAdviceFtdiErased},
    {0x0403, 0x6001, 0x0600, 0x08ff, kAny, "FTDI FT232R", kAdviceDriverOk},
    {0x0403, 0x6001, kAny, kAny, kAny, "FTDI FT232", kAdviceDriverOk},
    {0x0403, 0x6010, kAny, kAny, kAny, "FTDI FT2232", kAdviceDriverOk},
    {0x0403, 0x6011, kAny, kAny, kAny, "FTDI FT4232H", kAdviceDriverOk},
    {0x0403, 0x6014, kAny, kAny, kAny, "FTDI FT232H", kAdviceDriverOk},
    {0x0403, 0x6015, kAny, kAny, kAny, "FTDI FT-X (FT230X/FT231X)", kAdviceDriverOk},
    {0x10c4, 0xea60, kAny, kAny, kAny, "Silicon Labs CP210x", kAdviceDriverOk},
    {0x10c4, 0xea61, kAny, kAny, kAny, "Silicon Labs CP210x", kAdviceDriverOk},
    {0x10c4, 0xea63, kAny, kAny, kAny, "Silicon Labs CP210x", kAdviceDriverOk},
    {0x10c4, 0xea70, kAny, kAny, kAny, "Silicon Labs CP2105", kAdviceDriverOk},
    {0x10c4, 0xea7a, kAny, kAny, kAny, "Silicon Labs CP2105", kAdviceDriverOk},
    {0x10c4, 0xea7b, kAny, kAny, kAny, "Silicon Labs CP2108", kAdviceDriverOk},
};

bool Matches(const ChipRow& r, const SerialDevice& d) {
    if (r.vendor != d.vendorId || r.product != d.productId) return false;
    if (r.releaseLow != kAny && (d.release < r.releaseLow || d.release > r.releaseHigh)) return false;
    return r.usbVersion == kAny || r.usbVersion == d.usbVersion;
}

bool OnUsb(const SerialDevice& d) { return d.vendorId >= 0 && d.productId >= 0; }

}  // namespace

ChipInfo IdentifyChip(const SerialDevice& device) {
    if (OnUsb(device)) {
        for (const ChipRow& r : kChips)
            if (Matches(r, device)) return {r.family, r.advice};
    }
    if (device.driver == "cdc_acm") return {"USB CDC-ACM", kAdviceCdcAcm};
    if (OnUsb(device)) return {"USB serial adapter", kAdviceUnknown};
    return {};
}

std::vector<std::pair<int, int>> ChipTableIds() {
    std::vector<std::pair<int, int>> ids;
    for (const ChipRow& r : kChips)
        if (std::find(ids.begin(), ids.end(), std::make_pair(r.vendor, r.product)) == ids.end())
            ids.emplace_back(r.vendor, r.product);
    return ids;
}

std::string ChipLine(const SerialDevice& device) {
    const ChipInfo chip = IdentifyChip(device);
    if (chip.family.empty()) return {};
    if (!OnUsb(device)) return chip.family;
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", device.vendorId & 0xFFFF, device.productId & 0xFFFF);
    return chip.family + " (" + ids + ")";
}

bool SameDevice(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

const SerialDevice* FindDevice(const std::vector<SerialDevice>& devices, const std::string& path) {
    for (const SerialDevice& d : devices)
        if (d.path == path || (!d.stablePath.empty() && d.stablePath == path)) return &d;
    for (const SerialDevice& d : devices)
        if (SameDevice(d.path, path)) return &d;
    return nullptr;
}

CableWatch::CableWatch(TimerFactory& timers, DeviceLister lister,
                       std::function<void(const Result&)> done, int pollMs, int limitMs)
    : lister_(std::move(lister)), done_(std::move(done)), pollMs_(pollMs), limitMs_(limitMs) {
    tick_ = timers.CreateTimer([this] { OnTick(); });
}

CableWatch::~CableWatch() = default;

void CableWatch::Start() {
    seen_.clear();
    for (const SerialDevice& d : lister_()) seen_.push_back(d.path);
    waited_ = 0;
    running_ = true;
    tick_->Start(pollMs_);
}

void CableWatch::Stop() {
    tick_->Stop();
    running_ = false;
}

void CableWatch::OnTick() {
    if (!running_) return;
    const std::vector<SerialDevice> now = lister_();
    for (const SerialDevice& d : now)
        if (std::find(seen_.begin(), seen_.end(), d.path) == seen_.end()) {
            Stop();
            if (done_) done_({true, d});
            return;
        }
    seen_.clear();
    for (const SerialDevice& d : now) seen_.push_back(d.path);
    waited_ += pollMs_;
    if (waited_ >= limitMs_) {
        Stop();
        if (done_) done_({});
        return;
    }
    tick_->Start(pollMs_);
}

PortChoice ChoosePortFor(const SerialDevice& device, const PortPathLookup& stored,
                         const std::function<bool(const std::string&)>& exists) {
    for (const std::string& name : {device.stablePath, device.path}) {
        if (name.empty()) continue;
        for (int n = kFirstPort; n <= kLastPort; ++n)
            if (SameDevice(ResolvePortPath(n, stored), name)) return {n, false, name};
    }
    const std::string target = device.stablePath.empty() ? device.path : device.stablePath;
    for (int n = kFirstPort; n <= kLastPort; ++n)
        if ((!stored || stored(n).empty()) && !exists(DefaultPortPath(n))) return {n, true, target};
    return {};
}

}  // namespace rm427
