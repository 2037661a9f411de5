#include "shell/DemoRadio.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#ifndef _WIN32
#include "PtyRadio.h"
#endif
#include "RadioModel.h"
#include "demo/DemoCodeplug.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "io/SerialLine.h"
#include "shell/MDIForm1.h"

namespace rm427::gui {

namespace {

void LoadDemo(sim::RadioModel& m) {
    const CodeplugImage image = DemoCodeplug();
    std::copy(image.begin(), image.end(), m.memory.begin());
    m.bandLow = 4000;  // the codeplug's band
    m.bandHigh = 4700;
}

// The radio on a line inside the program: what is written reaches the
// model at once, its answers arrive through the event loop (after the
// model's delay, if any), as they would from a cable.
class SimLine : public SerialLine {
public:
    explicit SimLine(std::shared_ptr<sim::RadioModel> model) : model_(std::move(model)) {}

    bool Open(const std::string&, const LineSettings&, Failure&) override {
        open_ = true;
        in_.clear();
        quiet_.start();
        return true;
    }
    void Close() override {
        open_ = false;
        in_.clear();
    }
    bool IsOpen() const override { return open_; }
    void SetReadBufferSize(int) override {}
    void Discard(bool) override { in_.clear(); }
    bool Write(const Bytes& data) override {
        if (!open_) return false;
        // A frame cut off by a pause as long as this is forgotten, as the
        // radio does.
        if (quiet_.restart() > 300) model_->DropPartial();
        std::vector<sim::SimAction> actions;
        model_->Receive(data, actions);
        int at = 0;
        for (const sim::SimAction& a : actions) {
            at += a.delayMs;
            QTimer::singleShot(at, &context_, [this, a] { Deliver(a); });
        }
        return true;
    }
    int BytesAvailable() const override { return int(in_.size()); }
    Bytes Read(int maxBytes) override {
        const auto n = std::ptrdiff_t(std::min(in_.size(), size_t(maxBytes)));
        Bytes out(in_.begin(), in_.begin() + n);
        in_.erase(in_.begin(), in_.begin() + n);
        return out;
    }

private:
    void Deliver(const sim::SimAction& a) {
        if (!open_) return;
        if (a.hangUp) {
            Close();
            if (events_.failed) events_.failed(CommEvent::HangUp, "the simulated radio hung up");
            return;
        }
        if (a.bytes.empty()) return;
        in_.insert(in_.end(), a.bytes.begin(), a.bytes.end());
        if (events_.readyRead) events_.readyRead();
    }

    std::shared_ptr<sim::RadioModel> model_;
    QObject context_;  // the pending answers go with the line
    QElapsedTimer quiet_;
    Bytes in_;
    bool open_ = false;
};

}  // namespace

DemoRadio::DemoRadio() = default;

DemoRadio::~DemoRadio() {
#ifndef _WIN32
    if (pty_) pty_->Stop();
#endif
    if (model_) RegisterInProcessLine(kInProcessPath, nullptr);
}

bool DemoRadio::Start(int port, std::string& error, Line line) {
    port_ = port;
    if (!dir_.isValid()) {
        error = "no temporary folder for the demonstration settings";
        return false;
    }
    // This run's settings: the user's model and language, the demo port.
    const std::string mine = dir_.filePath(QStringLiteral("rm427-demo.ini")).toStdString();
    CopySettingsTo(mine);
    qputenv(kSettingsFileVariable, QString::fromStdString(mine).toLocal8Bit());

    if (line == Line::InProcess) {
        model_ = std::make_shared<sim::RadioModel>();
        LoadDemo(*model_);
        std::shared_ptr<sim::RadioModel> model = model_;
        RegisterInProcessLine(kInProcessPath, [model] { return std::make_unique<SimLine>(model); });
        path_ = kInProcessPath;
    } else {
#ifdef _WIN32
        error = "no pseudo-terminals on this system";
        return false;
#else
        pty_ = std::make_unique<sim::PtyRadio>();
        if (!pty_->Start(error)) return false;
        pty_->With([](sim::RadioModel& m) { LoadDemo(m); });
        path_ = pty_->SlavePath();
#endif
    }
    if (!SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(port), path_)) {
        error = "cannot map COM" + std::to_string(port) + " to the simulated radio";
        return false;
    }
    return true;
}

void DemoRadio::Announce(MDIForm1& main) const { main.ShowDemoPanel(port_); }

}  // namespace rm427::gui
