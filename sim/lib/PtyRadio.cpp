#include "PtyRadio.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace rm427::sim {

using Clock = std::chrono::steady_clock;

namespace {
Clock::duration Ms(double ms) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
}
}  // namespace

PtyRadio::PtyRadio() = default;

PtyRadio::~PtyRadio() { Stop(); }

bool PtyRadio::Start(std::string& error) {
    char name[256] = {0};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B2400);
        ::cfsetospeed(&t, B2400);
        ::tcsetattr(slave_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    slavePath_ = name;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtyRadio::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
}

void PtyRadio::HangUp() {
    hungUp_ = true;
    ::close(master_);
    ::close(slave_);
    master_ = slave_ = -1;
}

void PtyRadio::Send(const Bytes& bytes) {
    const double bt = byteTimeMs_;
    auto due = Clock::now();
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = bytes.size() - i;
        if (bt > 0) {
            // A byte is complete at the far end one byte time after it starts.
            due += Ms(bt);
            std::this_thread::sleep_until(due);
            n = 1;
        }
        const ssize_t w = ::write(master_, bytes.data() + i, n);
        if (w < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return;
        }
        i += static_cast<std::size_t>(w);
        bytesOut_ += w;
    }
}

void PtyRadio::Run() {
    auto lastRx = Clock::now();
    auto lineFree = Clock::now();  // when the last received byte is complete
    std::uint8_t buf[512];
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        const int r = ::poll(&p, 1, 20);
        if (r < 0 && errno != EINTR) break;
        if (r <= 0) continue;
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) {
            // EIO while nobody holds the slave open cannot happen (we hold
            // it); anything else means the pty is gone.
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        bytesIn_ += n;
        const auto now = Clock::now();
        std::vector<SimAction> actions;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (now - lastRx > std::chrono::milliseconds(gapMs_)) model_.DropPartial();
            lastRx = now;
        }
        const double bt = byteTimeMs_;
        if (bt > 0) {
            // The bytes would still be on their way at 2400 baud.
            lineFree = std::max(lineFree, now) + Ms(bt * static_cast<double>(n));
            std::this_thread::sleep_until(lineFree);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            model_.Receive(Bytes(buf, buf + n), actions);
        }
        for (const auto& a : actions) {
            if (a.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(a.delayMs));
            if (a.hangUp) {
                HangUp();
                return;
            }
            Send(a.bytes);
        }
        if (bt > 0) lineFree = std::max(lineFree, Clock::now());
    }
}

}  // namespace rm427::sim
