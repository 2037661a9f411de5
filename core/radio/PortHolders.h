// Who stands between the user and a serial device on Linux: programs that
// hold it open (found through /proc), a lock file, and the services known to
// take USB serial adapters for themselves. Elsewhere every answer is empty.
#pragma once

#include <string>
#include <vector>

namespace rm427 {

struct ProcessInfo {
    int pid = 0;
    std::string name;  // the command name (/proc/PID/comm)
};

// The processes other than skipPid that have the device open (by its path
// or any link to it), except a pseudo-terminal's far end (the process that
// holds its master). procRoot is "/proc" outside tests; processes this user
// may not look into are not seen.
std::vector<ProcessInfo> FindHolders(const std::string& device, const std::string& procRoot = "/proc",
                                     int skipPid = 0);

// A UUCP-style lock file "LCK..NAME" of the device in one of lockDirs (NAME:
// the path after "/dev/", each '/' as '_', as the serial port library
// writes it).
struct LockFile {
    std::string path;  // empty: none
    int pid = 0;       // the pid it names (0 if unreadable)
    std::string name;  // that process's name; empty when it has ended (a stale lock)
};
LockFile FindLockFile(const std::string& device, const std::string& procRoot = "/proc",
                      const std::vector<std::string>& lockDirs = {
                          "/run/lock", "/var/lock", "/var/spool/locks", "/tmp", "/var/tmp"});

// The running services known to grab USB serial adapters: "brltty" (braille
// displays) and "ModemManager" (modems), by their command names.
std::vector<std::string> RunningGrabbers(const std::string& procRoot = "/proc");

// Sentences for the port window and rm427-cli ports, in the given language:
// "/dev/ttyUSB0 is held open by minicom (pid 4242)." and the lock file.
std::string HoldersText(int language, const std::string& device, const std::vector<ProcessInfo>& holders,
                        const LockFile& lock);
// One paragraph per running grabber: what it does and how to stop it.
std::string GrabbersText(int language, const std::vector<std::string>& grabbers);

}  // namespace rm427
