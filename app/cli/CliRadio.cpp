#ifdef RM427_WITH_QT
#include "CliRadio.h"

#include <cstdio>
#include <iostream>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <unistd.h>

#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "text/TextTable.h"

namespace rm427::cli {

namespace {
bool AllDigits(const std::string& s) {
    if (s.empty() || s.size() > 3) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The first sentence of the connection question: the CLI does not ask.
std::string ConnectionFailedText() {
    std::string t = LoadText(0, 1331);
    const auto p = t.find(". ");
    return p == std::string::npos ? t : t.substr(0, p + 1);
}
}  // namespace

int RunClone(const char* command, CloneDir dir, const Args& args, std::string& file,
             CodeplugImage& image, const std::vector<ChannelFreqText>& channels, bool parseOnly) {
    const std::string name = command;
    std::string port;
    int retries = 0;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port" || a == "--retries") {
            if (i + 1 >= args.size()) return Fail(name + ": " + a + " needs a value");
            const std::string v = args[++i];
            if (a == "--port") {
                port = v;
            } else {
                if (!AllDigits(v) || std::stoi(v) > 100)
                    return Fail(name + ": --retries takes a number 0..100");
                retries = std::stoi(v);
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return Fail(name + ": unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (port.empty()) return Fail(name + ": --port N|PATH is required");
    if (files.size() != 1) return Fail(name + ": expected one data file");
    file = files[0];
    if (parseOnly) return 0;

    int comPort = 1;
    PortPathLookup lookup = PortPathFromSettings;
    if (AllDigits(port)) {
        comPort = std::stoi(port);
        if (comPort < kFirstPort || comPort > kLastPort)
            return Fail(name + ": port number must be 1..20 (or a device path)");
    } else {
        lookup = [port](int) { return port; };
    }

    static int argc = 1;
    static char arg0[] = "rm427-cli";
    static char* argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);

    QtSerialPort serial(lookup);
    QtTimerFactory timers;
    QEventLoop loop;
    const bool tty = ::isatty(2);
    int failures = 0;
    std::string error;
    CloneOutcome outcome = CloneOutcome::None;
    bool portFailed = false;
    int lastPct = -1;

    CloneExchange::Callbacks cb;
    cb.progress = [&](int value, int maximum) {
        const int pct = maximum > 0 ? (value * 200 + maximum) / (2 * maximum) : 0;
        if (pct == lastPct) return;
        lastPct = pct;
        if (tty) std::fprintf(stderr, "\r%s", ProgressText(0, value, maximum).c_str());
        else if (pct % 10 == 0) std::fprintf(stderr, "%s\n", ProgressText(0, value, maximum).c_str());
        std::fflush(stderr);
    };
    cb.askRetry = [&] {
        ++failures;
        if (failures <= retries) {
            if (tty) std::fputc('\n', stderr);
            std::fprintf(stderr, "%s retrying (%d of %d)\n", ConnectionFailedText().c_str(), failures, retries);
            lastPct = -1;
            return true;
        }
        error = ConnectionFailedText();
        return false;
    };
    cb.portError = [&](const std::string& d) {
        error = d;
        portFailed = true;
        loop.quit();
    };
    cb.finished = [&](CloneOutcome o) {
        outcome = o;
        loop.quit();
    };

    CloneExchange ex(dir, serial, timers, comPort, image, channels, cb);
    if (ex.Start()) loop.exec();
    if (tty && lastPct >= 0) std::fputc('\n', stderr);

    if (portFailed) return Fail(name + ": " + error);
    if (outcome != CloneOutcome::Succeeded)
        return Fail(name + ": " + (error.empty() ? ConnectionFailedText() : error));
    if (dir == CloneDir::Read) image = ex.ReadImage();
    std::cout << LoadText(0, dir == CloneDir::Read ? 1332 : 1333) << "\n";
    return 0;
}

}  // namespace rm427::cli
#endif
