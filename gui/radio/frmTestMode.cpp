#include "radio/frmTestMode.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "io/QtSerialPort.h"
#include "io/QtTimers.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {
const char* const kNodeKeys[kTuningItems] = {"A1", "A2", "A3", "A4", "A5", "A6"};
constexpr int kKeyRole = Qt::UserRole;
// Twips to pixels at the usual 96 dots per inch.
constexpr int Twips(int t) { return t / 15; }
}  // namespace

frmTestMode::frmTestMode(Module1& state, QWidget* parent, PortPathLookup lookup, MessageBoxes* boxes)
    : QDialog(parent), state_(state), boxes_(boxes) {
    setObjectName(QStringLiteral("frmTestMode"));
    setModal(true);

    port_ = std::make_unique<QtSerialPort>(std::move(lookup));
    port_->SetLanguage(state_.Language);  // an open failure is explained in the window's language
    timers_ = std::make_unique<QtTimerFactory>();
    TestModeExchange::Callbacks cb;
    cb.valueText = [this] { return TextValue(); };
    cb.valueRead = [this](int value) {
        SldDev_->setValue(value);
        TxtDev_->setText(QString::number(SldDev_->value()));
    };
    cb.portError = [this](const std::string& why) {
        if (boxes_) {
            MessageRequest r;
            r.text = why;
            r.title = "RM-427";
            boxes_->Show(r);
        } else {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("RM-427"), QString::fromStdString(why),
                            QMessageBox::Ok, this);
            box.exec();
        }
    };
    cb.ended = [this](TestModeState s) { OnEnded(s); };
    exchange_ = std::make_unique<TestModeExchange>(*port_, *timers_, std::move(cb));

    // Left: the tuning items.
    TreeTest_ = new QTreeWidget;
    TreeTest_->setObjectName(QStringLiteral("TreeTest"));
    TreeTest_->setHeaderHidden(true);
    TreeTest_->setColumnCount(1);
    root_ = new QTreeWidgetItem(TreeTest_);
    root_->setData(0, kKeyRole, QStringLiteral("Root"));
    for (int i = 0; i < kTuningItems; ++i) {
        nodes_[i] = new QTreeWidgetItem(root_);
        nodes_[i]->setData(0, kKeyRole, QString::fromLatin1(kNodeKeys[i]));
    }
    root_->setExpanded(true);

    // Right: the value panel.
    fraValue_ = new QGroupBox;
    fraValue_->setObjectName(QStringLiteral("fraValue"));
    fraFreq_ = new QGroupBox;
    fraFreq_->setObjectName(QStringLiteral("fraFreq"));
    fraWidth_ = new QGroupBox;
    fraWidth_->setObjectName(QStringLiteral("fraWidth"));
    auto* freqLayout = new QVBoxLayout(fraFreq_);
    auto* widthLayout = new QVBoxLayout(fraWidth_);
    for (int i = 0; i < 2; ++i) {
        Optdev1_[i] = new QRadioButton(fraFreq_);
        Optdev1_[i]->setObjectName(QStringLiteral("Optdev1_%1").arg(i));
        freqLayout->addWidget(Optdev1_[i]);
        Optdev2_[i] = new QRadioButton(fraWidth_);
        Optdev2_[i]->setObjectName(QStringLiteral("Optdev2_%1").arg(i));
        widthLayout->addWidget(Optdev2_[i]);
        Optdev1_[i]->installEventFilter(this);
        Optdev2_[i]->installEventFilter(this);
    }
    Optdev2_[0]->setText(QStringLiteral("25KHz"));
    Optdev2_[1]->setText(QStringLiteral("12.5KHz"));
    Optdev1_[0]->setChecked(true);
    Optdev2_[0]->setChecked(true);

    SldDev_ = new QSlider(Qt::Horizontal);
    SldDev_->setObjectName(QStringLiteral("SldDev"));
    SldDev_->setRange(0, 255);
    SldDev_->setTracking(true);
    SldDev_->setMinimumWidth(200);
    lblMin_ = new QLabel;
    lblMax_ = new QLabel;
    lblData_ = new QLabel;
    TxtDev_ = new QLineEdit(QStringLiteral("0"));
    TxtDev_->setObjectName(QStringLiteral("TxtDev"));
    TxtDev_->setMaxLength(3);
    TxtDev_->setContextMenuPolicy(Qt::NoContextMenu);
    TxtDev_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), TxtDev_));
    TxtDev_->setFixedWidth(TxtDev_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    TxtDev_->setAlignment(Qt::AlignRight);
    TxtDev_->installEventFilter(this);
    UdDev_ = new QSpinBox;
    UdDev_->setObjectName(QStringLiteral("UdDev"));
    UdDev_->setRange(0, 255);
    UdDev_->setKeyboardTracking(false);
    UdDev_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    UdDev_->setFocusPolicy(Qt::ClickFocus);
    // Only the arrows of the up-down show: the number is in TxtDev.
    if (auto* inner = UdDev_->findChild<QLineEdit*>()) {
        inner->setReadOnly(true);
        inner->setFixedWidth(0);
    }
    UdDev_->setFixedWidth(UdDev_->sizeHint().height());

    auto* options = new QHBoxLayout;
    options->addWidget(fraFreq_);
    options->addWidget(fraWidth_);
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(lblMin_);
    sliderRow->addWidget(SldDev_, 1);
    sliderRow->addWidget(lblMax_);
    auto* dataRow = new QHBoxLayout;
    dataRow->addStretch(1);
    dataRow->addWidget(lblData_);
    dataRow->addWidget(TxtDev_);
    dataRow->addWidget(UdDev_);
    dataRow->addStretch(1);
    auto* valueLayout = new QVBoxLayout(fraValue_);
    valueLayout->addLayout(options);
    valueLayout->addSpacing(8);
    valueLayout->addLayout(sliderRow);
    valueLayout->addLayout(dataRow);
    valueLayout->addStretch(1);
    fraValue_->installEventFilter(this);

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->addWidget(TreeTest_);
    splitter_->addWidget(fraValue_);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(1, 1);

    for (int i = 0; i < 2; ++i) {
        CmdDev_[i] = new QPushButton;
        CmdDev_[i]->setObjectName(QStringLiteral("CmdDev_%1").arg(i));
        CmdDev_[i]->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdDev_[0]);
    buttons->addWidget(CmdDev_[1]);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter_, 1);
    layout->addLayout(buttons);

    // The splitter stays at least 1500 twips from the left edge and 120
    // twips short of the value panel's right edge.
    const int left = layout->contentsMargins().left();
    TreeTest_->setMinimumWidth(std::max(Twips(1500) - left, 40));
    fraValue_->setMinimumWidth(std::max(fraValue_->minimumSizeHint().width(), Twips(120)));
    splitter_->setSizes({Twips(2600), Twips(5400)});

    connect(TreeTest_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node, QTreeWidgetItem*) { OnNodeSelected(node); });
    connect(Optdev1_[1], &QRadioButton::toggled, this, [this] { OnVariantChanged(); });
    connect(Optdev2_[1], &QRadioButton::toggled, this, [this] { OnVariantChanged(); });
    connect(SldDev_, &QSlider::sliderMoved, this,
            [this](int v) { TxtDev_->setText(QString::number(v)); });
    connect(SldDev_, &QSlider::valueChanged, this, [this](int v) { OnSliderValue(v); });
    connect(UdDev_, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int v) { SldDev_->setValue(v); });
    connect(CmdDev_[0], &QPushButton::clicked, this, [this] { OnFirstButton(); });
    connect(CmdDev_[1], &QPushButton::clicked, this, [this] { OnSecondButton(); });

    RefreshTexts();
    TreeTest_->setCurrentItem(nodes_[0]);
    ShowState();
    resize(Twips(8400), Twips(4200));
}

frmTestMode::~frmTestMode() {
    exchange_.reset();  // it talks to the port and the timers
}

QString frmTestMode::Text(int n) const { return QString::fromStdString(LoadText(state_.Language, n)); }

void frmTestMode::RefreshTexts() {
    setWindowTitle(Text(1403));
    root_->setText(0, Text(1404));
    const int texts[3] = {1268, 1405, 1269};
    for (int i = 0; i < 3; ++i) nodes_[i]->setText(0, Text(texts[i]));
    nodes_[3]->setText(0, Text(1271));
    nodes_[4]->setText(0, QStringLiteral("QT") + Text(1406));
    nodes_[5]->setText(0, QStringLiteral("DQT") + Text(1406));
    fraFreq_->setTitle(Text(1245));
    Optdev1_[0]->setText(Text(1148));
    Optdev1_[1]->setText(Text(1147));
    fraWidth_->setTitle(Text(1128));
    lblMin_->setText(Text(1328));
    lblMax_->setText(Text(1329));
    lblData_->setText(Text(1407) + QStringLiteral("  :"));
    if (QTreeWidgetItem* node = TreeTest_->currentItem()) fraValue_->setTitle(node->text(0));
    ShowState();
}

TuningParam frmTestMode::CurrentParam() const {
    return TuningParameter(item_, TuningVariant(Optdev1_[1]->isChecked(), Optdev2_[1]->isChecked()));
}

int frmTestMode::TextValue() const { return TxtDev_->text().toInt(); }

void frmTestMode::OnNodeSelected(QTreeWidgetItem* node) {
    if (!node) return;
    const QString key = node->data(0, kKeyRole).toString();
    int item = 0;
    for (int i = 0; i < kTuningItems; ++i)
        if (key == QLatin1String(kNodeKeys[i])) item = i + 1;
    if (item == 0) {
        // The root stands for the first item.
        TreeTest_->setCurrentItem(nodes_[0]);
        return;
    }
    item_ = item;
    fraValue_->setTitle(node->text(0));
    const int maximum = item == 4 ? 511 : 255;
    // A value above the new maximum drops to it (255).
    SldDev_->setMaximum(maximum);
    UdDev_->setMaximum(maximum);
    if (TextValue() > maximum) TxtDev_->setText(QString::number(SldDev_->value()));
    exchange_->SetParameter(CurrentParam());
}

void frmTestMode::OnVariantChanged() { exchange_->SetParameter(CurrentParam()); }

void frmTestMode::OnSliderValue(int value) {
    TxtDev_->setText(QString::number(value));
    UdDev_->setValue(value);
    if (exchange_->State() == TestModeState::Adjusting) exchange_->Adjust();
}

void frmTestMode::CommitText() {
    int value = TextValue();
    if (value > SldDev_->maximum()) {
        value = SldDev_->maximum();
        TxtDev_->setText(QString::number(value));
    }
    if (TxtDev_->text().isEmpty()) TxtDev_->setText(QString::number(value));
    SldDev_->setValue(value);
}

void frmTestMode::OnFirstButton() {
    CommitText();
    exchange_->SetComPort(state_.ComPort);
    exchange_->SetParameter(CurrentParam());
    exchange_->Run();
    ShowState();
}

void frmTestMode::OnSecondButton() {
    if (exchange_->State() == TestModeState::Idle) {
        reject();
        return;
    }
    exchange_->Cancel();
    ShowState();
}

void frmTestMode::OnEnded(TestModeState s) {
    ShowState();
    // Slider moves that came while the last value was on its way: send the
    // value shown now, so the radio ends where the slider is.
    const bool typing = TxtDev_->text() != QString::number(SldDev_->value());
    if (s == TestModeState::Adjusting && !typing && SldDev_->value() != exchange_->RadioValue()) {
        exchange_->Adjust();
        ShowState();
    }
}

void frmTestMode::ShowState() {
    const TestModeState s = exchange_->State();
    const bool idle = s == TestModeState::Idle;
    const bool connecting = s == TestModeState::Connecting || s == TestModeState::Querying;
    const bool leaving = s == TestModeState::Storing || s == TestModeState::Leaving;
    const bool adjustCaptions = !idle && !connecting;
    CmdDev_[0]->setText(adjustCaptions ? Text(1156) : Text(1408));
    CmdDev_[1]->setText(adjustCaptions ? Text(1157) : Text(1348));
    CmdDev_[0]->setEnabled(!connecting && !leaving);
    CmdDev_[1]->setEnabled(!leaving);
    // The parameter cannot change while the radio is being talked to.
    TreeTest_->setEnabled(idle);
    fraFreq_->setEnabled(idle);
    fraWidth_->setEnabled(idle);
}

bool frmTestMode::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtDev_) {
        switch (event->type()) {
        case QEvent::FocusIn: QTimer::singleShot(0, TxtDev_, [this] { TxtDev_->selectAll(); }); break;
        case QEvent::FocusOut: CommitText(); break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                CommitText();
                TxtDev_->selectAll();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                TxtDev_->setText(QString::number(exchange_->ValueRead()));
                CommitText();
                TxtDev_->selectAll();
                return true;
            }
            if (key->key() == Qt::Key_Backspace) return false;
            if (key->matches(QKeySequence::Paste)) return true;
            const QString t = key->text();
            if (t.size() == 1 && t[0].isPrint()) return !(t[0].isDigit() && t[0].unicode() < 128);
            return false;  // arrows, Home, End, Delete
        }
        default: break;
        }
        return false;
    }
    if (watched == fraValue_ && event->type() == QEvent::MouseButtonPress) {
        CommitText();
        return false;
    }
    for (QRadioButton* b : {Optdev1_[0], Optdev1_[1], Optdev2_[0], Optdev2_[1]}) {
        if (watched == b && event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmTestMode::done(int result) {
    exchange_->Shutdown();
    QDialog::done(result);
}

}  // namespace rm427
