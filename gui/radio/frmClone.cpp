#include "radio/frmClone.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QCloseEvent>
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
#include "ui/Twips.h"

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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_);
    layout->addWidget(prg_);
    int extra = 0;
    if (!read) {
        // Both check boxes are on by default and kept in the settings store.
        auto remembered = [&](int caption, const char* name, const char* value) {
            auto* box = new QCheckBox(text(caption), this);
            box->setObjectName(QString::fromLatin1(name));
            box->setChecked(GetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, value) != "0");
            connect(box, &QCheckBox::toggled, this, [value](bool on) {
                SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, value, on ? "1" : "0");
            });
            layout->addWidget(box);
            extra += box->sizeHint().height();
            return box;
        };
        chkKeep_ = remembered(3515, "ChkKeepCopy", kKeepCopyValue);
        chkVerify_ = remembered(3200, "ChkVerify", kVerifyValue);
    }
    // Made after the check boxes, the buttons come after them on Tab too.
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
    layout->addStretch();
    layout->addLayout(buttons);

    // 2200 twips high (a write window a line more for each check box), wide enough for the bar.
    setFixedHeight(TwipsToPixelsY(this, 2200) + extra);
    setMinimumWidth(TwipsToPixelsX(this, 5200));

    if (read) {
        exchange_ = std::make_unique<CloneExchange>(CloneDir::Read, *port_, *timers_, state_.ComPort,
                                                    state_.Image, std::vector<ChannelFreqText>{},
                                                    MakeCallbacks());
        ShowProgress(0, exchange_->ProgressMaximum());
    } else {
        ShowProgress(0, CloneTotalSteps(CloneDir::Write) - 1);
    }

    connect(cmdBegin_, &QPushButton::clicked, this, &frmClone::Begin);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmClone::Cancel);
}

bool frmClone::AskRetry() {
    MessageRequest q;
    q.text = LoadText(state_.Language, 1331);
    q.title = "Error";
    q.icon = MsgIcon::Critical;
    q.buttons = MsgButtons::RetryCancel;
    cmdBegin_->setEnabled(true);
    const bool retry = boxes_.Show(q) == MsgAnswer::Retry;
    if (retry) cmdBegin_->setEnabled(false);
    return retry;
}

void frmClone::PortError(const std::string& description) {
    MessageRequest m;
    m.text = description;
    m.title = "RM-427";
    m.icon = MsgIcon::Exclamation;
    boxes_.Show(m);
    cmdBegin_->setEnabled(true);
}

CloneExchange::Callbacks frmClone::MakeCallbacks() {
    CloneExchange::Callbacks cb;
    cb.progress = [this](int v, int max) { ShowProgress(v, max); };
    cb.askRetry = [this] { return AskRetry(); };
    cb.portError = [this](const std::string& description) { PortError(description); };
    cb.closing = [this] { hide(); };
    cb.finished = [this](CloneOutcome o) { Finished(o); };
    return cb;
}

frmClone::~frmClone() {
    job_.reset();
    exchange_.reset();  // closes the port if open
}

void frmClone::ShowProgress(int value, int maximum) {
    prg_->setRange(0, maximum);
    prg_->setValue(value);
    std::string t = ProgressText(state_.Language, value, maximum);
    int prefix = 0;
    switch (stage_) {
    case WriteJob::Stage::Probe: prefix = 3527; break;
    case WriteJob::Stage::Backup: prefix = 3517; break;
    case WriteJob::Stage::Verify:
    case WriteJob::Stage::RestoreVerify: prefix = 3203; break;
    case WriteJob::Stage::Restore: prefix = 3523; break;
    default: break;
    }
    // A screen reader names the bar by its step (the window's own task when
    // the label shows none) and reads the percentage from its description:
    // the bar's value counts blocks, not percent.
    const QString step =
        prefix ? QString::fromStdString(LoadText(state_.Language, prefix)) : windowTitle();
    if (stage_ == WriteJob::Stage::Probe) {
        lbl_->setText(step);
        prg_->setAccessibleName(step);
        prg_->setAccessibleDescription(step);
        return;
    }
    if (prefix) t = LoadText(state_.Language, prefix) + ": " + t;
    lbl_->setText(QString::fromStdString(t));
    prg_->setAccessibleName(step);
    prg_->setAccessibleDescription(prefix ? lbl_->text() : step + QStringLiteral(": ") + lbl_->text());
}

void frmClone::Begin() {
    cmdBegin_->setEnabled(false);
    if (exchange_) {
        if (!exchange_->Start()) cmdBegin_->setEnabled(true);
        return;
    }
    // A write: the job runs from the probe on; the check boxes hold still.
    chkKeep_->setEnabled(false);
    chkVerify_->setEnabled(false);
    WriteJob::Options opt;
    opt.backup = chkKeep_->isChecked();
    opt.verify = chkVerify_->isChecked();
    opt.language = state_.Language;
    job_ = std::make_unique<WriteJob>(*port_, *timers_, state_.ComPort,
                                      LoadText(state_.Language, 1249) + std::to_string(state_.ComPort),
                                      state_.Image, opt, JobCallbacks(), timing_);
    job_->Start();
}

void frmClone::Cancel() {
    if (done_) {
        QDialog::reject();
        return;
    }
    if (job_) {
        job_->Cancel();
        return;
    }
    if (!exchange_) {
        // A write window that is not writing: the radio is released as
        // after any exchange.
        exchange_ = std::make_unique<CloneExchange>(CloneDir::Write, *port_, *timers_, state_.ComPort,
                                                    state_.Image, std::vector<ChannelFreqText>{},
                                                    MakeCallbacks());
    }
    exchange_->Cancel();
}

void frmClone::reject() { Cancel(); }

bool frmClone::Running() const {
    if (job_) return job_->CurrentStage() != WriteJob::Stage::Done;
    if (!exchange_) return false;
    const CloneState s = exchange_->State();
    return s != CloneState::Closed && s != CloneState::Idle;
}

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
        for (const auto& w : windows)
            if (w && w->Running()) return;
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
    done_ = true;
    if (outcome != CloneOutcome::Succeeded || exchange_->Direction() == CloneDir::Write) {
        QDialog::reject();
        return;
    }
    // Only a complete read replaces the image.
    ApplyReadImage(state_, exchange_->ReadImage());
    RememberWorkingPort(state_.ModelCode, state_.ComPort);
    if (afterRead_) afterRead_();
    if (keep_) keep_(HistoryKind::Read, exchange_->ReadImage());
    Report(LoadText(state_.Language, 1332), MsgIcon::Information, {});
    accept();
}

WriteJob::Callbacks frmClone::JobCallbacks() {
    WriteJob::Callbacks cb;
    cb.stage = [this](WriteJob::Stage s) {
        stage_ = s;
        if (s == WriteJob::Stage::Probe) ShowProgress(0, prg_->maximum());
    };
    cb.progress = [this](int v, int max) { ShowProgress(v, max); };
    cb.askRetry = [this] { return AskRetry(); };
    cb.confirmCheck = [this](const std::vector<CheckLine>& l, bool e) { return ConfirmCheck(l, e); };
    cb.backupTaken = [this](const CodeplugImage& b) {
        if (keep_) keep_(HistoryKind::BeforeWrite, b);
    };
    cb.confirmChanges = [this](const std::vector<std::string>& c) { return ConfirmChanges(c); };
    cb.written = [this](const CodeplugImage& sent) {
        RememberWorkingPort(state_.ModelCode, state_.ComPort);
        if (keep_) keep_(HistoryKind::Write, sent);
    };
    cb.offerRestore = [this](WriteJob::RestoreReason why, const WriteJob::Result& r) {
        return OfferRestore(why, r);
    };
    cb.closing = [this] { hide(); };
    cb.finished = [this](const WriteJob::Result& r) {
        // The job that calls us cannot be destroyed from inside its call.
        QTimer::singleShot(0, this, [this, r] { JobFinished(r); });
    };
    return cb;
}

bool frmClone::ConfirmCheck(const std::vector<CheckLine>& lines, bool errors) {
    const int lang = state_.Language;
    int nErrors = 0, nWarnings = 0;
    std::vector<std::string> all;
    for (const CheckLine& l : lines) {
        nErrors += l.severity == CheckSeverity::Error;
        nWarnings += l.severity == CheckSeverity::Warning;
        all.push_back(CheckLineText(lang, l));
    }
    std::string text =
        FillText(LoadText(lang, 3512), {std::to_string(nErrors), std::to_string(nWarnings)});
    constexpr std::size_t kShown = 12;
    for (std::size_t i = 0; i < all.size() && i < kShown; ++i) text += "\n" + all[i];
    if (all.size() > kShown) text += "\n" + FillText(LoadText(lang, 3514), {std::to_string(all.size())});
    // Errors need the explicit "Write anyway" (Enter cancels); warnings go on with Enter.
    const MsgAnswer a =
        Report(text, errors ? MsgIcon::Critical : MsgIcon::Exclamation, all, MsgButtons::OkCancel,
               {LoadText(lang, errors ? 3513 : 1117), LoadText(lang, 1157)}, errors ? 1 : 0);
    return a == MsgAnswer::Ok;
}

bool frmClone::ConfirmChanges(const std::vector<std::string>& changes) {
    const int lang = state_.Language;
    const MsgAnswer a =
        Report(CountText(lang, 3518, static_cast<long long>(changes.size())), MsgIcon::Question, changes,
               MsgButtons::OkCancel, {LoadText(lang, 1117), LoadText(lang, 1157)}, 0);
    return a == MsgAnswer::Ok;
}

bool frmClone::OfferRestore(WriteJob::RestoreReason why, const WriteJob::Result& r) {
    if (stopping_) return false;  // the program is ending: no new exchange
    const int lang = state_.Language;
    std::string text;
    // A verify that found differences is what the offer is about: the box
    // with the error icon does not open with "Writing completed!".
    if (why == WriteJob::RestoreReason::WriteFailed) text = LoadText(lang, 3521);
    else text = VerifySummary(lang, r.verifyDiffs.size());
    text += "\n" + LoadText(lang, 3522);
    show();
    const MsgAnswer a = Report(text, MsgIcon::Critical, r.verifyDiffs, MsgButtons::OkCancel,
                               {LoadText(lang, 3520), LoadText(lang, 3223)}, 0);
    return a == MsgAnswer::Ok;
}

void frmClone::JobFinished(const WriteJob::Result& r) {
    using O = WriteJob::Outcome;
    const int lang = state_.Language;
    job_.reset();
    stage_ = WriteJob::Stage::Idle;
    const std::vector<std::string> bandReport =
        BandCheckReport(lang, r.probe.low, r.probe.high, r.bandChanges);
    const std::string written = LoadText(lang, 1333);
    auto close = [this](bool ok) {
        done_ = true;
        if (ok) accept();
        else QDialog::reject();
    };
    switch (r.outcome) {
    case O::PortFailed: PortError(r.error); break;
    case O::NoAnswer:
        Report(CheckLineText(lang, r.check.front()), MsgIcon::Critical, {});
        cmdBegin_->setEnabled(true);
        break;
    case O::Refused:
    case O::Cancelled:
    case O::BackupFailed:
    case O::WriteFailed:
        // A declined question leaves the window open; Cancel and a failed
        // exchange close it, as a write always did.
        if (r.declined && r.outcome != O::WriteFailed) {
            cmdBegin_->setEnabled(true);
            break;
        }
        close(false);
        return;
    case O::NothingToWrite:
        Report(LoadText(lang, 3519), MsgIcon::Information, {});
        close(true);
        return;
    case O::Written: {
        std::string t = written;
        if (chkVerify_->isChecked()) t += "\n" + VerifySummary(lang, 0);
        // Channels the band check changed went to the radio otherwise than they
        // stand in the grid: a warning, not an information.
        Report(t + BandNote(bandReport),
               bandReport.empty() ? MsgIcon::Information : MsgIcon::Exclamation, bandReport);
        close(true);
        return;
    }
    case O::VerifyFailed:
        Report(written + "\n" + LoadText(lang, 3207) + BandNote(bandReport), MsgIcon::Exclamation,
               bandReport);
        close(false);
        return;
    case O::VerifyDiffers: {
        if (!r.haveBackup) {  // with a copy, the restore offer has told it
            std::vector<std::string> details = r.verifyDiffs;
            details.insert(details.end(), bandReport.begin(), bandReport.end());
            Report(written + "\n" + VerifySummary(lang, r.verifyDiffs.size()) + BandNote(bandReport),
                   MsgIcon::Critical, details);
        }
        close(false);
        return;
    }
    case O::Restored:
        Report(LoadText(lang, 3524), MsgIcon::Information, {});
        close(false);
        return;
    case O::RestoreFailed:
        Report(LoadText(lang, 3525), MsgIcon::Critical, r.restoreDiffs);
        close(false);
        return;
    default: break;
    }
    chkKeep_->setEnabled(true);
    chkVerify_->setEnabled(true);
    ShowProgress(0, CloneTotalSteps(CloneDir::Write) - 1);
}

// A line under the result when the band check changed channels: the list
// itself is in the details, which a user may never open.
std::string frmClone::BandNote(const std::vector<std::string>& bandReport) const {
    if (bandReport.empty()) return {};
    return "\n" + CountText(state_.Language, 3208, static_cast<long long>(bandReport.size() - 1));
}

MsgAnswer frmClone::Report(const std::string& text, MsgIcon icon,
                           const std::vector<std::string>& details, MsgButtons buttons,
                           std::vector<std::string> captions, int defaultButton) {
    MessageRequest m;
    m.text = text;
    m.title = "RM-427";
    m.icon = icon;
    m.buttons = buttons;
    m.buttonTexts = std::move(captions);
    m.defaultButton = defaultButton;
    for (const std::string& line : details) m.details += line + "\n";
    return boxes_.Show(m);
}

}  // namespace rm427::gui
