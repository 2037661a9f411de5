// Runs clone exchanges against the simulator over a real pseudo-terminal.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "PtyRadio.h"
#include "file/DataFile.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/CloneExchange.h"

namespace rm427::e2e {

inline void EnsureApp() {
    // The history copies of this process and the rm427-cli it runs go to a
    // data folder of its own inside the build, never the user's.
    static const std::string data = RM427_E2E_DATA_HOME "/" + std::to_string(::getpid());
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data));
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// Polls twice as often as the radio needs: the logic is the same, the suite
// just runs faster on an unpaced pty.
inline CloneTiming FastTiming() {
    CloneTiming t;
    t.pollInterval = 2;
    return t;
}

struct Outcome {
    CloneOutcome outcome = CloneOutcome::None;
    int retryQuestions = 0;
    std::vector<std::string> portErrors;
    std::vector<int> progress;
    int progressMax = 0;
    bool closing = false;
    CodeplugImage readImage{};
    CodeplugImage sendImage{};
    CloneState endState = CloneState::Idle;
};

class SimFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        std::string error;
        ASSERT_TRUE(sim.Start(error)) << error;
        sim.With([](sim::RadioModel& m) {
            for (int i = 0; i < sim::kMemorySize; ++i)
                m.memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
        });
    }

    std::vector<sim::SimFrame> Frames() {
        return sim.With([](sim::RadioModel& m) { return m.Frames(); });
    }

    // The kind of the last frame the simulator has taken, once it has settled:
    // a program that has just exited may have written its closing frame while
    // the simulator's thread is still reading it.
    std::string LastFrameKind(const std::string& expected, int timeoutMs = 2000) {
        QElapsedTimer t;
        t.start();
        std::string kind;
        do {
            const auto frames = Frames();
            kind = frames.empty() ? std::string() : frames.back().kind;
            if (kind == expected) break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } while (t.elapsed() < timeoutMs);
        return kind;
    }

    // answers: the answer to the n-th retry question (beyond the list: Cancel).
    Outcome Run(CloneDir dir, const CodeplugImage& image, const std::vector<ChannelFreqText>& channels,
                std::vector<bool> answers = {}, CloneTiming timing = FastTiming(), std::string path = "",
                std::function<void(CloneExchange&)> before = {}) {
        if (path.empty()) path = sim.SlavePath();
        Outcome o;
        QtSerialPort port([path](int) { return path; });
        QtTimerFactory timers;
        QEventLoop loop;
        CloneExchange::Callbacks cb;
        cb.progress = [&](int v, int max) {
            o.progress.push_back(v);
            o.progressMax = max;
        };
        cb.askRetry = [&] {
            const std::size_t n = o.retryQuestions++;
            return n < answers.size() && answers[n];
        };
        cb.portError = [&](const std::string& d) {
            o.portErrors.push_back(d);
            loop.quit();
        };
        cb.closing = [&] { o.closing = true; };
        cb.finished = [&](CloneOutcome out) {
            o.outcome = out;
            loop.quit();
        };
        CloneExchange ex(dir, port, timers, 1, image, channels, cb, timing);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(30000);
        bool running = true;
        if (before) {
            before(ex);
            running = ex.State() != CloneState::Idle;
        } else {
            running = ex.Start();
        }
        if (running) loop.exec();
        o.readImage = ex.ReadImage();
        o.sendImage = ex.SendImage();
        o.endState = ex.State();
        return o;
    }

    sim::PtyRadio sim;
};

#ifdef RM427_CLI
// rm427-cli as a user runs it from a shell.
// A folder of this test process's own: other runs of the suite may share /tmp.
inline const std::string& Dir() {
    // Never destroyed, so the clean-up at exit can still read it.
    static const std::string* dir = [] {
        std::string t = ::testing::TempDir() + "rm427-e2e-XXXXXX";
        auto* made = new std::string(std::string(::mkdtemp(t.data())) + "/");
        std::atexit([] { std::filesystem::remove_all(Dir()); });
        return made;
    }();
    return *dir;
}

struct CliResult {
    int code = -1;
    std::string out, err;
};

inline CliResult RunCli(const std::string& args, const std::string& env = "") {
    const std::string errFile = Dir() + "cli-err.txt";
    // The history goes to the test's folder, not the user's.
    const std::string cmd =
        "XDG_DATA_HOME=" + Dir() + "data " + env + std::string(RM427_CLI) + " " + args + " 2>" + errFile;
    CliResult r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = ::pclose(p);
    r.code = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    r.err.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
    return r;
}
#endif

// Writes image as a data file at path; returns path.
inline std::string WriteDataFile(const std::string& path, const CodeplugImage& image) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodeDataFile(image, bytes, error)) << error;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string Hex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (auto c : b) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        s += buf;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

}  // namespace rm427::e2e
