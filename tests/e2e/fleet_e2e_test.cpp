// Program Many Radios over a pseudo-terminal, against the simulator acting
// as a new radio per session: the fleet run the window drives, and
// rm427-cli fleet.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SimFiles.h"
#include "SimHarness.h"
#include "demo/DemoCodeplug.h"
#include "file/History.h"
#include "image/ImageLayout.h"
#include "radio/Fleet.h"
#include "settings/SettingsRow.h"

namespace rm427::e2e {
namespace {

class FleetE2e : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        sim.With([](sim::RadioModel& m) {
            m.bandLow = 4000;  // the demonstration codeplug's band
            m.bandHigh = 4700;
            m.newRadioEachSession = true;
        });
    }
    // A write refused midway (a NAK) the first time radio n is written.
    void FailWriteOf(int n) {
        sim.With([n](sim::RadioModel& m) {
            m.onNewRadio = [&m, n](int number) {
                if (number == n) m.faults.push_back({sim::FaultKind::Nak, 60, 1, 0});
            };
        });
    }
};

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) fields.emplace_back();
            else fields.back() += c;
        }
        rows.push_back(fields);
    }
    return rows;
}

std::string Slurp(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
}

// Five radios, Enter for each; the write of radio 3 fails once and the
// radio is tried again with the next Enter: six log lines, every radio
// verified with its own message, the counter never skipping.
TEST_F(FleetE2e, FiveRadiosWithAFaultOnTheThirdAndItsRetry) {
    const std::string log = Dir() + "fleet-log.csv", saved = Dir() + "radio.dat",
                      history = Dir() + "fleet-history";
    FailWriteOf(3);
    sim.With([&](sim::RadioModel& m) {
        m.onWriteFinished = [&m, saved] {
            std::string error;
            EXPECT_TRUE(sim::SaveMemory(sim::RadioSavePath(saved, m.radioNumber), m, error)) << error;
        };
    });
    const std::string path = sim.SlavePath();
    QtSerialPort port([path](int) { return path; });
    QtTimerFactory timers;
    QEventLoop loop;
    FleetRun::Options opt;
    opt.pattern = {"CAR##", 1};
    opt.count = 5;
    opt.portName = path;
    opt.codeplugName = "demo.dat";
    opt.historyFolder = history;
    opt.logFile = log;
    FleetRun::Callbacks cb;
    int enters = 0;
    cb.state = [&](FleetRun::State s) {
        if (s != FleetRun::State::Running) loop.quit();
    };
    FleetRun run(port, timers, 1, DemoCodeplug(), opt, cb, FastTiming());
    ASSERT_EQ(run.Begin(), "");
    while (run.CurrentState() == FleetRun::State::Waiting && enters < 10) {
        ++enters;  // Enter
        run.Go();
        loop.exec();
    }
    EXPECT_EQ(run.CurrentState(), FleetRun::State::Ended);
    EXPECT_EQ(enters, 6);
    EXPECT_EQ(run.Verified(), 5);

    const auto rows = CsvRows(Slurp(log));
    ASSERT_EQ(rows.size(), 7u) << Slurp(log);
    EXPECT_EQ(rows[0].size(), 11u);
    const int units[] = {1, 2, 3, 3, 4, 5};
    for (int i = 0; i < 6; ++i) {
        const auto& f = rows[static_cast<std::size_t>(i) + 1];
        ASSERT_EQ(f.size(), 11u);
        EXPECT_EQ(f[1], std::to_string(units[i]));
        EXPECT_EQ(f[2], i == 3 ? "2" : "1");
        EXPECT_EQ(f[4], "400.0 - 470.0 MHz");
        // The simulator numbers its radios in the identification's last bytes.
        EXPECT_EQ(f[5], "52 4D 2D 34 32 37 00 01 00 00 00 00 00 0" + std::to_string(units[i]));
        EXPECT_EQ(f[6], "CAR0" + std::to_string(units[i]));
        EXPECT_EQ(f[7], i == 2 ? "failed" : "verified");
        EXPECT_EQ(f[10].empty(), i != 2) << f[10];
    }
    EXPECT_NE(rows[3][10].find("partly written"), std::string::npos) << rows[3][10];
    for (int n = 1; n <= 5; ++n) {
        sim::RadioModel radio;
        std::string error;
        ASSERT_TRUE(sim::LoadMemory(sim::RadioSavePath(saved, n), radio, error)) << error;
        EXPECT_EQ(UnpackPowerOnMessage(&radio.memory[settings::kMessage]), "CAR0" + std::to_string(n));
    }
    // The same lines are in the history, as a fleet entry.
    const auto entries = ListHistory(history);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].kind == HistoryKind::Fleet);
    EXPECT_EQ(Slurp(entries[0].path), Slurp(log));
}

// rm427-cli fleet: a pattern that cannot serve every radio is refused
// before the first one; with --no-wait a radio that fails ends the run, and
// the exit status is 0 only when every radio was verified.
TEST_F(FleetE2e, CliRefusesBeforeTheFirstRadioAndFailsUnlessAllVerified) {
    const std::string in = WriteDataFile(Dir() + "fleet.dat", DemoCodeplug());
    const std::string port = "fleet --port " + sim.SlavePath() + " ";
    const CliResult refused = RunCli(port + "--count 2 --message-pattern CAR## --start 99 " + in);
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("radio 2 of the run would need 100"), std::string::npos) << refused.err;
    EXPECT_TRUE(Frames().empty());

    FailWriteOf(2);
    const CliResult r = RunCli(port + "--count 3 --no-wait --message-pattern U#### --start 7 " + in);
    EXPECT_EQ(r.code, 1) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out;
    EXPECT_EQ(rows[1][6] + " " + rows[1][7], "U0007 verified");
    EXPECT_EQ(rows[2][6] + " " + rows[2][7], "U0008 failed");
    EXPECT_NE(r.err.find("1 of 3 radios done"), std::string::npos) << r.err;
}

// Without --no-wait each radio waits for Enter: lines typed ahead serve the
// next prompts, and q ends the run even without its line end.
TEST_F(FleetE2e, CliWaitsForEnterBeforeEachRadio) {
    const std::string in = WriteDataFile(Dir() + "fleet.dat", DemoCodeplug()), typed = Dir() + "typed";
    std::ofstream(typed) << "\n\nq";
    const CliResult r = RunCli("fleet --port " + sim.SlavePath() + " --count 3 " + in + " <" + typed);
    EXPECT_EQ(r.code, 1) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out;
    EXPECT_EQ(rows[1][7] + " " + rows[2][7], "verified verified");
    for (const char* n : {"1", "2", "3"})
        EXPECT_NE(r.err.find("Connect radio " + std::string(n) + " and press Enter"), std::string::npos);
    EXPECT_NE(r.err.find("2 of 3 radios done"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace rm427::e2e
