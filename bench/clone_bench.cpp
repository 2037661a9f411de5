// Full read and full write against the simulator paced at 2400 baud 8N2:
// measured time, pure wire time of every byte of the exchange, the waits the
// protocol itself adds, and the longest stall of the event loop meanwhile.
// Then a write followed by its verify (a read of its own on the same port,
// compared with what was sent), against the write's and the read's wire
// time and waits together; and the whole write job as the write window runs
// it with its copy kept: the probe, the read of the radio, the write and its
// verify, against the sum of their wire times and waits.
#include <cstdio>
#include <memory>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "PtyRadio.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/CloneExchange.h"
#include "radio/WriteCheck.h"
#include "radio/WriteJob.h"

using namespace rm427;

namespace {

struct Figures {
    bool ok = false;
    double measuredMs = 0, wireMs = 0, waitsMs = 0, stallMs = 0, stallAtMs = 0;
    long long bytes = 0;
};

// The wait from an answer's first byte to the poll that accepts it: the
// receive event comes with the first byte, then the polls run every 20 ms
// and accept at the poll after the first one that sees the whole answer
// (never before the second poll).
double AnswerWaitMs(int len) {
    const CloneTiming t;
    const double rest = (len - 1) * sim::kByteTimeMs2400;  // from the first answer byte to the last
    int p = 1;
    while (p * t.pollInterval < rest) ++p;
    return (p + 1) * t.pollInterval - rest;
}

// The probe: access word, identification, "DONE" and the closing wait;
// the access word goes out as the port opens.
void AddProbe(Figures& fig) {
    const CloneTiming t;
    const int ident = CloneAnswerLength(CloneDir::Read, 0);
    const int bytes = 6 + ident + 4;
    fig.bytes += bytes;
    fig.wireMs += bytes * sim::kByteTimeMs2400;
    fig.waitsMs += AnswerWaitMs(ident) + t.finishWait - 4 * sim::kByteTimeMs2400;
}

// Adds an exchange's wire time and protocol waits. Every byte of the
// exchange crosses the line once.
void AddExpected(Figures& fig, CloneDir dir, const CodeplugImage& sendImage) {
    const int total = CloneTotalSteps(dir);
    long long bytes = 0;
    for (int s = 0; s <= total; ++s)
        bytes +=
            static_cast<long long>(CloneFrame(dir, s, sendImage).size()) + CloneAnswerLength(dir, s);
    fig.bytes += bytes;
    fig.wireMs += static_cast<double>(bytes) * sim::kByteTimeMs2400;
    // Waits of the protocol, step by step: 1 ms before each frame, the
    // polls for each answer, 100 ms after "DONE".
    const CloneTiming t;
    for (int s = 0; s <= total; ++s) {
        const int len = CloneAnswerLength(dir, s);
        fig.waitsMs += t.sendDelay;
        if (len == 0) fig.waitsMs += t.finishWait - 4 * sim::kByteTimeMs2400;  // "DONE" is wire time
        else fig.waitsMs += AnswerWaitMs(len);
    }
}

enum class Run { Read, Write, WriteVerify, Job };

Figures RunOnce(Run run) {
    Figures fig;
    sim::PtyRadio radio;
    std::string error;
    if (!radio.Start(error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return fig;
    }
    radio.SetByteTime(sim::kByteTimeMs2400);
    radio.With([](sim::RadioModel& m) {
        for (int i = 0; i < sim::kMemorySize; ++i) m.memory[i] = static_cast<std::uint8_t>(i);
    });
    const std::string path = radio.SlavePath();
    QtSerialPort port([path](int) { return path; });
    QtTimerFactory timers;
    QEventLoop loop;
    CloneOutcome outcome = CloneOutcome::None;
    CloneExchange::Callbacks cb;
    cb.askRetry = [] { return false; };
    cb.portError = [&](const std::string& d) {
        std::fprintf(stderr, "port: %s\n", d.c_str());
        loop.quit();
    };
    cb.finished = [&](CloneOutcome o) {
        outcome = o;
        loop.quit();
    };
    Module1 state;
    std::vector<ChannelFreqText> channels(128, {"150.00000", "150.00000"});
    const CloneDir dir = run == Run::Read ? CloneDir::Read : CloneDir::Write;
    auto ex = std::make_unique<CloneExchange>(dir, port, timers, 1, state.Image, channels, cb);

    // The whole job as the write window runs it, every question answered yes.
    WriteJob::Callbacks jcb;
    jcb.askRetry = [] { return false; };
    jcb.confirmCheck = [](const std::vector<CheckLine>&, bool) { return true; };
    jcb.offerRestore = [](WriteJob::RestoreReason, const WriteJob::Result&) { return false; };
    WriteJob::Result job;
    jcb.finished = [&](const WriteJob::Result& r) {
        job = r;
        loop.quit();
    };
    WriteJob::Options opt;
    opt.confirm = false;

    // The event loop's pulse: a 1 ms timer; a stall is a gap between ticks.
    QElapsedTimer pulseClock;
    qint64 last = 0, worst = 0, worstAt = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = pulseClock.nsecsElapsed();
        if (now - last > worst) {
            worst = now - last;
            worstAt = now;
        }
        last = now;
    });

    QElapsedTimer clock;
    clock.start();
    pulseClock.start();
    pulse.start(1);
    if (run == Run::Job) {
        ex.reset();
        WriteJob w(port, timers, 1, "bench", state.Image, opt, jcb);
        w.Start();
        loop.exec();
        AddProbe(fig);
        AddExpected(fig, CloneDir::Read, job.backup);
        AddExpected(fig, CloneDir::Write, job.sent);
        AddExpected(fig, CloneDir::Read, job.sent);
        fig.ok = job.outcome == WriteJob::Outcome::Written && job.haveBackup;
    } else {
        if (ex->Start()) loop.exec();
        AddExpected(fig, dir, ex->SendImage());
        fig.ok = outcome == CloneOutcome::Succeeded;
    }
    if (run == Run::WriteVerify && outcome == CloneOutcome::Succeeded) {
        // As rm427-cli write --verify and the write window do it: a new read
        // exchange on the same port, starting from what was sent.
        const CodeplugImage sent = ex->SendImage();
        outcome = CloneOutcome::None;
        ex.reset();
        ex = std::make_unique<CloneExchange>(CloneDir::Read, port, timers, 1, sent,
                                             std::vector<ChannelFreqText>{}, cb);
        if (ex->Start()) loop.exec();
        AddExpected(fig, CloneDir::Read, sent);
        fig.ok = outcome == CloneOutcome::Succeeded && VerifyDifferences(sent, ex->ReadImage()).empty();
    }
    fig.measuredMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    pulse.stop();

    fig.stallMs = static_cast<double>(worst) / 1e6 - 1.0;
    fig.stallAtMs = static_cast<double>(worstAt) / 1e6;
    radio.Stop();
    return fig;
}

void Print(const char* name, const Figures& f) {
    const double expected = f.wireMs + f.waitsMs;
    std::printf("%-19s %s  measured %8.0f ms  wire %8.0f ms (%lld bytes)  measured/wire %.3f\n", name,
                f.ok ? "ok    " : "FAILED", f.measuredMs, f.wireMs, f.bytes, f.measuredMs / f.wireMs);
    std::printf("       protocol waits %5.0f ms  wire+waits %8.0f ms  measured/(wire+waits) %.3f\n",
                f.waitsMs, expected, f.measuredMs / expected);
    std::printf("       longest event-loop stall %.1f ms (at %.0f ms)\n", f.stallMs, f.stallAtMs);
}

}  // namespace

// The same pulse with nothing else running: what the machine itself costs.
double IdleStallMs(int ms) {
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    clock.start();
    pulse.start(1);
    loop.exec();
    return static_cast<double>(worst) / 1e6 - 1.0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("idle   longest event-loop stall %.1f ms over 5 s (machine baseline)\n",
                IdleStallMs(5000));
    const Figures read = RunOnce(Run::Read);
    Print("read", read);
    const Figures write = RunOnce(Run::Write);
    Print("write", write);
    // wire+waits of this line are those of the write and of the read together.
    const Figures verified = RunOnce(Run::WriteVerify);
    Print("write+verify", verified);
    // ... and of the probe, the backup's read, the write and its verify.
    const Figures job = RunOnce(Run::Job);
    Print("backup+write+verify", job);
    return read.ok && write.ok && verified.ok && job.ok ? 0 : 1;
}
