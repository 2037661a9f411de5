#ifdef RM427_WITH_QT
#include <cstdio>
#include <iostream>
#include <memory>

#include <QEventLoop>
#include <QSocketNotifier>
#include <unistd.h>

#include "CliDataFile.h"
#include "CliOptions.h"
#include "CliRadio.h"
#include "file/History.h"
#include "io/HistoryFolder.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "io/StopSignals.h"
#include "radio/Fleet.h"
#include "text/TextTable.h"

namespace rm427::cli {
namespace {

bool Number(const std::string& s, int low, int high, int& value) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(s);
    return value >= low && value <= high;
}

std::string Percent(int value, int maximum) {
    return std::to_string(maximum > 0 ? (value * 200 + maximum) / (2 * maximum) : 0) + "%";
}

int Run(const Args& args) {
    CommandOptions options("fleet", true);
    std::string port, count, pattern, start = "1", log, retries = "0";
    bool noWait = false, keepCopy = false, force = false;
    options.Value("--port", port, "--port needs a value");
    options.Value("--count", count, "--count needs a value");
    options.Value("--message-pattern", pattern, "--message-pattern needs a value");
    options.Value("--start", start, "--start needs a value");
    options.Value("--log", log, "--log needs a file");
    options.Value("--retries", retries, "--retries needs a value");
    options.Flag("--no-wait", noWait);
    options.Flag("--keep-copy", keepCopy);
    options.Flag("--force", force);
    Args files;
    int rc = 0;
    if (!options.Parse(args, files, rc)) return rc;
    FleetRun::Options opt;
    int retryCount = 0;
    if (port.empty()) return Fail("fleet: --port N|PATH is required");
    if (!Number(count, 1, 9999, opt.count)) return Fail("fleet: --count takes a number 1..9999");
    if (!Number(start, 0, 99999, opt.pattern.start))
        return Fail("fleet: --start takes a number 0..99999");
    if (!Number(retries, 0, 100, retryCount)) return Fail("fleet: --retries takes a number 0..100");
    if (files.size() != 1) return Fail("fleet: expected one data file");
    CodeplugImage image{};
    if (!LoadDataFile(files[0], image)) return 1;

    int comPort = 1;
    PortPathLookup lookup;
    if (!ResolvePort("fleet", port, comPort, lookup)) return 1;

    opt.pattern.text = pattern;
    opt.backup = keepCopy;
    opt.portName = port;
    opt.codeplugName = files[0];
    opt.historyFolder = HistoryFolder();
    opt.logFile = log;

    QtSerialPort serial(lookup);
    QtTimerFactory timers;
    QEventLoop loop;
    int failures = 0;
    bool checkShown = false;
    ProgressLine progress(25);
    FleetRun* running = nullptr;
    StopSignals stop([&](int) {
        if (running) running->End();
        loop.quit();
    });
    WriteJob::Stage stage = WriteJob::Stage::Idle;
    FleetRun::Callbacks cb;
    cb.stage = [&](WriteJob::Stage s) {
        progress.End();
        stage = s;
        failures = 0;
    };
    cb.progress = [&](int value, int maximum) {
        if (!running) return;
        const int what = stage == WriteJob::Stage::Backup   ? 3517
                         : stage == WriteJob::Stage::Verify ? 3203
                                                            : 1117;
        progress.Show(value, maximum, [&] {
            return FillText(LoadText(0, 3954), {std::to_string(running->NextUnit()),
                                                LoadText(0, what) + " " + Percent(value, maximum)});
        });
    };
    cb.askRetry = [&] {
        if (++failures > retryCount) return false;
        progress.End();
        std::fprintf(stderr, "%s retrying (%d of %d)\n", LoadText(0, 3977).c_str(), failures,
                     retryCount);
        return true;
    };
    cb.confirmCheck = [&](const std::vector<CheckLine>& lines, bool errors) {
        // The same codeplug goes to every radio: its warnings are told once.
        if (!checkShown || errors) {
            progress.End();
            for (const CheckLine& l : lines) std::cerr << CheckLineText(0, l) << "\n";
        }
        checkShown = true;
        return !errors || force;
    };
    HistoryRecorder history(opt.historyFolder);
    cb.backupTaken = [&](const CodeplugImage& copy) {
        const std::string warning = history.Record(0, HistoryKind::BeforeWrite, files[0], copy);
        if (!warning.empty()) std::cerr << "rm427-cli: warning: " << warning << "\n";
    };
    cb.radioDone = [&](const FleetRadio& r) {
        progress.End();
        // One line per radio on stdout: the log's line without the file names.
        std::cout << FleetLogLine(r, port, files[0]) << std::endl;
        loop.quit();
    };
    cb.logWarning = [&](const std::string& text) {
        std::cerr << "rm427-cli: warning: " << text << "\n";
    };
    FleetRun run(serial, timers, comPort, image, opt, cb);
    running = &run;
    const std::string refusal = run.Begin();
    if (!refusal.empty()) return Fail("fleet: " + refusal);
    std::cout << FleetLogHeader() << std::endl;

    // Enter runs the next radio; "q" (or Esc) and Enter, or the end of the
    // input, ends the run. Lines typed ahead are kept for the next prompts.
    std::string typed;
    bool inputEnded = false;
    auto nextLine = [&](std::string& line) {
        const auto nl = typed.find('\n');
        if (nl == std::string::npos) return false;
        line = typed.substr(0, nl);
        typed.erase(0, nl + 1);
        return true;
    };
    while (run.CurrentState() == FleetRun::State::Waiting && !stop.Received()) {
        if (!noWait) {
            std::cerr << run.Prompt() << std::endl;
            std::string line;
            bool got = nextLine(line);
            while (!got && !inputEnded && !stop.Received()) {
#ifdef _WIN32
                if (!std::getline(std::cin, line)) inputEnded = true;
                else typed += line + "\n";
#else
                QSocketNotifier input(0, QSocketNotifier::Read);
                QObject::connect(&input, &QSocketNotifier::activated, &loop, [&] {
                    char buf[256];
                    const ssize_t n = ::read(0, buf, sizeof buf);
                    if (n <= 0) inputEnded = true;
                    else typed.append(buf, static_cast<std::size_t>(n));
                    loop.quit();
                });
                loop.exec();
#endif
                got = nextLine(line);
            }
            if (stop.Received()) break;
            if (!got && !typed.empty()) {  // a last line without its line end
                line.swap(typed);
                got = true;
            }
            if (!got || line.find_first_of("qQ\x1b") != std::string::npos) {
                run.End();
                break;
            }
        } else if (run.LastFailed()) {
            // Nobody is there to look at the radio: the run ends.
            run.End();
            break;
        }
        run.Go();
        if (run.CurrentState() == FleetRun::State::Running) loop.exec();
    }
    if (run.CurrentState() == FleetRun::State::Running) {
        run.End();  // a signal: the radio hears "DONE"
        while (run.CurrentState() == FleetRun::State::Running) loop.exec();
    }
    running = nullptr;
    progress.End();
    run.End();
    std::cerr << run.Prompt() << "\n";
    if (!run.HistoryLog().empty()) std::cerr << "log: " << run.HistoryLog() << "\n";
    if (const int sig = stop.Received()) return 128 + sig;
    return run.Verified() == opt.count ? 0 : 1;
}

const CliCommand kFleet(
    "fleet",
    "Program many radios with one data file, one after another.\n"
    "For each radio: the band probe and the check (as rm427-cli write does),\n"
    "with --keep-copy a read of the radio kept in the history, the write, and\n"
    "the verify. --count N radios in all. --message-pattern CAR## gives each\n"
    "radio its own five-character power-on message: the group of # takes a\n"
    "counter from --start (default 1), zero-padded (CAR01, CAR02 ...); only\n"
    "A-Z, 0-9, space and - * + _ may appear, and a pattern longer than five\n"
    "characters or a counter that outgrows its digits is refused before the\n"
    "first radio. Nothing else in the data file is changed.\n"
    "Before each radio the command asks on stderr \"Connect radio N and press\n"
    "Enter\"; q (or Esc) and Enter, or the end of the input, ends the run.\n"
    "--no-wait goes on at once (a rig with a radio switcher). A radio that\n"
    "fails is asked for again with its reason (the counter never skips); with\n"
    "--no-wait it ends the run. A check error refuses the\n"
    "radio unless --force; the check's warnings are shown once. A step that\n"
    "fails is retried up to K times (--retries K, default 0).\n"
    "One CSV line per radio, with the columns time, unit, attempt, port,\n"
    "band, identification (the identification block's other 14 bytes, hex),\n"
    "message, result (verified, failed, differs, refused, no-answer,\n"
    "port-failed, cancelled), seconds, codeplug, reason, goes to stdout and\n"
    "is appended, and flushed to the disk, to a log in the history folder\n"
    "(rm427-cli history lists it as \"fleet\") and to --log FILE.\n"
    "Ctrl-C, SIGTERM, SIGHUP or SIGQUIT stops the radio being written as\n"
    "Cancel does, logs it, and exits 128 + the signal.\n"
    "Exit status: 0 when every radio was verified; 1 otherwise.",
    "fleet --port N|PATH --count N [--message-pattern CAR## [--start 1]]\n"
    "      [--log FILE.csv] [--no-wait] [--keep-copy] [--force] [--retries K] IN.dat",
    Run);

}  // namespace
}  // namespace rm427::cli
#endif
