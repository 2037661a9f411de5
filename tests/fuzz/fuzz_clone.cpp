// libFuzzer target for the clone exchange fed arbitrary radio answers, on
// virtual time: whatever the radio says, the exchange ends (succeeded or
// cancelled, "DONE" sent last when cancelled) and nothing reads outside a
// buffer.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>

#include "radio/CloneExchange.h"
#include "radio/ManualClock.h"

namespace {

using namespace rm427;

// A port whose far end answers each frame with the next piece of the input.
class ScriptedPort : public SerialPort {
public:
    ScriptedPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Open(int, const std::string&) override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void SetBufferSizes(int, int) override {}
    void DiscardBuffers() override { in_.clear(); }
    void DiscardInput() override { in_.clear(); }
    bool Write(const Bytes& frame) override {
        if (!open_) return false;
        last = frame;
        ++frames;
        // First input byte of a piece: its length (0..63) and whether it
        // arrives in two parts (bit 6) or not at all (bit 7).
        if (pos_ >= size_) return true;
        const std::uint8_t head = data_[pos_++];
        const std::size_t n = std::min<std::size_t>(head & 63, size_ - pos_);
        Bytes answer(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        if (head & 0x80) return true;
        if (head & 0x40 && answer.size() > 1) {
            later_.assign(answer.begin() + static_cast<long>(answer.size() / 2), answer.end());
            answer.resize(answer.size() / 2);
        }
        pending_ = std::move(answer);
        return true;
    }
    int BytesWaiting() override { return static_cast<int>(in_.size()); }
    Bytes Read(int max) override {
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(max, 0)), in_.size());
        Bytes out(in_.begin(), in_.begin() + static_cast<long>(n));
        in_.erase(in_.begin(), in_.begin() + static_cast<long>(n));
        return out;
    }
    void SetReceiveThreshold(int n) override { threshold_ = n; }
    void SetEventHandler(std::function<void(CommEvent)> h) override { handler_ = std::move(h); }
    CommEvent LastEvent() const override { return CommEvent::Receive; }
    std::string ErrorDescription() const override { return "closed"; }

    // Delivers what the radio has to say now (called between timer ticks).
    void Deliver() {
        for (Bytes* b : {&pending_, &later_}) {
            if (b->empty()) continue;
            in_.insert(in_.end(), b->begin(), b->end());
            b->clear();
            if (threshold_ > 0 && handler_) handler_(CommEvent::Receive);
            return;
        }
    }

    Bytes last;
    int frames = 0;

private:
    const std::uint8_t* data_;
    std::size_t size_, pos_ = 0;
    bool open_ = false;
    int threshold_ = 0;
    Bytes in_, pending_, later_;
    std::function<void(CommEvent)> handler_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const CloneDir dir = data[0] & 1 ? CloneDir::Write : CloneDir::Read;
    const int retries = (data[0] >> 1) & 3;
    ScriptedPort port(data + 1, size - 1);
    ManualClock clock;
    CodeplugImage image;
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13);
    CloneOutcome outcome = CloneOutcome::None;
    int asked = 0;
    CloneExchange::Callbacks cb;
    cb.askRetry = [&] { return asked++ < retries; };
    cb.finished = [&](CloneOutcome o) { outcome = o; };
    CloneExchange ex(dir, port, clock, 1, image, {}, cb);
    if (!ex.Start()) std::abort();
    // Virtual time: answers arrive a little after each frame.
    for (int guard = 0; outcome == CloneOutcome::None; ++guard) {
        if (guard > 200000) std::abort();  // the exchange must end
        port.Deliver();
        clock.Advance(5);
    }
    if (ex.State() != CloneState::Closed) std::abort();
    if (outcome == CloneOutcome::Cancelled) {
        const Bytes done{'D', 'O', 'N', 'E'};
        if (port.last != done) std::abort();
    }
    return 0;
}
