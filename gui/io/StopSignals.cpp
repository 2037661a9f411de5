#include "io/StopSignals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace rm427 {

#ifndef _WIN32
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
int g_wake[2] = {-1, -1};
volatile std::sig_atomic_t g_signal = 0;
struct sigaction g_old[4];
struct sigaction g_oldPipe;

extern "C" void OnStopSignal(int sig) {
    if (!g_signal) g_signal = sig;
    const int saved = errno;
    const char b = 1;
    if (::write(g_wake[1], &b, 1) < 0) { /* the loop is awake already */
    }
    errno = saved;
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {
    g_signal = 0;
    if (::pipe(g_wake) != 0) return;
    for (int fd : g_wake) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    notifier_ = std::make_unique<QSocketNotifier>(g_wake[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char buf[16];
        while (::read(g_wake[0], buf, sizeof buf) > 0) {
        }
        if (onStop_ && g_signal) onStop_(g_signal);
    });
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int i = 0; i < 4; ++i) ::sigaction(kStopSignals[i], &sa, &g_old[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &g_oldPipe);
    installed_ = true;
}

StopSignals::~StopSignals() {
    if (!installed_) return;
    for (int i = 0; i < 4; ++i) ::sigaction(kStopSignals[i], &g_old[i], nullptr);
    ::sigaction(SIGPIPE, &g_oldPipe, nullptr);
    notifier_.reset();
    ::close(g_wake[0]);
    ::close(g_wake[1]);
    g_wake[0] = g_wake[1] = -1;
}

int StopSignals::Received() const { return installed_ ? static_cast<int>(g_signal) : 0; }

#else

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {}
StopSignals::~StopSignals() = default;
int StopSignals::Received() const { return 0; }

#endif

}  // namespace rm427
