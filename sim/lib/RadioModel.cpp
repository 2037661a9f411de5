#include "RadioModel.h"

#include <algorithm>
#include <cstring>

namespace rm427::sim {

namespace {
const char kAccessWord[] = "TUMKEL";
const char kClosingWord[] = "DONE";

// 1 = pending starts with the whole word, -1 = pending is a proper prefix, 0 = no.
int MatchWord(const Bytes& pending, const char* word) {
    const std::size_t n = std::strlen(word);
    const std::size_t m = std::min(n, pending.size());
    if (std::memcmp(pending.data(), word, m) != 0) return 0;
    return pending.size() >= n ? 1 : -1;
}
}  // namespace

RadioModel::RadioModel() {
    memory.fill(0xFF);
    InstallExtraCommands(*this);
}

void RadioModel::AddCommand(std::unique_ptr<SimCommand> command) {
    commands_.push_back(std::move(command));
}

Bytes RadioModel::Identification() const {
    Bytes id = {'R', 'M', '-', '4', '2', '7', 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    if (newRadioEachSession)
        for (int i = 0; i < 4; ++i) id[10 + i] = static_cast<std::uint8_t>(radioNumber >> (24 - 8 * i));
    id.push_back(static_cast<std::uint8_t>(bandLow >> 8));
    id.push_back(static_cast<std::uint8_t>(bandLow & 0xFF));
    id.push_back(static_cast<std::uint8_t>(bandHigh >> 8));
    id.push_back(static_cast<std::uint8_t>(bandHigh & 0xFF));
    return id;
}

Bytes RadioModel::ReadMemory(int address, int n) const {
    Bytes out;
    for (int i = 0; i < n; ++i) {
        const int off = address + i - kMemoryBase;
        out.push_back(off >= 0 && off < kMemorySize ? memory[off] : 0xFF);
    }
    return out;
}

void RadioModel::WriteMemory(int address, const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        const int off = address + static_cast<int>(i) - kMemoryBase;
        if (off < 0 || off >= kMemorySize) continue;
        memory[off] = data[i];
        written[off] = true;
    }
}

int RadioModel::NextFrame(std::string& kind, SimCommand*& command) const {
    command = nullptr;
    if (int m = MatchWord(pending_, kAccessWord)) {
        kind = "access";
        return m > 0 ? 6 : -1;
    }
    for (const auto& c : commands_) {
        const int n = c->Match(pending_);
        if (n != 0) {
            kind = c->Name();
            command = c.get();
            return n;
        }
    }
    if (int m = MatchWord(pending_, kClosingWord)) {
        kind = "done";
        return m > 0 ? 4 : -1;
    }
    const std::uint8_t c = pending_[0];
    if (c == 'R') {
        kind = "read";
        return pending_.size() >= 4 ? 4 : -1;
    }
    if (c == 'W') {
        kind = "write";
        if (pending_.size() < 2) return -1;
        const int n = 4 + pending_[1];
        return static_cast<int>(pending_.size()) >= n ? n : -1;
    }
    return 0;
}

const Fault* RadioModel::TakeFault() {
    for (auto& f : faults) {
        if (f.kind == FaultKind::None || f.times == 0) continue;
        if (f.step != -1 && f.step != step_) continue;
        if (f.times > 0) --f.times;
        return &f;
    }
    return nullptr;
}

Bytes RadioModel::Handle(const std::string& kind, SimCommand* command, const Bytes& frame,
                         const Fault* fault) {
    const bool refuse = fault && (fault->kind == FaultKind::Nak);
    if (command) return command->Answer(*this, frame);
    if (kind == "access") return Identification();
    if (kind == "read") {
        Bytes a{kAck};
        const Bytes data = ReadMemory(frame[2] << 8 | frame[3], frame[1]);
        a.insert(a.end(), data.begin(), data.end());
        return a;
    }
    if (kind == "write") {
        if (!refuse) {
            Bytes data(frame.begin() + 4, frame.end());
            if (fault && fault->kind == FaultKind::Flip && !data.empty()) data[0] ^= 0x01;
            WriteMemory(frame[2] << 8 | frame[3], data);
            wroteSinceAccess_ = true;
        }
        return {kAck};
    }
    return {};  // "done": nothing is answered
}

void RadioModel::Receive(const Bytes& data, std::vector<SimAction>& actions) {
    pending_.insert(pending_.end(), data.begin(), data.end());
    while (!pending_.empty()) {
        std::string kind;
        SimCommand* command = nullptr;
        const int n = NextFrame(kind, command);
        if (n < 0) break;
        if (n == 0) {  // noise between frames
            pending_.erase(pending_.begin());
            continue;
        }
        const Bytes frame(pending_.begin(), pending_.begin() + n);
        pending_.erase(pending_.begin(), pending_.begin() + n);

        if (kind == "access") {
            step_ = 0;
            wroteSinceAccess_ = false;
            readSinceAccess_ = false;
            if (newRadioEachSession && !haveFresh_) {
                fresh_ = memory;
                haveFresh_ = true;
            }
            if (newRadioEachSession && swapDue_) {
                swapDue_ = wroteThisRadio_ = false;
                memory = fresh_;
                ClearWritten();
                ++radioNumber;
                if (onNewRadio) onNewRadio(radioNumber);
            }
        } else {
            ++step_;
        }
        frames_.push_back({kind, frame, step_});

        const Fault* fault = TakeFault();
        SimAction act;
        if (fault && fault->kind == FaultKind::HangUp) {
            act.hangUp = true;
            actions.push_back(act);
            return;
        }
        if (fault && fault->kind == FaultKind::NoAnswer) {
            if (echo) actions.push_back({frame, 0, false});
            continue;
        }

        Bytes answer = Handle(kind, command, frame, fault);
        if (kind == "read") readSinceAccess_ = true;
        if (kind == "done") {
            if (wroteSinceAccess_ && onWriteFinished) onWriteFinished();
            if (readSinceAccess_ && wroteThisRadio_) swapDue_ = true;
            wroteThisRadio_ = wroteThisRadio_ || wroteSinceAccess_;
            wroteSinceAccess_ = readSinceAccess_ = false;
        }
        if (fault && !answer.empty()) {
            switch (fault->kind) {
            case FaultKind::Nak: answer[0] = kNak; break;
            case FaultKind::ShortAnswer: answer.pop_back(); break;
            case FaultKind::Garbage: answer.insert(answer.begin(), {0xAA, 0x55, 0x00}); break;
            case FaultKind::Noise: answer = {0xF8, 0x80, 0x00, 0xFE, 0x78, 0x80, 0xF8}; break;
            case FaultKind::Delay: act.delayMs = fault->delayMs; break;
            default: break;
            }
        }
        if (echo) act.bytes = frame;
        act.bytes.insert(act.bytes.end(), answer.begin(), answer.end());
        if (!act.bytes.empty() || act.delayMs) actions.push_back(act);
    }
}

}  // namespace rm427::sim
