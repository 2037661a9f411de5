// Program Many Radios: one codeplug written to radio after radio, each one
// checked, written, verified and logged, shared by the fleet window and
// rm427-cli fleet.
//
//   pattern   the power-on message of each radio from a pattern with a
//             counter ("CAR##" gives CAR01, CAR02 ...), checked for the
//             whole run before the first radio
//   run       Waiting (for the host's Go: Enter) -> Running (a WriteJob:
//             probe, check, optional copy, write, verify) -> Waiting for the
//             next radio, or for the same one again when it failed: the
//             counter never skips -> Ended after the last radio or on End
//   log       one CSV line per radio, appended and flushed to the disk as
//             each radio finishes, in the history folder and in a file the
//             user may name
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "radio/WriteJob.h"

namespace rm427 {

// The power-on message of each radio: text with at most one group of '#'
// that takes the counter, zero-padded (CAR## and 7 give CAR07); the other
// characters must be in the radio's character set. An empty text leaves the
// codeplug's own message.
struct MessagePattern {
    std::string text;
    int start = 1;
};

// Why the pattern cannot serve count radios from its start number, in the
// given language; empty when it can.
std::string CheckMessagePattern(int language, const MessagePattern& pattern, int count);
// The message of the radio at index (0 = the first of the run).
std::string PatternMessage(const MessagePattern& pattern, int index);
// image with its power-on message replaced by message.
CodeplugImage WithPowerOnMessage(const CodeplugImage& image, const std::string& message);

enum class FleetResult { Verified, Written, Failed, Differs, Refused, NoAnswer, PortFailed, Cancelled };
// The log's word for a result: "verified", "written", "failed", "differs",
// "refused", "no-answer", "port-failed", "cancelled".
const char* FleetResultName(FleetResult result);
// The result as the window shows it.
std::string FleetResultText(int language, FleetResult result);

struct FleetRadio {
    int unit = 0;                // 1 = the first radio of the run
    int attempt = 1;             // 2 and more: a retry of the same unit
    std::string time;            // when it finished, local time "2026-12-07 12:34:56"
    int low = 0, high = 0;       // the band the radio reported (0.1 MHz); 0 = none
    std::string identification;  // the identification block's other bytes, hex
    std::string message;         // the power-on message sent
    FleetResult result = FleetResult::Failed;
    double seconds = 0;
    std::string reason;  // why it is not verified ("" when it is)
};

// The log's first line and one line per radio (CSV, no line end).
std::string FleetLogHeader();
std::string FleetLogLine(const FleetRadio& radio, const std::string& port, const std::string& codeplug);
// What a log holds: the radios (units) it names and how many were verified.
struct FleetLogSummary {
    bool ok = false;  // the file could be read
    int radios = 0, verified = 0;
};
FleetLogSummary SummarizeFleetLog(const std::string& path);
// Appends text to the file (created when missing) and has the system put
// it on the disk before returning.
bool AppendDurably(const std::string& path, const std::string& text, std::string& error);

class FleetRun {
public:
    enum class State { Setup, Waiting, Running, Ended };
    struct Options {
        MessagePattern pattern;
        int count = 1;
        bool verify = true;
        bool backup = false;  // keep a copy of each radio first
        int language = 0;
        std::string portName;       // as the user knows it, for messages and the log
        std::string codeplugName;   // the data file's name, for the log
        std::string historyFolder;  // "" = no log in the history
        std::string logFile;        // "" = none
    };
    struct Callbacks {
        std::function<void(State)> state;
        std::function<void(WriteJob::Stage)> stage;
        std::function<void(int value, int maximum)> progress;
        // An exchange step failed: true = retry it (default: the radio fails).
        std::function<bool()> askRetry;
        // The check found warnings or errors: true = go on (default: on
        // warnings only).
        std::function<bool(const std::vector<CheckLine>& lines, bool errors)> confirmCheck;
        std::function<void(const CodeplugImage& copy)> backupTaken;
        // A radio is done, its line in the logs (or logWarning said why not).
        std::function<void(const FleetRadio& radio)> radioDone;
        std::function<void(const std::string& text)> logWarning;
    };

    FleetRun(SerialPort& port, TimerFactory& timers, int comPort, const CodeplugImage& image,
             Options options, Callbacks callbacks, CloneTiming timing = {});
    ~FleetRun();
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    // Before the first radio: checks the pattern and the user's log file and
    // starts the history's log. Empty: Waiting for the first radio;
    // otherwise the refusal, and the state stays Setup.
    std::string Begin();
    // Enter: runs the next radio (Waiting only).
    void Go();
    // Esc: ends the run; a radio being written is cancelled first (its
    // exchange sends "DONE") and logged.
    void End();

    State CurrentState() const { return state_; }
    // The unit the next Go runs (or the running one).
    int NextUnit() const { return unit_; }
    int Verified() const { return done_; }
    int Count() const { return opt_.count; }
    bool LastFailed() const { return !radios_.empty() && radios_.back().unit == unit_; }
    const std::vector<FleetRadio>& Radios() const { return radios_; }
    const std::string& HistoryLog() const { return historyLog_; }
    WriteJob* Job() { return job_.get(); }
    // "Connect radio 7 and press Enter (Esc ends)", or after a failure the
    // same with its reason; after the run, how many radios were done.
    std::string Prompt() const;

private:
    void SetState(State s);
    void RadioFinished(const WriteJob::Result& r);
    void Log(const FleetRadio& radio);

    SerialPort& port_;
    TimerFactory& timers_;
    int comPort_;
    CodeplugImage image_;
    Options opt_;
    Callbacks cb_;
    CloneTiming timing_;
    State state_ = State::Setup;
    int unit_ = 1;
    int attempt_ = 1;
    int done_ = 0;
    bool ending_ = false;
    long long startedMs_ = 0;
    std::string message_;
    std::string historyLog_;
    std::vector<FleetRadio> radios_;
    std::unique_ptr<WriteJob> job_;
    std::unique_ptr<Timer> later_;
    WriteJob::Result last_;
};

}  // namespace rm427
