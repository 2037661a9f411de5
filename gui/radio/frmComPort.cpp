#include "radio/frmComPort.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSerialPortInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/PortCheck.h"
#include "text/TextTable.h"
#include "ui/SendTab.h"

namespace rm427::gui {

namespace {
constexpr int kProbeHoldMs = 200;
const char kProbeSettings[] = "9600,N,8,2";

// "/dev/ttyUSB0", then what the system knows of the adapter:
// "FT232R USB UART (FTDI, 0403:6001)".
QString DeviceText(const std::string& path) {
    QString t = QString::fromStdString(path);
    const QSerialPortInfo info(QString::fromStdString(path));
    if (info.isNull()) return t;
    QStringList parts;
    if (!info.manufacturer().isEmpty()) parts << info.manufacturer();
    if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        parts << QStringLiteral("%1:%2")
                     .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                     .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
    QString adapter = info.description();
    if (!parts.isEmpty())
        adapter += (adapter.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("(") +
                   parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    if (!adapter.isEmpty()) t += QStringLiteral("\n") + adapter;
    return t;
}
}  // namespace

frmComPort::frmComPort(Module1& state, std::function<void()> portChanged, QWidget* parent,
                       PortPathLookup lookup)
    : QDialog(parent),
      state_(state),
      portChanged_(std::move(portChanged)),
      port_(std::make_unique<QtSerialPort>(lookup ? lookup : PortPathLookup(PortPathFromSettings))),
      lookup_(lookup ? lookup : PortPathLookup(PortPathFromSettings)) {
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
        device_[i] = new QLabel(DeviceText(ResolvePortPath(i + 1, lookup_)), frame_);
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
    const int current = state_.ComPort;
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
    lblState_ = new QLabel(this);
    lblState_->setObjectName(QStringLiteral("lblPortState"));
    lblState_->setWordWrap(true);
    lblState_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the fix can be copied
    lblTest_ = new QLabel(this);
    lblTest_->setObjectName(QStringLiteral("lblTest"));
    lblTest_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest_);
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
    connect(this, &frmComPort::probesFinished, this, [this] { cmdTest_->setEnabled(true); });
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
    lblState_->setText(why_[port - 1].isEmpty() ? name + QStringLiteral(": ") + device : why_[port - 1]);
}

bool frmComPort::Testing() const { return test_ && test_->Running(); }

// The access word at the clone settings to the selected port: the band the
// radio reports, or that nothing answered; "DONE" is sent either way.
void frmComPort::Test() {
    const int port = SelectedPort();
    if (!port || Testing()) return;
    if (!testPort_) {
        testPort_ = std::make_unique<QtSerialPort>(lookup_);
        testPort_->SetLanguage(state_.Language);
        timers_ = std::make_unique<QtTimerFactory>();
    }
    const QString name = QString::fromStdString(LoadText(state_.Language, 1249)) +
                         QString::number(port) + QStringLiteral(" (") +
                         QString::fromStdString(ResolvePortPath(port, lookup_)) + QStringLiteral(")");
    test_.reset();
    test_ =
        std::make_unique<PortTest>(*testPort_, *timers_, port, [this, name](const PortTest::Result& r) {
            lblTest_->setText(
                QString::fromStdString(PortTestText(state_.Language, r, name.toStdString())));
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
