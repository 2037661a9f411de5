#ifdef RM427_WITH_QT
#include <algorithm>
#include <iostream>

#include <QCoreApplication>
#include <QFileInfo>

#include "CliOptions.h"
#include "CliRadio.h"
#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/SerialDeviceList.h"
#include "radio/PortHolders.h"
#include "text/TextTable.h"

namespace rm427::cli {
namespace {

constexpr int kTextFree = 3740;
constexpr int kTextInUse = 3741;
constexpr int kTextNoAccess = 3742;
constexpr int kTextCannotOpen = 3743;

struct Line {
    int port = 0;  // 0: no port number stands for the device
    SerialDevice device;
};

int Run(const Args& args) {
    CommandOptions options("ports");
    Args rest;
    int rc = 0;
    if (!options.Parse(args, rest, rc)) return rc;
    if (!rest.empty()) return Fail("ports: takes no arguments (see rm427-cli ports --help)");

    EnsureApplication();

    // The system's devices, and the devices of the port numbers (a stored
    // path may name what the system does not list, such as a pseudo-terminal).
    std::vector<Line> lines;
    for (const SerialDevice& d : ListSerialDevices()) {
        Line l;
        l.device = d;
        lines.push_back(l);
    }
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const std::string path = ResolvePortPath(n, PortPathFromSettings);
        auto it = std::find_if(lines.begin(), lines.end(), [&](const Line& l) {
            return SameDevice(l.device.path, path) || SameDevice(l.device.stablePath, path);
        });
        if (it != lines.end()) {
            if (!it->port) it->port = n;
        } else if (QFileInfo::exists(QString::fromStdString(path))) {
            Line l;
            l.port = n;
            l.device.path = path;
            lines.push_back(l);
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return (a.port ? a.port : 100) < (b.port ? b.port : 100);
    });

    const int self = int(QCoreApplication::applicationPid());
    QtSerialPort serial;
    for (const Line& l : lines) {
        const std::string& path = l.device.path;
        std::string state = LoadText(0, kTextFree), notes;
        const std::vector<ProcessInfo> holders = FindHolders(path, "/proc", self);
        LockFile lock = FindLockFile(path);
        if (lock.pid == self) lock = {};
        if (!holders.empty()) {
            state = LoadText(0, kTextInUse);
        } else if (serial.OpenPath(path, "9600,N,8,2")) {
            serial.Close();
        } else {
            const PortProblem p = serial.Problem();
            state = LoadText(0, p == PortProblem::InUse              ? kTextInUse
                                : p == PortProblem::PermissionDenied ? kTextNoAccess
                                                                     : kTextCannotOpen);
            notes = serial.ErrorDescription();
        }
        const std::string held = HoldersText(0, path, holders, lock);
        if (!held.empty()) notes += (notes.empty() ? "" : " ") + held;
        if (const int advice = IdentifyChip(l.device).advice)
            notes = LoadText(0, advice) + (notes.empty() ? "" : " " + notes);
        std::replace(notes.begin(), notes.end(), '\n', ' ');
        const std::string chip = ChipLine(l.device);
        std::cout << (l.port ? "COM" + std::to_string(l.port) : std::string("-")) << '\t' << path << '\t'
                  << (chip.empty() ? "-" : chip) << '\t' << state << '\t' << notes << '\n';
    }
    return FlushOutput("ports") ? 0 : 1;
}

const CliCommand kPorts("ports",
                        "List the serial devices with their chips and what stands in the way.\n"
                        "One line per device, five fields separated by tabs: the port number\n"
                        "that stands for it (COM1..COM20 as the README says, - for none), its path, the "
                        "cable's chip with its USB ids (- when not on USB),\n"
                        "its state (free, in use, no access, cannot open), and advice: what the\n"
                        "chip needs, which program holds the device open, why it does not open.\n"
                        "Each device is opened and closed once to learn its state.",
                        "ports", Run);

}  // namespace
}  // namespace rm427::cli
#endif
