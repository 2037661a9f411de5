// RadioModel served over a pseudo-terminal: the program opens SlavePath()
// as if it were the programming cable's serial port.
//
// A worker thread reads what the program sends, feeds it to the model and
// writes the answers back, optionally paced at the real line rate (2400 baud,
// 8 data bits, 2 stop bits: 11 bits, about 4.58 ms a byte, in both
// directions). The simulator keeps its own handle on the slave side, so the
// program may close and reopen the port as often as it likes.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "RadioModel.h"

namespace rm427::sim {

constexpr double kByteTimeMs2400 = 11.0 * 1000.0 / 2400.0;  // 4.583 ms

class PtyRadio {
public:
    PtyRadio();
    ~PtyRadio();
    PtyRadio(const PtyRadio&) = delete;
    PtyRadio& operator=(const PtyRadio&) = delete;

    // Opens the pseudo-terminal and starts serving. False (error set) if the
    // system gives no pseudo-terminal.
    bool Start(std::string& error);
    void Stop();
    std::string SlavePath() const { return slavePath_; }

    // Pacing at byteTimeMs per byte (0 = as fast as the pty goes).
    void SetByteTime(double ms) { byteTimeMs_ = ms; }
    // A frame cut off for longer than this is forgotten.
    void SetFrameGapMs(int ms) { gapMs_ = ms; }

    // Runs f on the model under the simulator's lock.
    template <class F>
    auto With(F f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(model_);
    }

    bool HungUp() const { return hungUp_; }
    // Bytes moved so far in each direction.
    long long BytesIn() const { return bytesIn_; }
    long long BytesOut() const { return bytesOut_; }

private:
    void Run();
    void Send(const Bytes& bytes);
    void HangUp();

    RadioModel model_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<long long> bytesIn_{0}, bytesOut_{0};
    std::atomic<double> byteTimeMs_{0.0};
    int gapMs_ = 300;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace rm427::sim
