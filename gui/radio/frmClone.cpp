#include "radio/frmClone.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "io/RegKeys.h"
#include "text/TextTable.h"

namespace rm427::gui {

frmClone::frmClone(Module1& state, MessageBoxes& boxes, std::function<void()> afterRead, QWidget* parent)
    : QDialog(parent),
      state_(state),
      boxes_(boxes),
      afterRead_(std::move(afterRead)),
      port_(std::make_unique<QtSerialPort>(PortPathFromSettings)),
      timers_(std::make_unique<QtTimerFactory>()) {
    const bool read = state_.CloneDirection == 0;
    port_->SetLanguage(state_.Language);  // an open failure is explained in the window's language
    auto text = [&](int n) { return QString::fromStdString(LoadText(state_.Language, n)); };
    setObjectName(QStringLiteral("frmClone"));
    setModal(true);
    setWindowTitle(text(read ? 1246 : 1247));

    lbl_ = new QLabel(this);
    lbl_->setObjectName(QStringLiteral("lblPercent"));
    prg_ = new QProgressBar(this);
    prg_->setObjectName(QStringLiteral("prgPercent"));
    prg_->setTextVisible(false);
    cmdBegin_ = new QPushButton(text(read ? 1116 : 1117), this);
    cmdBegin_->setObjectName(QStringLiteral("CmdBegin"));
    cmdCancel_ = new QPushButton(text(1157), this);
    cmdCancel_->setObjectName(QStringLiteral("CmdCancel"));
    // Enter, where no control takes it, starts the read or write the window
    // was opened for; Enter on Cancel (focused) still cancels.
    cmdBegin_->setAutoDefault(false);
    cmdCancel_->setAutoDefault(false);
    cmdBegin_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdBegin_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_);
    layout->addWidget(prg_);
    if (!read) {
        chkVerify_ = new QCheckBox(text(3200), this);
        chkVerify_->setObjectName(QStringLiteral("ChkVerify"));
        chkVerify_->setChecked(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, kVerifyValue) != "0");
        connect(chkVerify_, &QCheckBox::toggled, this, [](bool on) {
            SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, kVerifyValue, on ? "1" : "0");
        });
        layout->addWidget(chkVerify_);
    }
    layout->addStretch();
    layout->addLayout(buttons);

    // 2200 twips high (a write window one check box line more), wide enough for the bar.
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    setFixedHeight(qRound(2200 * dpi / 1440.0) + (chkVerify_ ? chkVerify_->sizeHint().height() : 0));
    setMinimumWidth(qRound(5200 * dpi / 1440.0));

    const CloneExchange::Callbacks cb = MakeCallbacks();
    // A write sends a copy taken now; the channels as the editor shows them
    // decide the empty-list rule and the band check (the main window has
    // stored its grid into the image just before).
    const CloneDir dir = read ? CloneDir::Read : CloneDir::Write;
    exchange_ = std::make_unique<CloneExchange>(
        dir, *port_, *timers_, state_.ComPort, state_.Image,
        read ? std::vector<ChannelFreqText>{} : ChannelFreqTexts(state_.Image), cb);
    ShowProgress(0, exchange_->ProgressMaximum());

    connect(cmdBegin_, &QPushButton::clicked, this, &frmClone::Begin);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmClone::Cancel);
}

CloneExchange::Callbacks frmClone::MakeCallbacks() {
    CloneExchange::Callbacks cb;
    cb.progress = [this](int v, int max) { ShowProgress(v, max); };
    cb.askRetry = [this] {
        MessageRequest q;
        q.text = LoadText(state_.Language, 1331);
        q.title = "Error";
        q.icon = MsgIcon::Critical;
        q.buttons = MsgButtons::RetryCancel;
        cmdBegin_->setEnabled(true);
        const bool retry = boxes_.Show(q) == MsgAnswer::Retry;
        if (retry) cmdBegin_->setEnabled(false);
        return retry;
    };
    cb.portError = [this](const std::string& description) {
        MessageRequest m;
        m.text = description;
        m.title = "RM-427";
        m.icon = MsgIcon::Exclamation;
        boxes_.Show(m);
        cmdBegin_->setEnabled(true);
    };
    cb.closing = [this] { hide(); };
    cb.finished = [this](CloneOutcome o) { Finished(o); };
    return cb;
}

frmClone::~frmClone() {
    exchange_.reset();  // closes the port if open
}

void frmClone::ShowProgress(int value, int maximum) {
    prg_->setRange(0, maximum);
    prg_->setValue(value);
    std::string t = ProgressText(state_.Language, value, maximum);
    if (verifying_) t = LoadText(state_.Language, 3203) + ": " + t;
    lbl_->setText(QString::fromStdString(t));
}

void frmClone::Begin() {
    cmdBegin_->setEnabled(false);
    if (!exchange_->Start()) cmdBegin_->setEnabled(true);
}

void frmClone::Cancel() {
    if (done_) {
        QDialog::reject();
        return;
    }
    exchange_->Cancel();
}

void frmClone::reject() { Cancel(); }

void frmClone::StopAll(std::function<void()> then) {
    std::vector<QPointer<frmClone>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* clone = qobject_cast<frmClone*>(w)) {
            clone->stopping_ = true;
            clone->Cancel();
            windows.emplace_back(clone);
        }
    }
    auto* wait = new QTimer(qApp);
    QObject::connect(wait, &QTimer::timeout, [wait, windows, then] {
        for (const auto& w : windows) {
            const CloneState s = w ? w->exchange_->State() : CloneState::Closed;
            if (s != CloneState::Closed && s != CloneState::Idle) return;
        }
        wait->stop();
        wait->deleteLater();
        if (then) then();
    });
    wait->start(10);
}

void frmClone::closeEvent(QCloseEvent* event) {
    if (done_) {
        QDialog::closeEvent(event);
        return;
    }
    // Closing mid-exchange releases the radio like Cancel.
    event->ignore();
    Cancel();
}

void frmClone::Finished(CloneOutcome outcome) {
    if (verifying_) {
        VerifyFinished(outcome);
        return;
    }
    if (outcome != CloneOutcome::Succeeded) {
        done_ = true;
        QDialog::reject();
        return;
    }
    const bool read = exchange_->Direction() == CloneDir::Read;
    if (read) {
        done_ = true;
        // Only a complete read replaces the image.
        ApplyReadImage(state_, exchange_->ReadImage());
        RememberWorkingPort(state_.ModelCode, state_.ComPort);
        if (afterRead_) afterRead_();
        if (keep_) keep_(HistoryKind::Read, exchange_->ReadImage());
        Report(LoadText(state_.Language, 1332), MsgIcon::Information, {});
        accept();
        return;
    }
    sent_ = exchange_->SendImage();
    RememberWorkingPort(state_.ModelCode, state_.ComPort);
    if (keep_) keep_(HistoryKind::Write, sent_);
    bandReport_ = BandCheckReport(state_.Language, exchange_->LowerLimit(), exchange_->UpperLimit(),
                                  exchange_->BandChanges());
    if (chkVerify_ && chkVerify_->isChecked() && !stopping_) {
        // The exchange that called us cannot be replaced from inside its call.
        QTimer::singleShot(0, this, &frmClone::StartVerify);
        return;
    }
    done_ = true;
    // Channels the band check changed went to the radio otherwise than they
    // stand in the grid: a warning, not an information.
    Report(LoadText(state_.Language, 1333) + BandNote(), BandIcon(), bandReport_);
    accept();
}

// A line under the result when the band check changed channels: the list
// itself is in the details, which a user may never open.
std::string frmClone::BandNote() const {
    if (bandReport_.empty()) return {};
    return "\n" + CountText(state_.Language, 3208, static_cast<long long>(bandReport_.size() - 1));
}

MsgIcon frmClone::BandIcon() const {
    return bandReport_.empty() ? MsgIcon::Information : MsgIcon::Exclamation;
}

void frmClone::StartVerify() {
    verifying_ = true;
    chkVerify_->setEnabled(false);
    exchange_.reset();
    exchange_ = std::make_unique<CloneExchange>(CloneDir::Read, *port_, *timers_, state_.ComPort, sent_,
                                                std::vector<ChannelFreqText>{}, MakeCallbacks());
    ShowProgress(0, exchange_->ProgressMaximum());
    cmdBegin_->setEnabled(false);
    if (!exchange_->Start()) {
        // The port was taken between the write and the read back.
        done_ = true;
        Report(LoadText(state_.Language, 1333) + "\n" + LoadText(state_.Language, 3207) + BandNote(),
               MsgIcon::Exclamation, bandReport_);
        QDialog::reject();
    }
}

void frmClone::VerifyFinished(CloneOutcome outcome) {
    done_ = true;
    const std::string written = LoadText(state_.Language, 1333) + "\n";
    if (outcome != CloneOutcome::Succeeded) {
        Report(written + LoadText(state_.Language, 3207) + BandNote(), MsgIcon::Exclamation,
               bandReport_);
        QDialog::reject();
        return;
    }
    const auto diffs = VerifyDifferences(sent_, exchange_->ReadImage());
    std::vector<std::string> details = diffs;
    details.insert(details.end(), bandReport_.begin(), bandReport_.end());
    Report(written + VerifySummary(state_.Language, diffs.size()) + BandNote(),
           diffs.empty() ? BandIcon() : MsgIcon::Critical, details);
    if (diffs.empty()) accept();
    else QDialog::reject();
}

void frmClone::Report(const std::string& text, MsgIcon icon, const std::vector<std::string>& details) {
    MessageRequest m;
    m.text = text;
    m.title = "RM-427";
    m.icon = icon;
    for (const std::string& line : details) m.details += line + "\n";
    boxes_.Show(m);
}

}  // namespace rm427::gui
