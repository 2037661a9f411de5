#include "radio/frmComPort.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "io/PortSettings.h"
#include "io/SerialDeviceList.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/PortCheck.h"
#include "radio/PortHolders.h"
#include "radio/WriteCheck.h"
#include "text/TextTable.h"
#include "ui/SendTab.h"

namespace rm427::gui {

namespace {
constexpr int kProbeHoldMs = 200;
const char kProbeSettings[] = "9600,N,8,2";

}  // namespace

frmComPort::frmComPort(Module1& state, std::function<void()> portChanged, QWidget* parent,
                       PortPathLookup lookup, DeviceLister lister)
    : QDialog(parent),
      state_(state),
      portChanged_(std::move(portChanged)),
      port_(std::make_unique<QtSerialPort>(lookup ? lookup : PortPathLookup(PortPathFromSettings))),
      lookup_(lookup ? lookup : PortPathLookup(PortPathFromSettings)),
      lister_(lister ? std::move(lister) : DeviceLister(ListSerialDevices)) {
    devices_ = lister_();
    timers_ = std::make_unique<QtTimerFactory>();
    port_->SetLanguage(state_.Language);
    auto text = [&](int n) { return QString::fromStdString(LoadText(state_.Language, n)); };
    setObjectName(QStringLiteral("frmComPort"));
    setModal(true);
    setWindowTitle(text(1248));

    frame_ = new QGroupBox(text(1248), this);
    frame_->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame_);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 20; ++i) {
        opt_[i] = new QRadioButton(text(1249) + QString::number(i + 1), frame_);
        opt_[i]->setObjectName(QStringLiteral("OptComPort_%1").arg(i));
        opt_[i]->setEnabled(false);  // until its probe says it opens
        group->addButton(opt_[i], i);
        device_[i] = new QLabel(DeviceText(i + 1), frame_);
        device_[i]->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        device_[i]->setEnabled(false);  // greyed, a note beside the option
        QFont small = device_[i]->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        device_[i]->setFont(small);
        auto* cell = new QVBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(opt_[i], 0, Qt::AlignLeft);  // a click beside the caption does nothing
        cell->addWidget(device_[i]);
        cell->addStretch();
        grid->addLayout(cell, i / 4, i % 4);
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && lblState_) ShowSelected();
    });
    // The port that last worked with this model, else the current one.
    const int remembered = LastWorkingPort(state_.ModelCode);
    const int current = remembered ? remembered : state_.ComPort;
    if (current >= kFirstPort && current <= kLastPort) opt_[current - 1]->setChecked(true);

    cmdOk_ = new QPushButton(text(1156), this);
    cmdOk_->setObjectName(QStringLiteral("CmdOk"));
    cmdCancel_ = new QPushButton(text(1157), this);
    cmdCancel_->setObjectName(QStringLiteral("CmdCancel"));
    // OK is the default; Enter on an option button still moves on.
    cmdOk_->setAutoDefault(false);
    cmdCancel_->setAutoDefault(false);
    cmdOk_->setDefault(true);
    cmdTest_ = new QPushButton(text(3235), this);
    cmdTest_->setObjectName(QStringLiteral("CmdTest"));
    cmdTest_->setAutoDefault(false);
    cmdTest_->setEnabled(false);  // once the probes have let the ports go
    cmdFind_ = new QPushButton(text(3710), this);
    cmdFind_->setObjectName(QStringLiteral("CmdFind"));
    cmdFind_->setAutoDefault(false);
    cmdFind_->setEnabled(false);
    lblState_ = new QLabel(this);
    lblState_->setObjectName(QStringLiteral("lblPortState"));
    lblState_->setWordWrap(true);
    lblState_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the fix can be copied
    lblTest_ = new QLabel(this);
    lblTest_->setObjectName(QStringLiteral("lblTest"));
    lblTest_->setWordWrap(true);
    // The style pads a caption by less than a margin each side once it is
    // wider than its minimum button: "查找编程线(F)" stood 3 px short of it.
    for (QPushButton* b : {cmdTest_, cmdFind_, cmdOk_, cmdCancel_}) {
        const QString shown = b->text().remove(QLatin1Char('&'));
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(shown) +
                           2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest_);
    buttons->addWidget(cmdFind_);
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addWidget(lblState_);
    layout->addWidget(lblTest_);
    layout->addLayout(buttons);

    connect(cmdOk_, &QPushButton::clicked, this, &frmComPort::Ok);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdTest_, &QPushButton::clicked, this, &frmComPort::Test);
    connect(cmdFind_, &QPushButton::clicked, this, &frmComPort::Find);
    connect(this, &frmComPort::probesFinished, this, [this] {
        cmdTest_->setEnabled(true);
        cmdFind_->setEnabled(true);
    });
    ShowSelected();
    new EnterSendsTab(this);

    hold_ = new QTimer(this);
    hold_->setSingleShot(true);
    hold_->setTimerType(Qt::PreciseTimer);
    connect(hold_, &QTimer::timeout, this, &frmComPort::EndProbe);
    // The first probe starts once the window's event loop runs.
    QTimer::singleShot(0, this, &frmComPort::ProbeNext);
}

frmComPort::~frmComPort() {
    hold_->stop();
    watch_.reset();
    port_->Close();
    test_.reset();
}

void frmComPort::ProbeNext() {
    while (next_ <= kLastPort) {
        const int port = next_++;
        if (!port_->Open(port, kProbeSettings)) {  // missing or in use: stays disabled, and says why
            why_[port - 1] = QString::fromStdString(port_->ErrorDescription());
            opt_[port - 1]->setToolTip(why_[port - 1]);
            if (opt_[port - 1]->isChecked()) ShowSelected();
            continue;
        }
        const Bytes probe = {'A', 'T', 'I', '1', '\r'};
        if (!port_->Write(probe)) {
            port_->Close();
            continue;
        }
        probing_ = port;
        hold_->start(kProbeHoldMs);
        return;
    }
    emit probesFinished();
}

void frmComPort::EndProbe() {
    port_->Close();  // nothing is read back
    if (probing_) {
        opt_[probing_ - 1]->setEnabled(true);
        if (opt_[probing_ - 1]->isChecked()) ShowSelected();
    }
    probing_ = 0;
    ProbeNext();
}

int frmComPort::SelectedPort() const {
    for (int i = 0; i < 20; ++i)
        if (opt_[i]->isChecked()) return i + 1;
    return 0;
}

void frmComPort::ShowSelected() {
    const int port = SelectedPort();
    if (!port) {
        lblState_->clear();
        return;
    }
    const QString name = QString::fromStdString(LoadText(state_.Language, 1249)) + QString::number(port);
    const QString device = device_[port - 1]->text().replace(QLatin1Char('\n'), QStringLiteral(" - "));
    QString t = why_[port - 1].isEmpty() ? name + QStringLiteral(": ") + device : why_[port - 1];
    if (const SerialDevice* d = FindDevice(devices_, ResolvePortPath(port, lookup_)))
        if (const int advice = IdentifyChip(*d).advice)
            t += QStringLiteral("\n") + QString::fromStdString(LoadText(state_.Language, advice));
    const QString more = Obstacles(port, !why_[port - 1].isEmpty());
    if (!more.isEmpty()) t += QStringLiteral("\n") + more;
    lblState_->setText(t);
    Fit();
}

// Grows the window to hold longer explanations and device lines, once the
// layout has taken the new texts in.
void frmComPort::Fit() {
    QTimer::singleShot(0, this, [this] {
        layout()->activate();
        const int h =
            layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : sizeHint().height();
        if (height() < h) resize(width(), h);
    });
}

// "/dev/ttyUSB0", then the cable's chip ("WCH CH340 (1a86:7523)") or what
// the system calls the device.
QString frmComPort::DeviceText(int port) const {
    const std::string path = ResolvePortPath(port, lookup_);
    QString t = QString::fromStdString(path);
    if (const SerialDevice* d = FindDevice(devices_, path)) {
        std::string more = ChipLine(*d);
        if (more.empty()) more = d->description;
        if (!more.empty()) t += QStringLiteral("\n") + QString::fromStdString(more);
    }
    return t;
}

QString frmComPort::Obstacles(int port, bool withServices) const {
    const std::string path = ResolvePortPath(port, lookup_);
    const int self = int(QCoreApplication::applicationPid());
    LockFile lock = FindLockFile(path);
    if (lock.pid == self) lock = {};
    std::string t = HoldersText(state_.Language, path, FindHolders(path, "/proc", self), lock);
    if (withServices && FindDevice(devices_, path)) {
        const std::string services = GrabbersText(state_.Language, RunningGrabbers());
        if (!services.empty()) t += (t.empty() ? "" : "\n") + services;
    }
    return QString::fromStdString(t);
}

bool frmComPort::Testing() const { return test_ && test_->Running(); }

bool frmComPort::Finding() const { return watch_ && watch_->Running(); }

// Watches the device list while the user plugs the cable in.
void frmComPort::Find() {
    if (Finding() || Testing()) return;
    watch_ = std::make_unique<CableWatch>(*timers_, lister_, [this](const CableWatch::Result& r) {
        cmdFind_->setEnabled(true);
        if (r.found) {
            Found(r.device);
        } else {
            std::string t =
                FillText(LoadText(state_.Language, 3714), {std::to_string(watch_->LimitMs() / 1000)});
            const std::string services = GrabbersText(state_.Language, RunningGrabbers());
            if (!services.empty()) t += "\n" + services;
            lblTest_->setText(QString::fromStdString(t));
            Fit();
        }
        emit findFinished();
    });
    cmdFind_->setEnabled(false);
    lblTest_->setText(QString::fromStdString(LoadText(state_.Language, 3711)));
    Fit();
    watch_->Start();
}

// Selects the port of a cable that just appeared, pointing a free port
// number at it first when none stands for it yet.
void frmComPort::Found(const SerialDevice& device) {
    devices_ = lister_();
    const auto exists = [this](const std::string& path) {
        return FindDevice(devices_, path) || QFileInfo::exists(QString::fromStdString(path));
    };
    const PortChoice choice = ChoosePortFor(device, lookup_, exists);
    const std::string chip = ChipLine(device);
    const std::string what = chip.empty() ? device.description : chip;
    if (!choice.port) {
        lblTest_->setText(
            QString::fromStdString(FillText(LoadText(state_.Language, 3715), {device.path})));
        Fit();
        return;
    }
    if (choice.store) StorePortPath(choice.port, choice.path);
    const int i = choice.port - 1;
    device_[i]->setText(DeviceText(choice.port));
    // Whether it opens, without the probe's hold: the user just plugged it in.
    why_[i].clear();
    if (port_->Open(choice.port, kProbeSettings)) {
        port_->Close();
    } else {
        why_[i] = QString::fromStdString(port_->ErrorDescription());
    }
    opt_[i]->setToolTip(why_[i]);
    opt_[i]->setEnabled(why_[i].isEmpty());
    opt_[i]->setChecked(true);
    ShowSelected();
    const std::string name = LoadText(state_.Language, 1249) + std::to_string(choice.port);
    lblTest_->setText(
        QString::fromStdString(FillText(LoadText(state_.Language, choice.store ? 3713 : 3712),
                                        {device.path, what.empty() ? "-" : what, name})));
}

// The access word at the clone settings to the selected port: the band the
// radio reports, or that nothing answered; "DONE" is sent either way.
void frmComPort::Test() {
    const int port = SelectedPort();
    if (!port || Testing() || Finding()) return;
    if (!testPort_) {
        testPort_ = std::make_unique<QtSerialPort>(lookup_);
        testPort_->SetLanguage(state_.Language);
    }
    const QString name = QString::fromStdString(LoadText(state_.Language, 1249)) +
                         QString::number(port) + QStringLiteral(" (") +
                         QString::fromStdString(ResolvePortPath(port, lookup_)) + QStringLiteral(")");
    test_.reset();
    test_ = std::make_unique<PortTest>(
        *testPort_, *timers_, port, [this, name, port](const PortTest::Result& r) {
            QString t = QString::fromStdString(PortTestText(state_.Language, r, name.toStdString()));
            if (r.answered) RememberWorkingPort(state_.ModelCode, port);
            // A service that may have taken the cable; who else holds the
            // port (and may read the radio's answer) goes to the line above.
            if (!r.answered && FindDevice(devices_, ResolvePortPath(port, lookup_))) {
                const std::string services = GrabbersText(state_.Language, RunningGrabbers());
                if (!services.empty()) t += QStringLiteral("\n") + QString::fromStdString(services);
            }
            lblTest_->setText(t);
            ShowSelected();
            cmdTest_->setEnabled(true);
            emit testFinished();
        });
    cmdTest_->setEnabled(false);
    lblTest_->setText(QString::fromStdString(LoadText(state_.Language, 3238)));
    test_->Start();
}

void frmComPort::Ok() {
    for (int i = 0; i < 20; ++i)
        if (opt_[i]->isChecked()) {
            state_.ComPort = static_cast<std::uint8_t>(i + 1);
            break;
        }
    if (portChanged_) portChanged_();
    accept();
}

}  // namespace rm427::gui
