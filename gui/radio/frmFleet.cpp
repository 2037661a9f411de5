#include "radio/frmFleet.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "file/DataFile.h"
#include "file/FileCommands.h"
#include "file/FileIo.h"
#include "io/PortSettings.h"
#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "radio/PortPaths.h"
#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427::gui {

namespace {
constexpr int kColumns = 7;  // unit, time, band, identification, message, result, seconds
}

frmFleet::frmFleet(Module1& state, MessageBoxes& boxes, FileDialogs& files, std::string historyFolder,
                   QWidget* parent)
    : QDialog(parent),
      state_(state),
      boxes_(boxes),
      files_(files),
      historyFolder_(std::move(historyFolder)),
      port_(std::make_unique<QtSerialPort>(PortPathFromSettings)),
      timers_(std::make_unique<QtTimerFactory>()) {
    port_->SetLanguage(state_.Language);
    setObjectName(QStringLiteral("frmFleet"));
    setModal(true);
    setWindowTitle(T(3940));

    settings_ = new QWidget(this);
    auto* form = new QFormLayout(settings_);
    form->setContentsMargins(0, 0, 0, 0);
    cboCodeplug_ = new QComboBox(settings_);
    cboCodeplug_->setObjectName(QStringLiteral("CboCodeplug"));
    cboCodeplug_->addItem(T(3943).arg(QString::fromStdString(state_.FileName)));
    auto* chooseCodeplug = new QPushButton(T(3944), settings_);
    chooseCodeplug->setObjectName(QStringLiteral("CmdChooseCodeplug"));
    chooseCodeplug->setAutoDefault(false);
    auto* codeplugRow = new QHBoxLayout;
    codeplugRow->addWidget(cboCodeplug_, 1);
    codeplugRow->addWidget(chooseCodeplug);
    form->addRow(T(3942), codeplugRow);

    cboPort_ = new QComboBox(settings_);
    cboPort_->setObjectName(QStringLiteral("CboPort"));
    for (int n = kFirstPort; n <= kLastPort; ++n) cboPort_->addItem(T(1249) + QString::number(n), n);
    cboPort_->setCurrentIndex(std::max(0, state_.ComPort - kFirstPort));
    form->addRow(T(3945), cboPort_);

    txtPattern_ = new QLineEdit(settings_);
    txtPattern_->setObjectName(QStringLiteral("TxtPattern"));
    txtPattern_->setMaxLength(5);
    // The radio's character set and '#' for the counter; letters as capitals.
    txtPattern_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Za-z*+_ #-]{0,5}")), txtPattern_));
    connect(txtPattern_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int at = txtPattern_->cursorPosition();
        txtPattern_->setText(t.toUpper());
        txtPattern_->setCursorPosition(at);
    });
    txtPattern_->setPlaceholderText(QStringLiteral("CAR##"));
    form->addRow(T(3948), txtPattern_);
    spnStart_ = new QSpinBox(settings_);
    spnStart_->setObjectName(QStringLiteral("SpnStart"));
    spnStart_->setRange(0, 99999);
    spnStart_->setValue(1);
    form->addRow(T(3949), spnStart_);
    spnCount_ = new QSpinBox(settings_);
    spnCount_->setObjectName(QStringLiteral("SpnCount"));
    spnCount_->setRange(1, 9999);
    spnCount_->setValue(10);
    form->addRow(T(3950), spnCount_);

    chkVerify_ = new QCheckBox(T(3946), settings_);
    chkVerify_->setObjectName(QStringLiteral("ChkVerify"));
    chkVerify_->setChecked(true);
    chkKeep_ = new QCheckBox(T(3947), settings_);
    chkKeep_->setObjectName(QStringLiteral("ChkKeepCopy"));
    form->addRow(QString(), chkVerify_);
    form->addRow(QString(), chkKeep_);

    txtLog_ = new QLineEdit(settings_);
    txtLog_->setObjectName(QStringLiteral("TxtLog"));
    auto* chooseLog = new QPushButton(T(3944), settings_);
    chooseLog->setObjectName(QStringLiteral("CmdChooseLog"));
    chooseLog->setAutoDefault(false);
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(txtLog_, 1);
    logRow->addWidget(chooseLog);
    auto* logLabel = new QLabel(T(3951), settings_);
    logLabel->setBuddy(txtLog_);
    form->addRow(logLabel);
    form->addRow(logRow);
    // Access keys of the form's captions lead to their fields.
    for (QWidget* field : {static_cast<QWidget*>(txtPattern_), static_cast<QWidget*>(spnStart_),
                           static_cast<QWidget*>(spnCount_)})
        if (auto* l = qobject_cast<QLabel*>(form->labelForField(field))) l->setBuddy(field);

    lblPrompt_ = new QLabel(this);
    lblPrompt_->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt_->setWordWrap(true);
    QFont big = lblPrompt_->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    lblPrompt_->setFont(big);
    prg_ = new QProgressBar(this);
    prg_->setObjectName(QStringLiteral("prgPercent"));
    prg_->setTextVisible(false);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstRadios"));
    list_->setRootIsDecorated(false);
    list_->setColumnCount(kColumns);
    QStringList heads;
    for (int n = 3955; n < 3955 + kColumns; ++n) heads << T(n);
    list_->setHeaderLabels(heads);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setFocusPolicy(Qt::NoFocus);

    cmdStart_ = new QPushButton(T(3975), this);
    cmdStart_->setObjectName(QStringLiteral("CmdStart"));
    cmdClose_ = new QPushButton(T(3223), this);
    cmdClose_->setObjectName(QStringLiteral("CmdClose"));
    cmdStart_->setAutoDefault(false);
    cmdClose_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdStart_);
    buttons->addWidget(cmdClose_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings_);
    layout->addWidget(lblPrompt_);
    layout->addWidget(prg_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(820, 600);

    connect(chooseCodeplug, &QPushButton::clicked, this, &frmFleet::ChooseCodeplug);
    connect(chooseLog, &QPushButton::clicked, this, &frmFleet::ChooseLog);
    connect(cmdStart_, &QPushButton::clicked, this, &frmFleet::Primary);
    connect(cmdClose_, &QPushButton::clicked, this, &frmFleet::reject);
    ShowState();
}

frmFleet::~frmFleet() { run_.reset(); }

QString frmFleet::T(int n) const { return QString::fromStdString(LoadText(state_.Language, n)); }

void frmFleet::ChooseCodeplug() {
    const std::string path = files_.GetOpenFileName(kDataFileFilter);
    if (path.empty()) return;
    std::vector<std::uint8_t> bytes;
    std::string error;
    CodeplugImage image{};
    if (!ReadWholeFile(path, bytes, error, kDataFileLimit) || !DecodeDataFile(bytes, image)) {
        MessageRequest m;
        m.text = path + (error.empty() ? "" : ": " + error);
        m.title = LoadText(state_.Language, 3385);
        m.icon = MsgIcon::Critical;
        boxes_.Show(m);
        return;
    }
    chosen_ = image;
    chosenName_ = path;
    if (cboCodeplug_->count() > 1) cboCodeplug_->removeItem(1);
    cboCodeplug_->addItem(QString::fromStdString(path));
    cboCodeplug_->setCurrentIndex(1);
}

void frmFleet::ChooseLog() {
    const std::string path = files_.GetSaveFileName("CSV files (*.csv);;All files (*)", "fleet.csv");
    if (!path.empty()) txtLog_->setText(QString::fromStdString(path));
}

void frmFleet::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter in a field of the settings or on the list: the window's step.
        Primary();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmFleet::Primary() {
    if (!run_) {
        Begin();
        return;
    }
    if (run_->CurrentState() == FleetRun::State::Waiting) run_->Go();
}

void frmFleet::Begin() {
    const bool current = cboCodeplug_->currentIndex() == 0;
    FleetRun::Options opt;
    opt.pattern.text = txtPattern_->text().toUpper().toStdString();
    opt.pattern.start = spnStart_->value();
    opt.count = spnCount_->value();
    opt.verify = chkVerify_->isChecked();
    opt.backup = chkKeep_->isChecked();
    opt.language = state_.Language;
    const int comPort = cboPort_->currentData().toInt();
    opt.portName = LoadText(state_.Language, 1249) + std::to_string(comPort);
    opt.codeplugName = current ? state_.FileName : chosenName_;
    opt.historyFolder = historyFolder_;
    opt.logFile = txtLog_->text().trimmed().toStdString();

    FleetRun::Callbacks cb;
    cb.state = [this](FleetRun::State) { QTimer::singleShot(0, this, [this] { ShowState(); }); };
    cb.stage = [this](WriteJob::Stage s) {
        stage_ = s;
        ShowState();
    };
    cb.progress = [this](int v, int max) {
        prg_->setRange(0, max);
        prg_->setValue(v);
    };
    // The check's warnings are the codeplug's, the same for every radio:
    // asked once; errors refuse the radio.
    auto asked = std::make_shared<int>(0);
    cb.confirmCheck = [this, asked](const std::vector<CheckLine>& lines, bool errors) {
        if (errors) return false;
        if (*asked) return *asked > 0;
        std::string text;
        MessageRequest q;
        for (const CheckLine& l : lines) text += CheckLineText(state_.Language, l) + "\n";
        q.text = text + LoadText(state_.Language, 1117) + "?";
        q.title = "RM-427";
        q.icon = MsgIcon::Exclamation;
        q.buttons = MsgButtons::OkCancel;
        *asked = boxes_.Show(q) == MsgAnswer::Ok ? 1 : -1;
        return *asked > 0;
    };
    cb.backupTaken = [this](const CodeplugImage& copy) {
        if (keep_) keep_(copy);
    };
    cb.radioDone = [this](const FleetRadio& r) { AddRow(r); };
    cb.logWarning = [this](const std::string& text) {
        MessageRequest m;
        m.text = text;
        m.title = "RM-427";
        m.icon = MsgIcon::Exclamation;
        boxes_.Show(m);
    };
    run_ = std::make_unique<FleetRun>(*port_, *timers_, comPort, current ? state_.Image : chosen_, opt,
                                      cb, timing_);
    const std::string refusal = run_->Begin();
    if (!refusal.empty()) {
        run_.reset();
        MessageRequest m;
        m.text = refusal;
        m.title = "RM-427";
        m.icon = MsgIcon::Exclamation;
        boxes_.Show(m);
        txtPattern_->setFocus();
        return;
    }
    ShowState();
}

void frmFleet::AddRow(const FleetRadio& r) {
    auto* item = new QTreeWidgetItem(list_);
    const QString result = QString::fromStdString(FleetResultText(state_.Language, r.result));
    const QString texts[kColumns] = {
        QString::number(r.unit) + (r.attempt > 1 ? QStringLiteral(" (%1)").arg(r.attempt) : QString()),
        QString::fromStdString(r.time.substr(r.time.size() > 8 ? r.time.size() - 8 : 0)),
        r.high ? QString::fromStdString(BandText(r.low, r.high)) : QString(),
        QString::fromStdString(r.identification),
        QString::fromStdString(r.message),
        r.reason.empty() ? result : result + QStringLiteral(": ") + QString::fromStdString(r.reason),
        QString::number(r.seconds, 'f', 1)};
    for (int c = 0; c < kColumns; ++c) item->setText(c, texts[c]);
    item->setToolTip(5, texts[5]);
    if (r.result != FleetResult::Verified && r.result != FleetResult::Written)
        item->setForeground(5, QColor(Qt::red));
    list_->scrollToItem(item);
}

void frmFleet::ShowState() {
    const FleetRun::State s = run_ ? run_->CurrentState() : FleetRun::State::Setup;
    settings_->setEnabled(s == FleetRun::State::Setup);
    cmdStart_->setEnabled(s == FleetRun::State::Setup || s == FleetRun::State::Waiting);
    cmdStart_->setVisible(s != FleetRun::State::Ended);
    prg_->setVisible(s != FleetRun::State::Setup);
    lblPrompt_->setVisible(s != FleetRun::State::Setup);
    if (s == FleetRun::State::Setup) return;
    if (s == FleetRun::State::Running) {
        // While a radio is written the line says what it is doing, not to
        // connect it.
        const int what = stage_ == WriteJob::Stage::Probe    ? 3527
                         : stage_ == WriteJob::Stage::Backup ? 3517
                         : stage_ == WriteJob::Stage::Verify ? 3203
                                                             : 1117;
        lblPrompt_->setText(T(3954).arg(run_->NextUnit()).arg(T(what)));
    } else {
        lblPrompt_->setText(QString::fromStdString(run_->Prompt()));
        prg_->setValue(0);
    }
    if (s == FleetRun::State::Ended) cmdClose_->setFocus();
}

void frmFleet::reject() {
    if (run_ && run_->CurrentState() != FleetRun::State::Ended) {
        run_->End();  // a running radio is cancelled; the window stays with the list
        ShowState();
        return;
    }
    QDialog::reject();
}

void frmFleet::closeEvent(QCloseEvent* event) {
    if (run_ && run_->CurrentState() == FleetRun::State::Running) {
        event->ignore();
        run_->End();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace rm427::gui
