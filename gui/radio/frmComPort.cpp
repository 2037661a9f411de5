#include "radio/frmComPort.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "text/TextTable.h"
#include "ui/SendTab.h"

namespace rm427::gui {

namespace {
constexpr int kProbeHoldMs = 200;
const char kProbeSettings[] = "9600,N,8,2";
}  // namespace

frmComPort::frmComPort(Module1& state, std::function<void()> portChanged, QWidget* parent,
                       PortPathLookup lookup)
    : QDialog(parent), state_(state), portChanged_(std::move(portChanged)),
      port_(std::make_unique<QtSerialPort>(lookup ? lookup : PortPathLookup(PortPathFromSettings))) {
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
        grid->addWidget(opt_[i], i / 4, i % 4);
    }
    const int current = state_.ComPort;
    if (current >= kFirstPort && current <= kLastPort) opt_[current - 1]->setChecked(true);

    cmdOk_ = new QPushButton(text(1156), this);
    cmdOk_->setObjectName(QStringLiteral("CmdOk"));
    cmdCancel_ = new QPushButton(text(1157), this);
    cmdCancel_->setObjectName(QStringLiteral("CmdCancel"));
    cmdOk_->setAutoDefault(false);
    cmdCancel_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);

    connect(cmdOk_, &QPushButton::clicked, this, &frmComPort::Ok);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
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
    port_->Close();
}

void frmComPort::ProbeNext() {
    while (next_ <= kLastPort) {
        const int port = next_++;
        if (!port_->Open(port, kProbeSettings)) continue;  // missing or in use: stays disabled
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
    if (probing_) opt_[probing_ - 1]->setEnabled(true);
    probing_ = 0;
    ProbeNext();
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
