// Test and tuning mode: reading, adjusting and storing the radio's factory
// tuning values (power levels and deviations) live over the cable.
//
// 15 parameters, chosen by the item (1..6) and, for items 4..6, the variant
// v = 0 Low/25 kHz, 1 Low/12.5 kHz, 2 High/25 kHz, 3 High/12.5 kHz:
//
//   item  P      address          width  range
//   1     0      AEE2             1      0-255   RF high power
//   2     1      AEE3             1      0-255   RF mid power
//   3     2      AEE4             1      0-255   RF low power
//   4     3+v    AEE6 + 2v        2      0-511   max deviation
//   5     7+v    AEEE + v         1      0-255   QT deviation
//   6     11+v   AEF2 + v         1      0-255   DQT deviation
//
// Item 4 travels as the big-endian 16-bit number (511 - value) * 32.
//
// One use: Run (access word, then "T" query: the radio's value) -> any number
// of "A" adjustments -> OK ("done", "W" store frame, "DONE") or Cancel
// ("done", "DONE"). The port is open only for one exchange at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "radio/SerialPort.h"
#include "radio/Timers.h"

namespace rm427 {

constexpr int kTuningItems = 6;
constexpr int kTuningParams = 15;

struct TuningParam {
    int item = 1;
    int index = 0;    // P
    int address = 0;  // radio address
    int width = 1;    // bytes in the radio
    int maximum = 255;
};

// Variant of the frequency (Low/High) and channel width (25/12.5 kHz) choice.
int TuningVariant(bool high, bool narrow);
// Parameter of an item (1..6; anything else reads as 1) in a variant (0..3).
TuningParam TuningParameter(int item, int variant);
// Item 4's wire encoding, and back. Decoding clamps to 0..511, so a radio that
// answers nonsense cannot produce a value outside the slider's range.
void EncodeDeviation(int value, std::uint8_t& first, std::uint8_t& second);
int DecodeDeviation(std::uint8_t first, std::uint8_t second);

enum class TestModeState : int {
    Idle = 0,        // port closed, Run/Close
    Adjusting = 1,   // connected, value shown, OK/Cancel
    Connecting = 2,  // access word sent
    Querying = 3,    // "T" sent
    AdjustOne = 4,   // "A" sent
    Storing = 5,     // "done", store frame, "DONE"
    Leaving = 6,     // "done", "DONE"
};

// The frame sent in a mode and stage for a parameter and a value, and the
// length of the answer awaited (0: none).
Bytes TestModeFrame(TestModeState mode, int stage, const TuningParam& param, int value);
int TestModeAnswerLength(TestModeState mode, int stage);

struct TestModeTiming {
    int sendDelay = 1;        // one-shot send timer
    int answerTimeout = 500;  // from a frame to its answer
    int finishWait = 100;     // after the closing word
    int failDelay = 1;        // from a handled answer to the end of the exchange
    int eventWait = 20;       // before looking at a receive event
    int pollInterval = 5;
    int maxPolls = 10;
    int maxGrowingPolls = 100;  // polls that saw new bytes, not counted above
};

class TestModeExchange {
public:
    struct Callbacks {
        // The number in the value text, read when a frame carries a value.
        std::function<int()> valueText;
        // The radio's value arrived (query answered).
        std::function<void(int value)> valueRead;
        // The port could not be opened; the machine is back in Idle.
        std::function<void(const std::string& description)> portError;
        // An exchange ended (the port is closed): the new state is Idle or
        // Adjusting.
        std::function<void(TestModeState)> ended;
    };

    TestModeExchange(SerialPort& port, TimerFactory& timers, Callbacks callbacks,
                     TestModeTiming timing = {});
    ~TestModeExchange();
    TestModeExchange(const TestModeExchange&) = delete;
    TestModeExchange& operator=(const TestModeExchange&) = delete;

    // The parameter the frames address; set it before Run. While adjusting
    // it must not change (the window disables the choice).
    void SetParameter(const TuningParam& param) { param_ = param; }
    const TuningParam& Parameter() const { return param_; }
    void SetComPort(int port) { comPort_ = port; }

    // The first button: Run when idle, else OK (store and leave).
    void Run();
    void Ok();
    // The second button while connected: leave without storing.
    void Cancel();
    // A new value while adjusting: sends it at once. Ignored in other states.
    void Adjust();

    TestModeState State() const { return mode_; }
    int Stage() const { return stage_; }
    int ValueRead() const { return valueRead_; }
    // The value carried by the last adjustment or store frame sent.
    int SentValue() const { return sentValue_; }
    // The value the radio works with, as far as its answers tell: the value
    // read, or the last adjustment it acknowledged.
    int RadioValue() const { return radioValue_; }
    bool Busy() const { return mode_ != TestModeState::Idle && mode_ != TestModeState::Adjusting; }
    // Closes the port if it is open and stops every timer (window closing).
    void Shutdown();

private:
    void StartExchange();
    void OnSendTick();
    void OnOvertimeTick();
    void OnEvent(CommEvent e);
    void OnWaitTick();
    void OnPollTick();
    void Handle(const Bytes& answer);
    void FinishSoon();
    void StopTimers();

    SerialPort& port_;
    Callbacks cb_;
    TestModeTiming timing_;
    std::unique_ptr<Timer> send_, overtime_, wait_, poll_;
    TuningParam param_ = TuningParameter(1, 0);
    int comPort_ = 1;

    TestModeState mode_ = TestModeState::Idle;
    int stage_ = 0;
    int valueRead_ = 0;
    int sentValue_ = -1;
    int radioValue_ = -1;
    int expected_ = 0;
    bool completed_ = false;
    bool stopped_ = false;
    bool handling_ = false;  // a receive event is being looked at
    CommEvent event_ = CommEvent::None;
    int polls_ = 0;
    int growingPolls_ = 0;
    int lastWaiting_ = 0;
    int quietPolls_ = 0;
};

}  // namespace rm427
