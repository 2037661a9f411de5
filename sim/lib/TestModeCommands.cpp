#include "TestModeCommands.h"

#include <algorithm>
#include <memory>

namespace rm427::sim {

namespace {

int Encode(int p, int value, std::uint8_t& b1, std::uint8_t& b2) {
    if (TuningWidth(p) == 2) {
        const int v = 511 - std::clamp(value, 0, 511);
        b1 = static_cast<std::uint8_t>(v / 8);
        b2 = static_cast<std::uint8_t>((v % 8) * 32);
    } else {
        b1 = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        b2 = 0x00;
    }
    return TuningWidth(p);
}

int Decode(int p, std::uint8_t b1, std::uint8_t b2) {
    if (TuningWidth(p) == 2) return std::clamp(511 - (b1 * 8 + b2 / 32), 0, 511);
    return b1;
}

bool IsTuningStart(int address) {
    for (int p = 0; p < kTuningCount; ++p)
        if (TuningAddress(p) == address) return true;
    return false;
}

class Query : public SimCommand {
public:
    std::string Name() const override { return "query"; }
    int Match(const Bytes& b) const override {
        if (b[0] != 'T') return 0;
        if (b.size() >= 2 && b[1] == 'U') return 0;  // the access word
        if (b.size() < 4) return -1;
        return b[1] < kTuningCount ? 4 : 0;
    }
    Bytes Answer(RadioModel& radio, const Bytes& frame) override {
        std::uint8_t b1 = 0, b2 = 0;
        Encode(frame[1], LiveTuningValue(radio, frame[1]), b1, b2);
        return {kAck, b1, b2};
    }
};

class Adjust : public SimCommand {
public:
    std::string Name() const override { return "adjust"; }
    int Match(const Bytes& b) const override {
        if (b[0] != 'A') return 0;
        return b.size() < 4 ? -1 : 4;
    }
    Bytes Answer(RadioModel&, const Bytes& frame) override {
        return {frame[1] < kTuningCount ? kAck : kNak};
    }
};

class Leave : public SimCommand {
public:
    std::string Name() const override { return "leave"; }
    int Match(const Bytes& b) const override {
        static const char word[] = "done";
        const std::size_t n = std::min<std::size_t>(4, b.size());
        if (!std::equal(b.begin(), b.begin() + n, word)) return 0;
        return b.size() < 4 ? -1 : 4;
    }
    Bytes Answer(RadioModel&, const Bytes&) override { return {kAck}; }
};

class Store : public SimCommand {
public:
    std::string Name() const override { return "store"; }
    int Match(const Bytes& b) const override {
        if (b[0] != 'W') return 0;
        if (b.size() < 2) return -1;
        if (b[1] != 1 && b[1] != 2) return 0;  // clone writes carry 16 or 3 bytes
        if (b.size() < 4) return -1;
        if (!IsTuningStart(b[2] << 8 | b[3])) return 0;
        return b.size() < 6 ? -1 : 6;
    }
    Bytes Answer(RadioModel& radio, const Bytes& frame) override {
        radio.WriteMemory(frame[2] << 8 | frame[3],
                          Bytes(frame.begin() + 4, frame.begin() + 4 + frame[1]));
        return {kAck};
    }
};

}  // namespace

int TuningAddress(int p) {
    if (p < 0 || p >= kTuningCount) return -1;
    if (p <= 2) return 0xAEE2 + p;
    if (p <= 6) return 0xAEE6 + 2 * (p - 3);
    if (p <= 10) return 0xAEEE + (p - 7);
    return 0xAEF2 + (p - 11);
}

int TuningWidth(int p) { return (p >= 3 && p <= 6) ? 2 : 1; }

int TuningValue(const RadioModel& radio, int p) {
    const Bytes b = radio.ReadMemory(TuningAddress(p), 2);
    return Decode(p, b[0], b[1]);
}

void SetTuningValue(RadioModel& radio, int p, int value) {
    std::uint8_t b1 = 0, b2 = 0;
    const int n = Encode(p, value, b1, b2);
    const int off = TuningAddress(p) - kMemoryBase;
    if (off < 0) return;
    radio.memory[off] = b1;
    if (n == 2) radio.memory[off + 1] = b2;
}

int LiveTuningValue(const RadioModel& radio, int p) {
    const auto& frames = radio.Frames();
    for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        if (it->kind == "access" || it->kind == "leave") break;
        if (it->kind == "adjust" && it->bytes[1] == p) return Decode(p, it->bytes[2], it->bytes[3]);
    }
    return TuningValue(radio, p);
}

void AddTestModeCommands(RadioModel& radio) {
    radio.AddCommand(std::make_unique<Query>());
    radio.AddCommand(std::make_unique<Adjust>());
    radio.AddCommand(std::make_unique<Leave>());
    radio.AddCommand(std::make_unique<Store>());
}

}  // namespace rm427::sim
