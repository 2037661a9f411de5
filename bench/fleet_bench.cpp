// Program Many Radios at 2400 baud 8N2: the fleet loop (probe, check, write,
// verify, log line, next radio) against the simulator acting as a new radio
// per session, with no wait between radios. Each run's time per radio is set
// against the wire time and the protocol's own waits of the write and its
// verify, the least a radio can take; the load average stands beside it.
//   bench_fleet_bench [RUNS [RADIOS]]   (default 3 runs of 2 radios)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "PtyRadio.h"
#include "demo/DemoCodeplug.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/Fleet.h"

using namespace rm427;

namespace {

// Wire time and protocol waits of one exchange, as bench_clone_bench counts
// them: every byte of frame and answer once at the byte time; 1 ms before
// each frame; the polls after the first answer byte (accepted at the poll
// after the one that sees the whole answer); the wait after "DONE".
double WireAndWaitsMs(CloneDir dir, const CodeplugImage& sendImage) {
    const CloneTiming t;
    const double bt = sim::kByteTimeMs2400;
    double ms = 0;
    for (int s = 0; s <= CloneTotalSteps(dir); ++s) {
        const int len = CloneAnswerLength(dir, s);
        ms += static_cast<double>(CloneFrame(dir, s, sendImage).size() + len) * bt + t.sendDelay;
        if (len == 0) {
            ms += t.finishWait - 4 * bt;
            continue;
        }
        const double rest = (len - 1) * bt;
        int p = 1;
        while (p * t.pollInterval < rest) ++p;
        ms += (p + 1) * t.pollInterval - rest;
    }
    return ms;
}

std::string LoadAverage() {
    std::ifstream f("/proc/loadavg");
    std::string one, five, fifteen;
    f >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int radios = argc > 2 ? std::atoi(argv[2]) : 2;
    const CodeplugImage image = DemoCodeplug();
    const double ideal = WireAndWaitsMs(CloneDir::Write, image) + WireAndWaitsMs(CloneDir::Read, image);
    std::printf("write+verify wire+waits %.0f ms per radio (%d runs of %d radios)\n", ideal, runs,
                radios);
    const std::string dir = (std::filesystem::temp_directory_path() / "rm427-fleet-bench").u8string();
    std::filesystem::create_directories(dir);
    double sum = 0, worst = 0;
    bool allOk = true;
    for (int run = 1; run <= runs; ++run) {
        sim::PtyRadio radio;
        std::string error;
        if (!radio.Start(error)) {
            std::fprintf(stderr, "simulator: %s\n", error.c_str());
            return 1;
        }
        radio.SetByteTime(sim::kByteTimeMs2400);
        radio.With([](sim::RadioModel& m) {
            m.bandLow = 4000;
            m.bandHigh = 4700;
            m.newRadioEachSession = true;
        });
        const std::string path = radio.SlavePath();
        QtSerialPort port([path](int) { return path; });
        QtTimerFactory timers;
        QEventLoop loop;
        FleetRun::Options opt;
        opt.pattern = {"CAR##", 1};
        opt.count = radios;
        opt.portName = path;
        opt.codeplugName = "demo.dat";
        opt.historyFolder = dir;
        FleetRun* self = nullptr;
        FleetRun::Callbacks cb;
        // No wait between radios: the next one starts as the state says so.
        cb.state = [&](FleetRun::State s) {
            if (s == FleetRun::State::Waiting) self->Go();
            if (s == FleetRun::State::Ended) loop.quit();
        };
        QElapsedTimer stageClock;
        stageClock.start();
        if (std::getenv("FLEET_BENCH_STAGES"))
            cb.stage = [&](WriteJob::Stage s) {
                std::printf("  stage %d at %lld ms\n", static_cast<int>(s), stageClock.elapsed());
            };
        FleetRun fleet(port, timers, 1, image, opt, cb);
        self = &fleet;
        QElapsedTimer clock;
        clock.start();
        if (!fleet.Begin().empty()) return 1;
        if (fleet.CurrentState() != FleetRun::State::Ended) loop.exec();
        const double perRadio = static_cast<double>(clock.nsecsElapsed()) / 1e6 / radios;
        const bool ok = fleet.Verified() == radios;
        allOk = allOk && ok;
        const double ratio = perRadio / ideal;
        sum += ratio;
        worst = std::max(worst, ratio);
        std::printf("run %d  %s  %.0f ms per radio  ratio %.4f  load average %s\n", run,
                    ok ? "ok    " : "FAILED", perRadio, ratio, LoadAverage().c_str());
        std::fflush(stdout);
        radio.Stop();
    }
    std::printf("mean ratio %.4f  worst %.4f  (goal <= 1.03)\n", sum / runs, worst);
    std::filesystem::remove_all(dir);
    return allOk ? 0 : 1;
}
