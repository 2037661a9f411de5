#include "radio/PortHolders.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427 {

namespace fs = std::filesystem;

namespace {

constexpr int kTextHeldBy = 3720;
constexpr int kTextLockedBy = 3721;
constexpr int kTextStaleLock = 3722;
constexpr int kTextBrltty = 3723;
constexpr int kTextModemManager = 3724;

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string CommandName(const fs::path& processDir) {
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Calls f(pid, dir) for every process directory under procRoot.
template <class F>
void ForEachProcess(const std::string& procRoot, F f) {
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (AllDigits(name)) f(std::stoi(name), it->path());
    }
}

}  // namespace

std::vector<ProcessInfo> FindHolders(const std::string& device, const std::string& procRoot,
                                     int skipPid) {
    std::vector<ProcessInfo> found;
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec) return found;
    // A pseudo-terminal's far end (a simulated radio, a terminal window)
    // holds its master, and often its slave too: it is not in the way.
    const std::string pts = target.parent_path() == "/dev/pts" ? target.filename().string() : "";
    ForEachProcess(procRoot, [&](int pid, const fs::path& dir) {
        if (pid == skipPid) return;
        bool holds = false, farEnd = false;
        std::error_code e;
        for (fs::directory_iterator fd(dir / "fd", e), end; !e && fd != end; fd.increment(e)) {
            std::error_code le;
            const fs::path link = fs::read_symlink(fd->path(), le);
            if (le) continue;
            holds = holds || link == target;
            if (!pts.empty() && link.filename() == "ptmx") {
                std::ifstream info(dir / "fdinfo" / fd->path().filename());
                for (std::string line; std::getline(info, line);)
                    farEnd = farEnd || line == "tty-index:\t" + pts;
            }
        }
        if (holds && !farEnd) found.push_back({pid, CommandName(dir)});
    });
    return found;
}

LockFile FindLockFile(const std::string& device, const std::string& procRoot,
                      const std::vector<std::string>& lockDirs) {
    // "LCK..ttyUSB0": the device's name under /dev, a '/' in it as '_'.
    std::string name = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
    for (char& c : name)
        if (c == '/') c = '_';
    std::error_code ec;
    for (const std::string& dir : lockDirs) {
        const fs::path lock = fs::path(dir) / ("LCK.." + name);
        if (!fs::exists(lock, ec)) continue;
        LockFile out;
        out.path = lock.string();
        std::ifstream in(lock);
        in >> out.pid;  // ASCII (ten columns) as the UUCP convention has it
        if (out.pid <= 0) {
            // A binary 4-byte pid, the older convention.
            std::ifstream raw(lock, std::ios::binary);
            std::int32_t pid = 0;
            raw.read(reinterpret_cast<char*>(&pid), sizeof pid);
            out.pid = raw ? pid : 0;
        }
        if (out.pid > 0) out.name = CommandName(fs::path(procRoot) / std::to_string(out.pid));
        return out;
    }
    return {};
}

std::vector<std::string> RunningGrabbers(const std::string& procRoot) {
    bool brltty = false, modemManager = false;
    ForEachProcess(procRoot, [&](int, const fs::path& dir) {
        const std::string name = CommandName(dir);
        brltty = brltty || name == "brltty";
        modemManager = modemManager || name == "ModemManager";
    });
    std::vector<std::string> running;
    if (brltty) running.emplace_back("brltty");
    if (modemManager) running.emplace_back("ModemManager");
    return running;
}

std::string HoldersText(int language, const std::string& device, const std::vector<ProcessInfo>& holders,
                        const LockFile& lock) {
    std::string t;
    for (const ProcessInfo& p : holders) {
        if (!t.empty()) t += "\n";
        t += FillText(LoadText(language, kTextHeldBy), {device, p.name, std::to_string(p.pid)});
    }
    if (!lock.path.empty()) {
        const bool holderKnown = [&] {
            for (const ProcessInfo& p : holders)
                if (p.pid == lock.pid) return true;
            return false;
        }();
        if (!holderKnown) {
            if (!t.empty()) t += "\n";
            t += lock.name.empty() ? FillText(LoadText(language, kTextStaleLock), {lock.path})
                                   : FillText(LoadText(language, kTextLockedBy),
                                              {lock.path, lock.name, std::to_string(lock.pid)});
        }
    }
    return t;
}

std::string GrabbersText(int language, const std::vector<std::string>& grabbers) {
    std::string t;
    for (const std::string& g : grabbers) {
        const int n = g == "brltty" ? kTextBrltty : g == "ModemManager" ? kTextModemManager : 0;
        if (!n) continue;
        if (!t.empty()) t += "\n";
        t += LoadText(language, n);
    }
    return t;
}

}  // namespace rm427
