#ifdef RM427_WITH_QT
#include "CliRadio.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <fcntl.h>
#include <unistd.h>

#include "CliOptions.h"
#include "file/History.h"
#include "io/HistoryFolder.h"
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

constexpr int kTextInterrupted = 3601;
constexpr int kTextPartlyWritten = 3602;
constexpr int kTextRadioUnchanged = 3603;

// SIGINT and SIGTERM during an exchange: the handler only notes the signal
// and wakes the event loop, which cancels the exchange as the window's
// Cancel does, so the radio gets its closing "DONE".
int g_wakePipe[2] = {-1, -1};
volatile std::sig_atomic_t g_signal = 0;

extern "C" void OnStopSignal(int sig) {
    if (!g_signal) g_signal = sig;
    const char b = 1;
    const int saved = errno;
    if (::write(g_wakePipe[1], &b, 1) < 0) { /* the loop is already awake */
    }
    errno = saved;
}

class StopSignals {
public:
    StopSignals() {
        g_signal = 0;
        if (::pipe(g_wakePipe) != 0) return;
        for (int fd : g_wakePipe) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
        struct sigaction sa {};
        sa.sa_handler = OnStopSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, &oldInt_);
        ::sigaction(SIGTERM, &sa, &oldTerm_);
        installed_ = true;
    }
    ~StopSignals() {
        if (!installed_) return;
        ::sigaction(SIGINT, &oldInt_, nullptr);
        ::sigaction(SIGTERM, &oldTerm_, nullptr);
        ::close(g_wakePipe[0]);
        ::close(g_wakePipe[1]);
        g_wakePipe[0] = g_wakePipe[1] = -1;
    }
    int ReadFd() const { return installed_ ? g_wakePipe[0] : -1; }
    void Drain() const {
        char buf[16];
        while (::read(g_wakePipe[0], buf, sizeof buf) > 0) {
        }
    }

private:
    bool installed_ = false;
    struct sigaction oldInt_ {
    }, oldTerm_{};
};

// The first sentence of the connection question: the CLI does not ask.
std::string ConnectionFailedText() {
    std::string t = LoadText(0, 1331);
    const auto p = t.find(". ");
    return p == std::string::npos ? t : t.substr(0, p + 1);
}
}  // namespace

bool ParseCloneArgs(const char* command, CloneDir dir, const Args& args, CloneArgs& parsed,
                    int& exitCode) {
    const std::string name = command;
    CommandOptions options(name, true);
    std::string retries;
    options.Value("--port", parsed.port, "--port needs a value");
    options.Value("--retries", retries, "--retries needs a value");
    bool verify = false, noVerify = false;
    if (dir == CloneDir::Write) {
        options.Flag("--verify", verify);  // the default; kept for older scripts
        options.Flag("--no-verify", noVerify);
    }
    Args files;
    if (!options.Parse(args, files, exitCode)) return false;
    if (!retries.empty()) {
        if (!AllDigits(retries) || std::stoi(retries) > 100) {
            exitCode = Fail(name + ": --retries takes a number 0..100");
            return false;
        }
        parsed.retries = std::stoi(retries);
    }
    if (parsed.port.empty()) {
        exitCode = Fail(name + ": --port N|PATH is required");
        return false;
    }
    if (files.size() != 1) {
        exitCode = Fail(name + ": expected one data file");
        return false;
    }
    parsed.file = files[0];
    parsed.verify = dir == CloneDir::Write && !noVerify;
    return true;
}

int RunClone(const char* command, CloneDir dir, const CloneArgs& args, CodeplugImage& image,
             const std::vector<ChannelFreqText>& channels) {
    const std::string name = command;
    const std::string& port = args.port;
    const std::string& file = args.file;
    const int retries = args.retries;
    const bool verify = args.verify;

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
    const bool tty = ::isatty(2);
    StopSignals stop;

    struct Run {
        CloneOutcome outcome = CloneOutcome::None;
        bool portFailed = false;
        std::string error;
        // A write that got past the identification may have changed the radio.
        bool radioTouched = false;
    };
    // Runs one exchange; prefix goes before each progress line, done sees
    // the exchange before it is gone.
    auto runExchange = [&](CloneDir d, const CodeplugImage& start,
                           const std::vector<ChannelFreqText>& chans, const std::string& prefix,
                           Run& run, const std::function<void(const CloneExchange&)>& done) {
        QEventLoop loop;
        CloneExchange::Callbacks cb;
        int failures = 0;
        int lastPct = -1;
        CloneExchange* running = nullptr;
        cb.progress = [&](int value, int maximum) {
            const int pct = maximum > 0 ? (value * 200 + maximum) / (2 * maximum) : 0;
            if (pct == lastPct) return;
            lastPct = pct;
            const std::string line = prefix + ProgressText(0, value, maximum);
            if (tty) std::fprintf(stderr, "\r%s", line.c_str());
            else if (pct % 10 == 0) std::fprintf(stderr, "%s\n", line.c_str());
            std::fflush(stderr);
        };
        cb.askRetry = [&] {
            if (d == CloneDir::Write && running->CurrentStep() >= 1) run.radioTouched = true;
            ++failures;
            if (failures <= retries) {
                if (tty) std::fputc('\n', stderr);
                std::fprintf(stderr, "%s retrying (%d of %d)\n", ConnectionFailedText().c_str(),
                             failures, retries);
                lastPct = -1;
                return true;
            }
            run.error = ConnectionFailedText();
            return false;
        };
        cb.portError = [&](const std::string& desc) {
            run.error = desc;
            run.portFailed = true;
            loop.quit();
        };
        cb.finished = [&](CloneOutcome o) {
            run.outcome = o;
            loop.quit();
        };
        CloneExchange ex(d, serial, timers, comPort, start, chans, cb);
        running = &ex;
        std::unique_ptr<QSocketNotifier> wake;
        if (stop.ReadFd() >= 0) {
            wake = std::make_unique<QSocketNotifier>(stop.ReadFd(), QSocketNotifier::Read);
            QObject::connect(wake.get(), &QSocketNotifier::activated, [&] {
                stop.Drain();
                if (d == CloneDir::Write && ex.CurrentStep() >= 1) run.radioTouched = true;
                ex.Cancel();
            });
        }
        if (ex.Start()) loop.exec();
        wake.reset();
        if (tty && lastPct >= 0) std::fputc('\n', stderr);
        if (run.outcome == CloneOutcome::Succeeded) done(ex);
    };
    // state: what the radio holds after this failure (appended for a write).
    auto failed = [&](const Run& run, const std::string& what, const std::string& state) {
        // A signal that came after the last frame changes nothing: all is done.
        if (g_signal) {
            Fail(what + LoadText(0, kTextInterrupted) + (state.empty() ? "" : " " + state));
            return 128 + g_signal;
        }
        if (run.portFailed) return Fail(what + run.error);
        return Fail(what + (run.error.empty() ? ConnectionFailedText() : run.error) +
                    (state.empty() ? "" : " " + state));
    };

    Run run;
    CodeplugImage sent{};
    std::vector<std::string> bandReport;
    runExchange(dir, image, channels, "", run, [&](const CloneExchange& ex) {
        if (dir == CloneDir::Read) image = ex.ReadImage();
        sent = ex.SendImage();
        bandReport = BandCheckReport(0, ex.LowerLimit(), ex.UpperLimit(), ex.BandChanges());
    });
    if (run.outcome != CloneOutcome::Succeeded) {
        std::string state;
        if (dir == CloneDir::Write)
            state = LoadText(0, run.radioTouched ? kTextPartlyWritten : kTextRadioUnchanged);
        else if (g_signal) state = LoadText(0, kTextRadioUnchanged);
        return failed(run, name + ": ", state);
    }
    // A copy of what was read or sent; a history that cannot be kept only warns.
    HistoryRecorder history(HistoryFolder());
    const std::string warning =
        history.Record(0, dir == CloneDir::Read ? HistoryKind::Read : HistoryKind::Write, file,
                       dir == CloneDir::Read ? image : sent);
    if (!warning.empty()) std::cerr << "rm427-cli: warning: " << warning << "\n";
    std::cout << LoadText(0, dir == CloneDir::Read ? 1332 : 1333) << "\n";
    if (dir == CloneDir::Read) return 0;

    // What the band check changed goes to stderr: the data file still has it.
    for (const std::string& line : bandReport) std::cerr << line << "\n";
    if (!verify) return 0;

    // Verify: a read of its own, after "DONE", starting from what was sent.
    Run check;
    std::vector<std::string> diffs;
    runExchange(CloneDir::Read, sent, {}, LoadText(0, 3203) + ": ", check,
                [&](const CloneExchange& ex) { diffs = VerifyDifferences(sent, ex.ReadImage()); });
    if (check.outcome != CloneOutcome::Succeeded)
        return failed(check, name + ": " + LoadText(0, 3203) + ": ", LoadText(0, 3207));
    for (const std::string& line : diffs) std::cout << line << "\n";
    if (diffs.empty()) {
        std::cout << VerifySummary(0, 0) << "\n";
        return 0;
    }
    std::cout.flush();
    std::cerr << "rm427-cli: " << name << ": " << VerifySummary(0, diffs.size()) << "\n";
    return 3;
}

}  // namespace rm427::cli
#endif
