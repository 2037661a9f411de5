// The cable doctor: chip table, "Find cable" over a fake device list, the
// port a found cable gets, and who holds a device (a pty held by a child).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "HeldPty.h"
#include "radio/ManualClock.h"
#include "radio/PortHolders.h"
#include "radio/SerialDevices.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

SerialDevice Usb(int vid, int pid, int release = -1, int usb = -1) {
    SerialDevice d;
    d.path = "/dev/ttyUSB0";
    d.vendorId = vid;
    d.productId = pid;
    d.release = release;
    d.usbVersion = usb;
    return d;
}

TEST(ChipTable, EveryEntryNamesItsChipWithAdviceAndTheDeviceRuleListsThemAll) {
    const auto ids = ChipTableIds();
    std::ifstream rules(RM427_PACKAGING_DIR "/70-rm427-cables.rules");
    std::string text((std::istreambuf_iterator<char>(rules)), {});
    const std::regex line(
        R"re(ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})")re");
    std::vector<std::pair<int, int>> inRules;
    for (std::sregex_iterator m(text.begin(), text.end(), line), end; m != end; ++m)
        inRules.emplace_back(std::stoi((*m)[1], nullptr, 16), std::stoi((*m)[2], nullptr, 16));
    EXPECT_EQ(inRules, ids);
    for (const auto& [vid, pid] : ids) {
        const ChipInfo c = IdentifyChip(Usb(vid, pid));
        EXPECT_NE(c.family, "USB serial adapter") << std::hex << vid << ":" << pid;
        EXPECT_FALSE(LoadText(0, c.advice).empty() || LoadText(1, c.advice).empty()) << c.family;
    }
    // Variants told apart by release (and USB version).
    EXPECT_EQ(IdentifyChip(Usb(0x067b, 0x2303, 0x300, 0x110)).advice, 3701);
    EXPECT_EQ(IdentifyChip(Usb(0x067b, 0x2303, 0x300, 0x200)).family, "Prolific PL2303TA");
    EXPECT_EQ(IdentifyChip(Usb(0x067b, 0x2303, 0x400)).family, "Prolific PL2303HXD");
    EXPECT_EQ(IdentifyChip(Usb(0x067b, 0x2303)).advice, 3702);
    EXPECT_EQ(IdentifyChip(Usb(0x0403, 0x6001, 0x600)).family, "FTDI FT232R");
    EXPECT_EQ(IdentifyChip(Usb(0x0403, 0x6001, 0x400)).family, "FTDI FT232");
    EXPECT_EQ(IdentifyChip(Usb(0x0403, 0x0000)).advice, 3704);
    EXPECT_EQ(ChipLine(Usb(0x1a86, 0x7523)), "WCH CH340 (1a86:7523)");
    // Native USB serial by its driver; unknown ids; not on USB.
    SerialDevice acm = Usb(0x2341, 0x0043);
    acm.driver = "cdc_acm";
    EXPECT_EQ(IdentifyChip(acm).family, "USB CDC-ACM");
    EXPECT_EQ(IdentifyChip(Usb(0x1234, 0x5678)).family, "USB serial adapter");
    EXPECT_EQ(IdentifyChip(Usb(0x1234, 0x5678)).advice, 3706);
    SerialDevice builtIn;
    builtIn.path = "/dev/ttyS0";
    EXPECT_EQ(ChipLine(builtIn), "");
    EXPECT_EQ(IdentifyChip(builtIn).advice, 0);
}

TEST(CableWatch, SeesAPlugInAReplugAndGivesUpAfterItsLimit) {
    ManualClock clock;
    std::vector<SerialDevice> list = {Usb(0x0403, 0x6001)};
    std::vector<CableWatch::Result> results;
    CableWatch watch(
        clock, [&] { return list; }, [&](const CableWatch::Result& r) { results.push_back(r); }, 300,
        3000);
    watch.Start();
    clock.Advance(900);
    EXPECT_TRUE(results.empty());
    SerialDevice cable = Usb(0x1a86, 0x7523);
    cable.path = "/dev/ttyUSB1";
    list.push_back(cable);
    clock.Advance(300);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].found);
    EXPECT_EQ(results[0].device.path, "/dev/ttyUSB1");
    EXPECT_FALSE(watch.Running());

    // Already plugged in: unplugged at one look, back at a later one.
    watch.Start();
    list.pop_back();
    clock.Advance(600);
    list.push_back(cable);
    clock.Advance(300);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].device.path, "/dev/ttyUSB1");

    watch.Start();
    clock.Advance(2999);
    EXPECT_EQ(results.size(), 2u);
    clock.Advance(1);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_FALSE(results[2].found);
}

TEST(CableWatch, AFoundCableGetsThePortThatStandsForItOrTheFirstFreeOne) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows port n is COMn: no port number is mapped to a device";
#endif
    std::map<int, std::string> stored;
    const PortPathLookup lookup = [&](int n) { return stored.count(n) ? stored[n] : std::string(); };
    std::vector<std::string> present = {"/dev/ttyUSB0", "/dev/ttyS0"};
    const auto exists = [&](const std::string& p) {
        return std::find(present.begin(), present.end(), p) != present.end();
    };
    SerialDevice d = Usb(0x067b, 0x2303);
    PortChoice c = ChoosePortFor(d, lookup, exists);
    EXPECT_EQ(c.port, 1);  // /dev/ttyUSB0 is COM1 already
    EXPECT_FALSE(c.store);
    d.stablePath = "/dev/serial/by-id/usb-Prolific-port0";
    c = ChoosePortFor(d, lookup, exists);
    EXPECT_EQ(c.port, 1);
    d.path = "/dev/ttyUSB9";  // no number stands for it: COM1's device exists, COM2's does not
    c = ChoosePortFor(d, lookup, exists);
    EXPECT_EQ(c.port, 2);
    EXPECT_TRUE(c.store);
    EXPECT_EQ(c.path, d.stablePath);
    stored[2] = d.stablePath;  // once stored, COM2 stands for it
    c = ChoosePortFor(d, lookup, exists);
    EXPECT_EQ(c.port, 2);
    EXPECT_FALSE(c.store);
    for (int n = 1; n <= 20; ++n) stored[n] = "/dev/other" + std::to_string(n);
    EXPECT_EQ(ChoosePortFor(d, lookup, exists).port, 0);
}

#ifndef _WIN32
TEST(PortHolders, FindsTheChildHoldingAPtyItsLockFileAndTheGrabbers) {
    test::HeldPty pty;
    ASSERT_TRUE(pty.Hold());
    const char* name = pty.path.c_str();
    const pid_t child = pty.child;
    const auto holders = FindHolders(name, "/proc", ::getpid());
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, child);
    EXPECT_FALSE(holders[0].name.empty());
    EXPECT_EQ(HoldersText(0, name, holders, {})
                  .find(std::string(name) + " is held open by " + holders[0].name + " (pid " +
                        std::to_string(child)),
              0u);

    // Its lock file, "LCK..pts_N" as the serial port library names it.
    namespace fs = std::filesystem;
    const fs::path locks = fs::temp_directory_path() / ("rm427-locks-" + std::to_string(::getpid()));
    fs::create_directories(locks);
    std::string lockName = std::string(name).substr(5);
    std::replace(lockName.begin(), lockName.end(), '/', '_');
    std::ofstream(locks / ("LCK.." + lockName)) << "     " << child << "\n";
    LockFile lock = FindLockFile(name, "/proc", {locks.string()});
    EXPECT_EQ(lock.pid, child);
    EXPECT_EQ(lock.name, holders[0].name);
    EXPECT_EQ(HoldersText(0, name, {}, lock).find("Lock file " + lock.path + " belongs to"), 0u);

    pty.Release();
    EXPECT_TRUE(FindHolders(name, "/proc", ::getpid()).empty());
    // This process holds the master as well: the far end, not in the way.
    const int again = ::open(name, O_RDWR | O_NOCTTY);
    EXPECT_TRUE(FindHolders(name, "/proc").empty());
    ::close(again);
    lock = FindLockFile(name, "/proc", {locks.string()});
    EXPECT_EQ(lock.name, "");  // its program has ended
    EXPECT_NE(HoldersText(0, name, {}, lock).find("sudo rm " + lock.path), std::string::npos);

    // Services, by their command names in a /proc of our own.
    const fs::path proc = locks / "proc";
    for (auto [pid, comm] : {std::pair{"7", "brltty"}, {"9", "ModemManager"}, {"12", "bash"}}) {
        fs::create_directories(proc / pid);
        std::ofstream(proc / pid / "comm") << comm << "\n";
    }
    const auto grabbers = RunningGrabbers(proc.string());
    EXPECT_EQ(grabbers, (std::vector<std::string>{"brltty", "ModemManager"}));
    EXPECT_NE(GrabbersText(1, grabbers).find("sudo systemctl stop ModemManager"), std::string::npos);
    fs::remove_all(locks);
}
#endif

}  // namespace
}  // namespace rm427
