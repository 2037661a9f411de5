#ifdef RM427_WITH_QT
#include "CliRadio.h"

#include <cstdio>
#include <functional>
#include <iostream>

#include <QCoreApplication>
#include <QEventLoop>
#include <unistd.h>

#include "CliOptions.h"
#include "file/History.h"
#include "io/HistoryFolder.h"
#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "io/StopSignals.h"
#include "radio/WriteJob.h"
#include "CliDataFile.h"
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
constexpr int kTextLineLost = 3860;
constexpr int kTextInterruptedAfterWrite = 3864;

// The first sentence of the connection question: the CLI does not ask.
std::string ConnectionFailedText() {
    std::string t = LoadText(0, 1331);
    const auto p = t.find(". ");
    return p == std::string::npos ? t : t.substr(0, p + 1);
}
}  // namespace

void EnsureApplication() {
    static int argc = 1;
    static char arg0[] = "rm427-cli";
    static char* argv[] = {arg0, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

bool ResolvePort(const std::string& command, const std::string& port, int& comPort,
                 PortPathLookup& lookup) {
    comPort = 1;
    lookup = PortPathFromSettings;
    if (AllDigits(port)) {
        comPort = std::stoi(port);
        if (comPort < kFirstPort || comPort > kLastPort) {
            Fail(command + ": port number must be 1..20 (or a device path)");
            return false;
        }
    } else {
        lookup = [port](int) { return port; };
    }
    EnsureApplication();
    return true;
}

ProgressLine::ProgressLine(int every) : every_(every), tty_(::isatty(2)) {}

void ProgressLine::Show(int value, int maximum, const std::function<std::string()>& text) {
    const int pct = maximum > 0 ? (value * 200 + maximum) / (2 * maximum) : 0;
    if (pct == last_) return;
    last_ = pct;
    if (tty_) std::fprintf(stderr, "\r%s", text().c_str());
    else if (pct % every_ == 0) std::fprintf(stderr, "%s\n", text().c_str());
    std::fflush(stderr);
}

void ProgressLine::End() {
    if (tty_ && last_ >= 0) std::fputc('\n', stderr);
    last_ = -1;
}

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
        options.Flag("--check", parsed.check);
        options.Flag("--force", parsed.force);
        options.Flag("--preview", parsed.preview);
        options.Value("--backup", parsed.backup, "--backup needs a file");
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
             const std::vector<ChannelFreqText>& channels, std::string* kept) {
    const std::string name = command;
    const std::string& file = args.file;
    const int retries = args.retries;
    const bool verify = args.verify;

    int comPort = 1;
    PortPathLookup lookup;
    if (!ResolvePort(name, args.port, comPort, lookup)) return 1;

    QtSerialPort serial(lookup);
    QtTimerFactory timers;
    // Every signal that would end the program cancels the exchange instead.
    StopSignals stop(nullptr);

    struct Run {
        CloneOutcome outcome = CloneOutcome::None;
        bool portFailed = false;
        std::string error;
        // A write that got past the identification may have changed the radio.
        bool radioTouched = false;
        bool lineLost = false;  // the failure came from the line going away
    };
    // Runs one exchange; prefix goes before each progress line, done sees
    // the exchange before it is gone.
    auto runExchange = [&](CloneDir d, const CodeplugImage& start,
                           const std::vector<ChannelFreqText>& chans, const std::string& prefix,
                           Run& run, const std::function<void(const CloneExchange&)>& done) {
        QEventLoop loop;
        CloneExchange::Callbacks cb;
        int failures = 0;
        ProgressLine progress(10);
        CloneExchange* running = nullptr;
        cb.progress = [&](int value, int maximum) {
            progress.Show(value, maximum, [&] { return prefix + ProgressText(0, value, maximum); });
        };
        cb.askRetry = [&] {
            if (d == CloneDir::Write && running->CurrentStep() >= 1) run.radioTouched = true;
            run.lineLost = running->LineLost();
            ++failures;
            if (failures <= retries) {
                progress.End();
                std::fprintf(stderr, "%s retrying (%d of %d)\n", ConnectionFailedText().c_str(),
                             failures, retries);
                return true;
            }
            run.error = ConnectionFailedText();
            if (run.lineLost) run.error += " " + LoadText(0, kTextLineLost);
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
        stop.SetOnStop([&](int) {
            if (d == CloneDir::Write && ex.CurrentStep() >= 1) run.radioTouched = true;
            ex.Cancel();  // after the exchange's own "DONE" it completes as it was
        });
        if (stop.Received()) ex.Cancel();  // stopped before this exchange began
        else if (ex.Start()) loop.exec();
        stop.SetOnStop(nullptr);
        progress.End();
        if (run.outcome == CloneOutcome::Succeeded) done(ex);
    };
    // state: what the radio holds after this failure (appended for a write).
    auto failed = [&](const Run& run, const std::string& what, const std::string& state) {
        if (const int sig = stop.Received()) {
            Fail(what + LoadText(0, kTextInterrupted) + (state.empty() ? "" : " " + state));
            return 128 + sig;
        }
        if (run.portFailed)
            return Fail(what + run.error + (run.radioTouched && !state.empty() ? " " + state : ""));
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
        else if (stop.Received()) state = LoadText(0, kTextRadioUnchanged);
        return failed(run, name + ": ", state);
    }
    // A copy of what was read or sent; a history that cannot be kept only warns.
    HistoryRecorder history(HistoryFolder());
    const std::string warning =
        history.Record(0, dir == CloneDir::Read ? HistoryKind::Read : HistoryKind::Write, file,
                       dir == CloneDir::Read ? image : sent);
    if (!warning.empty()) std::cerr << "rm427-cli: warning: " << warning << "\n";
    if (kept) *kept = history.LastEntry();
    std::cout << LoadText(0, dir == CloneDir::Read ? 1332 : 1333) << "\n";
    if (dir == CloneDir::Read) return 0;

    // What the band check changed goes to stderr: the data file still has it.
    for (const std::string& line : bandReport) std::cerr << line << "\n";
    if (!verify) return 0;
    // Stopped in the last moments of the write: it is complete, only the
    // verify is left out.
    if (const int sig = stop.Received()) {
        Fail(name + ": " + LoadText(0, kTextInterruptedAfterWrite));
        return 128 + sig;
    }

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

int RunWrite(const CloneArgs& args, const CodeplugImage& image) {
    int comPort = 1;
    PortPathLookup lookup;
    if (!ResolvePort("write", args.port, comPort, lookup)) return 1;
    std::string error;
    if (!args.backup.empty() && !CheckSaveTarget(args.backup, kDataFileLimit, error))
        return Fail("write: cannot write " + args.backup + ": " + error + "; the radio was not touched");

    QtSerialPort serial(lookup);
    QtTimerFactory timers;
    WriteJob* running = nullptr;
    // Every signal that would end the program cancels the exchange instead.
    StopSignals stop([&](int) {
        if (running) running->Cancel();
    });
    HistoryRecorder history(HistoryFolder());
    auto keep = [&](HistoryKind kind, const CodeplugImage& img) {
        const std::string warning = history.Record(0, kind, args.file, img);
        if (!warning.empty()) std::cerr << "rm427-cli: warning: " << warning << "\n";
    };

    WriteJob::Options opt;
    opt.backup = !args.backup.empty() || args.preview;
    opt.verify = args.verify;
    opt.checkOnly = args.check;
    opt.previewOnly = args.preview;
    opt.confirm = false;
    QEventLoop loop;
    WriteJob::Result result;
    WriteJob::Stage stage = WriteJob::Stage::Idle;
    int failures = 0;
    bool checkShown = false, backupStored = true;
    ProgressLine progress(10);
    auto showCheck = [&](const std::vector<CheckLine>& lines) {
        if (checkShown) return;
        checkShown = true;
        for (const CheckLine& l : lines) std::cerr << CheckLineText(0, l) << "\n";
    };

    WriteJob::Callbacks cb;
    cb.stage = [&](WriteJob::Stage s) {
        progress.End();
        stage = s;
        failures = 0;
    };
    cb.progress = [&](int value, int maximum) {
        const int prefix = stage == WriteJob::Stage::Backup    ? 3517
                           : stage == WriteJob::Stage::Restore ? 3523
                           : stage == WriteJob::Stage::Verify || stage == WriteJob::Stage::RestoreVerify
                               ? 3203
                               : 0;
        progress.Show(value, maximum, [&] {
            return (prefix ? LoadText(0, prefix) + ": " : std::string()) +
                   ProgressText(0, value, maximum);
        });
    };
    cb.askRetry = [&] {
        if (++failures > args.retries) return false;
        progress.End();
        std::fprintf(stderr, "%s retrying (%d of %d)\n", ConnectionFailedText().c_str(), failures,
                     args.retries);
        return true;
    };
    cb.confirmCheck = [&](const std::vector<CheckLine>& lines, bool errors) {
        showCheck(lines);
        return !errors || args.force;
    };
    cb.backupTaken = [&](const CodeplugImage& copy) {
        keep(HistoryKind::BeforeWrite, copy);
        if (!args.backup.empty()) backupStored = StoreDataFile(args.backup, copy);
    };
    cb.written = [&](const CodeplugImage& sent) { keep(HistoryKind::Write, sent); };
    cb.offerRestore = [](WriteJob::RestoreReason, const WriteJob::Result&) { return false; };
    cb.finished = [&](const WriteJob::Result& r) {
        result = r;
        loop.quit();
    };
    WriteJob job(serial, timers, comPort, args.port, image, opt, cb);
    running = &job;
    job.Start();
    if (stop.Received()) job.Cancel();  // stopped before the job began
    loop.exec();
    running = nullptr;
    progress.End();

    using O = WriteJob::Outcome;
    if (result.outcome != O::PortFailed) showCheck(result.check);
    const std::string restore =
        args.backup.empty() || !backupStored
            ? std::string()
            : FillText(LoadText(0, 3526), {"rm427-cli write --port " + args.port + " " + args.backup});
    const bool touched = result.radioTouched;
    auto fail = [&](const std::string& what, const std::string& state) {
        if (const int sig = stop.Received()) {
            Fail("write: " + LoadText(0, kTextInterrupted) + (state.empty() ? "" : " " + state));
            if (!restore.empty() && touched) std::cerr << restore << "\n";
            return 128 + sig;
        }
        Fail("write: " + what + (result.lineLost ? " " + LoadText(0, kTextLineLost) : std::string()) +
             (state.empty() ? "" : " " + state));
        if (!restore.empty() && touched) std::cerr << restore << "\n";
        return 1;
    };
    switch (result.outcome) {
    case O::PortFailed: return fail(result.error, "");
    case O::NoAnswer: return 1;  // the check line said so
    case O::Checked: return HasErrors(result.check) ? 4 : 0;
    case O::Refused: Fail("write: " + LoadText(0, 3528)); return 4;
    case O::Cancelled:
    case O::BackupFailed: return fail(ConnectionFailedText(), LoadText(0, kTextRadioUnchanged));
    case O::Previewed:
        if (result.changes.empty()) std::cout << LoadText(0, 3519) << "\n";
        else {
            std::cout << LoadText(0, 3529) << "\n";
            for (const std::string& line : result.changes) std::cout << line << "\n";
        }
        return backupStored ? 0 : 1;
    case O::NothingToWrite: std::cout << LoadText(0, 3519) << "\n"; return backupStored ? 0 : 1;
    case O::WriteFailed:
        return fail(ConnectionFailedText(),
                    LoadText(0, touched ? kTextPartlyWritten : kTextRadioUnchanged));
    default: break;
    }
    // Written: what the band check changed goes to stderr, the data file still has it.
    std::cout << LoadText(0, 1333) << "\n";
    for (const std::string& line :
         BandCheckReport(0, result.probe.low, result.probe.high, result.bandChanges))
        std::cerr << line << "\n";
    if (result.outcome == O::VerifyFailed) {
        // Stopped in the last moments of the write: it is complete, only the
        // verify is left out.
        if (const int sig = stop.Received()) {
            Fail("write: " + LoadText(0, kTextInterruptedAfterWrite));
            return 128 + sig;
        }
        Fail("write: " + LoadText(0, 3203) + ": " + ConnectionFailedText() + " " + LoadText(0, 3207));
        return 1;
    }
    for (const std::string& line : result.verifyDiffs) std::cout << line << "\n";
    if (result.outcome == O::VerifyDiffers) {
        std::cout.flush();
        std::cerr << "rm427-cli: write: " << VerifySummary(0, result.verifyDiffs.size()) << "\n";
        if (!restore.empty()) std::cerr << restore << "\n";
        return 3;
    }
    if (args.verify) std::cout << VerifySummary(0, 0) << "\n";
    return 0;
}

}  // namespace rm427::cli
#endif
