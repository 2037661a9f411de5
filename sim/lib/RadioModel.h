// The radio on the far side of the cable, without the cable: a 0xA000-based
// memory, the identification block, the clone commands and faults on demand.
// RadioModel only turns received bytes into answers; PtyRadio (PtyRadio.h)
// carries them over a pseudo-terminal.
//
// Extension point: commands beyond the clone set (the test-mode frames "T",
// "A", "done", ...) are SimCommand objects added with AddCommand. Put them in
// a file of their own under sim/lib/ and install them from InstallExtraCommands
// (sim/lib/Extensions.cpp), which every RadioModel calls on construction.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rm427::sim {

using Bytes = std::vector<std::uint8_t>;

constexpr int kMemoryBase = 0xA000;
constexpr int kMemorySize = 4096;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;

enum class FaultKind {
    None,
    NoAnswer,     // the frame is swallowed: no answer, no effect
    Nak,          // 0x15 instead of 0x06 (a write is not stored)
    ShortAnswer,  // the last byte of the answer is missing
    Garbage,      // three stray bytes before the answer
    Delay,        // the answer comes delayMs late
    HangUp,       // the line goes dead instead of answering
    Flip,         // a write is stored with one bit of its first data byte
                  // changed, and acknowledged as if all were well
    Noise,        // stray bytes instead of the answer, as from another
                  // device or a line at another speed
};

// A fault hits the frame of exchange step `step` (the access word is step 0,
// every later frame one more; -1 = every frame) `times` times (-1 = always).
struct Fault {
    FaultKind kind = FaultKind::None;
    int step = -1;
    int times = 1;
    int delayMs = 0;
};

// One received frame, as logged.
struct SimFrame {
    std::string kind;  // "access", "read", "write", "done" or a SimCommand's name
    Bytes bytes;
    int step = 0;
};

// What the line should do after a frame.
struct SimAction {
    Bytes bytes;      // to send back (may be empty)
    int delayMs = 0;  // wait before sending
    bool hangUp = false;
};

class RadioModel;

// A frame kind the model does not know by itself.
class SimCommand {
public:
    virtual ~SimCommand() = default;
    virtual std::string Name() const = 0;
    // Looks at the start of the pending bytes: 0 = not this command,
    // -1 = could be, need more bytes, n > 0 = a whole frame of n bytes.
    virtual int Match(const Bytes& pending) const = 0;
    // The answer to a whole frame (empty = none).
    virtual Bytes Answer(RadioModel& radio, const Bytes& frame) = 0;
};

class RadioModel {
public:
    RadioModel();

    // Memory: byte i is radio address 0xA000 + i, i.e. image offset i.
    std::array<std::uint8_t, kMemorySize> memory{};
    // Which bytes a write request has stored since the last ClearWritten.
    std::array<bool, kMemorySize> written{};
    // Band limits in the identification block, 0.1 MHz units.
    std::uint16_t bandLow = 1360;
    std::uint16_t bandHigh = 1740;
    // Send each frame back before its answer, as a cable with echo does
    // (also when the radio itself stays silent: the echo is the cable's).
    bool echo = false;
    std::vector<Fault> faults;
    // Called after a closing word that followed at least one stored write.
    std::function<void()> onWriteFinished;
    // A new radio per session, as on a bench where radio after radio is
    // programmed: once a write has been read back (a session of reads after
    // one that stored writes), the next access word meets the next radio -
    // radioNumber one more, shown in bytes 10-13 of the identification, and
    // the memory as it was at the first access word. onNewRadio is told.
    bool newRadioEachSession = false;
    int radioNumber = 1;
    std::function<void(int number)> onNewRadio;

    // Feeds received bytes; every completed frame adds its action.
    void Receive(const Bytes& data, std::vector<SimAction>& actions);
    // Forgets a frame that was cut off (the line was quiet for too long).
    void DropPartial() { pending_.clear(); }

    void AddCommand(std::unique_ptr<SimCommand> command);

    Bytes Identification() const;
    // N bytes from a radio address; bytes outside the memory read as 0xFF.
    Bytes ReadMemory(int address, int n) const;
    void WriteMemory(int address, const Bytes& data);
    void ClearWritten() { written.fill(false); }

    const std::vector<SimFrame>& Frames() const { return frames_; }
    void ClearFrames() { frames_.clear(); }
    int Step() const { return step_; }

private:
    // Returns the length of the frame at the start of pending_ (0 = noise
    // byte, -1 = incomplete) and its kind and command (if any).
    int NextFrame(std::string& kind, SimCommand*& command) const;
    Bytes Handle(const std::string& kind, SimCommand* command, const Bytes& frame, const Fault* fault);
    const Fault* TakeFault();

    Bytes pending_;
    std::vector<SimFrame> frames_;
    std::vector<std::unique_ptr<SimCommand>> commands_;
    int step_ = -1;
    bool wroteSinceAccess_ = false;
    bool readSinceAccess_ = false;
    bool wroteThisRadio_ = false;
    bool swapDue_ = false;
    bool haveFresh_ = false;
    std::array<std::uint8_t, kMemorySize> fresh_{};
};

// Installs the extra commands (see above). Defined in Extensions.cpp.
void InstallExtraCommands(RadioModel& radio);

}  // namespace rm427::sim
