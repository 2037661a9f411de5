#include "settings/FrmBatch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "channels/ChannelColumns.h"
#include "channels/ToneCodec.h"
#include "text/TextTable.h"
#include "ui/CharFilter.h"
#include "ui/SendTab.h"

namespace rm427::gui {

namespace {

QString Format5(int mhz) { return QString::number(mhz) + QStringLiteral(".00000"); }

template <std::size_t N>
void Group(QWidget* owner, QRadioButton* (&buttons)[N]) {
    auto* group = new QButtonGroup(owner);
    for (QRadioButton* b : buttons) group->addButton(b);
}

}  // namespace

FrmBatch::FrmBatch(Module1& state, MessageBoxes& boxes, ChannelsEditor channels, QWidget* parent)
    : QWidget(parent), state_(state), boxes_(boxes), channels_(std::move(channels)) {
    setObjectName(QStringLiteral("FrmBatch"));
    setAttribute(Qt::WA_DeleteOnClose);
    Build();
    Load();
}

QLabel* FrmBatch::Label(const char* name) {
    auto* l = new QLabel(picture1_);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

void FrmBatch::Build() {
    picture1_ = new QWidget(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    auto opt = [this](QRadioButton*& b, const QString& name) {
        b = new QRadioButton(picture1_);
        b->setObjectName(name);
    };
    auto edit = [this](QLineEdit*& e, const QString& name, Field kind, int maxLength, int width) {
        e = new QLineEdit(picture1_);
        e->setObjectName(name);
        e->setMaxLength(maxLength);
        e->setFixedWidth(width);
        Watch(e, kind);
    };
    for (int i = 0; i < 2; ++i) {
        opt(optBatch1_[i], QStringLiteral("OptBatch1_%1").arg(i));
        opt(optBatch2A_[i], QStringLiteral("OptBatch2A_%1").arg(i));
        opt(optBatch3A_[i], QStringLiteral("OptBatch3A_%1").arg(i));
        opt(optBatch3B_[i], QStringLiteral("OptBatch3B_%1").arg(i));
        opt(optBatch4A_[i], QStringLiteral("OptBatch4A_%1").arg(i));
        opt(optBatch5_[i], QStringLiteral("OptBatch5_%1").arg(i));
        opt(optBatch5A_[i], QStringLiteral("OptBatch5A_%1").arg(i));
    }
    for (int i = 0; i < 3; ++i) opt(optBatch3_[i], QStringLiteral("OptBatch3_%1").arg(i));
    Group(this, optBatch1_);
    Group(this, optBatch2A_);
    Group(this, optBatch3_);
    Group(this, optBatch3A_);
    Group(this, optBatch3B_);
    Group(this, optBatch4A_);
    Group(this, optBatch5_);
    Group(this, optBatch5A_);

    const int freqWidth = 84, shortWidth = 44;
    edit(txtBatch0_[0], QStringLiteral("TxtBatch0_0"), Field::Range, 3, shortWidth);
    edit(txtBatch0_[1], QStringLiteral("TxtBatch0_1"), Field::Range, 3, shortWidth);
    for (int i = 1; i <= 3; ++i)
        edit(txtBatch1_[i], QStringLiteral("TxtBatch1_%1").arg(i), Field::Freq, 9, freqWidth);
    for (int i = 1; i <= 2; ++i) {
        edit(txtBatch2_[i], QStringLiteral("TxtBatch2_%1").arg(i), Field::Step, 6, shortWidth + 16);
        edit(txtBatch3_[i], QStringLiteral("TxtBatch3_%1").arg(i), Field::Interval, 2, shortWidth);
        cboBatch_[i - 1] = new QComboBox(picture1_);
        cboBatch_[i - 1]->setObjectName(QStringLiteral("CboBatch_%1").arg(i - 1));
        cboBatch_[i - 1]->setMaxVisibleItems(20);
    }
    edit(txtBatch7_, QStringLiteral("TxtBatch7"), Field::Name, 5, freqWidth);
    chkBatch4_ = new QCheckBox(picture1_);
    chkBatch4_->setObjectName(QStringLiteral("ChkBatch4"));
    chkBatch5_ = new QCheckBox(picture1_);
    chkBatch5_->setObjectName(QStringLiteral("ChkBatch5"));
    for (int i = 0; i < 2; ++i) {
        command1_[i] = new QPushButton(picture1_);
        command1_[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        command1_[i]->setAutoDefault(false);
    }
    for (int i : {0, 1, 2, 3, 6, 7, 8}) {
        cboBatch6_[i] = new QComboBox(picture1_);
        cboBatch6_[i]->setObjectName(QStringLiteral("CboBatch6_%1").arg(i));
        lblBatch6_[i] = Label(QStringLiteral("lblBatch6_%1").arg(i).toLatin1().constData());
        lblBatch6_[i]->setBuddy(cboBatch6_[i]);
    }
    lblBatch1_[0] = Label("lblBatch1_0");
    lblBatch1_[1] = Label("lblBatch1_1");
    for (int i = 0; i < 3; ++i) lblBatch2_[i] = Label(QStringLiteral("lblBatch2_%1").arg(i).toLatin1());
    lblBatch3_[0] = Label("lblBatch3_0");
    lblBatch3_[3] = Label("lblBatch3_3");
    for (int i = 0; i < 3; ++i) {
        lblBatch4_[i] = Label(QStringLiteral("lblBatch4_%1").arg(i).toLatin1());
        lblBatch5_[i] = Label(QStringLiteral("lblBatch5_%1").arg(i).toLatin1());
    }
    lblBatch7_ = Label("lblBatch7");
    label1_ = Label("Label1");
    label2_ = Label("Label2");
    QFont heading = lblBatch1_[0]->font();
    heading.setBold(true);
    for (QLabel* l : {lblBatch1_[0], lblBatch2_[0], lblBatch3_[0], lblBatch4_[0], lblBatch5_[0]})
        l->setFont(heading);

    // The fields area: one block of lines per area, headings on the left.
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);
    auto pairBox = [](QWidget* a, QWidget* b) {
        auto* h = new QHBoxLayout;
        h->setSpacing(6);
        h->addWidget(a);
        h->addWidget(b);
        h->addStretch(1);
        return h;
    };
    int r = 0;
    g->addWidget(lblBatch1_[0], r, 0);
    g->addWidget(optBatch1_[0], r, 1);
    g->addWidget(optBatch1_[1], r, 2);
    g->addWidget(txtBatch0_[0], r, 3);
    g->addWidget(lblBatch1_[1], r, 4, Qt::AlignRight);
    g->addWidget(txtBatch0_[1], r, 5);
    ++r;
    g->addWidget(lblBatch2_[0], r, 0);
    g->addWidget(lblBatch2_[1], r, 1, 1, 2);
    g->addWidget(txtBatch1_[1], r, 3);
    ++r;
    g->addWidget(lblBatch2_[2], r, 1, 1, 2);
    g->addWidget(txtBatch2_[1], r, 3);
    g->addWidget(label1_, r, 4);
    g->addLayout(pairBox(optBatch2A_[0], optBatch2A_[1]), r, 5, 1, 2);
    ++r;
    g->addWidget(lblBatch3_[0], r, 0);
    g->addWidget(optBatch3_[0], r, 1, 1, 2);
    ++r;
    g->addWidget(optBatch3_[1], r, 1, 1, 2);
    g->addWidget(txtBatch1_[2], r, 3);
    g->addLayout(pairBox(optBatch3A_[0], optBatch3A_[1]), r, 5, 1, 2);
    ++r;
    g->addWidget(optBatch3_[2], r, 1, 1, 2);
    g->addWidget(txtBatch1_[3], r, 3);
    ++r;
    g->addWidget(lblBatch3_[3], r, 1, 1, 2);
    g->addWidget(txtBatch2_[2], r, 3);
    g->addWidget(label2_, r, 4);
    g->addLayout(pairBox(optBatch3B_[0], optBatch3B_[1]), r, 5, 1, 2);
    ++r;
    g->addWidget(lblBatch4_[0], r, 0);
    g->addWidget(lblBatch4_[1], r, 1, Qt::AlignRight);
    g->addWidget(cboBatch_[0], r, 2, 1, 2);
    g->addWidget(chkBatch4_, r, 4);
    ++r;
    g->addWidget(lblBatch4_[2], r, 1, 1, 2);
    g->addWidget(txtBatch3_[1], r, 3);
    g->addLayout(pairBox(optBatch4A_[0], optBatch4A_[1]), r, 5, 1, 2);
    ++r;
    g->addWidget(lblBatch5_[0], r, 0);
    g->addWidget(optBatch5_[0], r, 1, 1, 2);
    ++r;
    g->addWidget(optBatch5_[1], r, 1, Qt::AlignRight);
    g->addWidget(cboBatch_[1], r, 2, 1, 2);
    g->addWidget(chkBatch5_, r, 4);
    ++r;
    g->addWidget(lblBatch5_[2], r, 1, 1, 2);
    g->addWidget(txtBatch3_[2], r, 3);
    g->addLayout(pairBox(optBatch5A_[0], optBatch5A_[1]), r, 5, 1, 2);
    g->setColumnStretch(6, 1);
    g->setRowStretch(r + 1, 1);

    // The options, top to bottom in this order.
    auto* options = new QGridLayout;
    options->setVerticalSpacing(6);
    int o = 0;
    for (int i : {2, 0, 1, 6, 3, 7, 8}) {
        options->addWidget(lblBatch6_[i], o, 0);
        options->addWidget(cboBatch6_[i], o++, 1);
    }
    lblBatch7_->setBuddy(txtBatch7_);
    options->addWidget(lblBatch7_, o, 0);
    options->addWidget(txtBatch7_, o++, 1);
    options->setRowStretch(o, 1);
    options->setColumnStretch(1, 1);

    auto* areas = new QHBoxLayout;
    areas->addLayout(g, 3);
    auto* line = new QFrame(picture1_);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    areas->addWidget(line);
    areas->addLayout(options, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command1_[0]);
    buttons->addWidget(command1_[1]);

    auto* column = new QVBoxLayout(picture1_);
    column->addLayout(areas, 1);
    column->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(picture1_);

    // Rules of the options.
    connect(optBatch1_[0], &QRadioButton::toggled, this, &FrmBatch::RangeOptionRule);
    for (QRadioButton* b : optBatch3_) connect(b, &QRadioButton::toggled, this, &FrmBatch::TxOptionRule);
    connect(optBatch5_[0], &QRadioButton::toggled, this, &FrmBatch::EncodeOptionRule);
    connect(chkBatch4_, &QCheckBox::toggled, this, &FrmBatch::RandomRules);
    connect(chkBatch5_, &QCheckBox::toggled, this, &FrmBatch::RandomRules);
    connect(command1_[0], &QPushButton::clicked, this, &FrmBatch::ApplyBatch);
    // Close: the window goes after a pause of 5 ms.
    connect(command1_[1], &QPushButton::clicked, this, [this] {
        QTimer::singleShot(5, this, [this] {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
            else close();
        });
    });

    // Tab follows the layout: range, receive, transmit, decode, encode, the
    // options column, Apply, Close.
    const QList<QWidget*> order = {
        optBatch1_[0],  optBatch1_[1],  txtBatch0_[0], txtBatch0_[1],  txtBatch1_[1],  txtBatch2_[1],
        optBatch2A_[0], optBatch2A_[1], optBatch3_[0], optBatch3_[1],  txtBatch1_[2],  optBatch3A_[0],
        optBatch3A_[1], optBatch3_[2],  txtBatch1_[3], txtBatch2_[2],  optBatch3B_[0], optBatch3B_[1],
        cboBatch_[0],   chkBatch4_,     txtBatch3_[1], optBatch4A_[0], optBatch4A_[1], optBatch5_[0],
        optBatch5_[1],  cboBatch_[1],   chkBatch5_,    txtBatch3_[2],  optBatch5A_[0], optBatch5A_[1],
        cboBatch6_[2],  cboBatch6_[0],  cboBatch6_[1], cboBatch6_[6],  cboBatch6_[3],  cboBatch6_[7],
        cboBatch6_[8],  txtBatch7_,     command1_[0],  command1_[1]};
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    new EnterSendsTab(this);
}

void FrmBatch::Load() {
    // The window is 480 x 600 twips larger than its 9255 x 5535 container.
    resize(649, 409);
    for (int i : {0, 1, 2, 3, 6, 7, 8}) {
        cboBatch6_[i]->clear();
        const int items = (i == 6 || i == 8) ? 3 : 2;
        for (int k = 0; k < items; ++k) cboBatch6_[i]->addItem(QString());
        cboBatch6_[i]->setCurrentIndex(0);
    }
    cboBatch6_[7]->setCurrentIndex(1);  // VOX "No"
    cboBatch6_[3]->setCurrentIndex(1);  // BCL "No"
    tones_ = ToneList(state_.Language);
    for (QComboBox* box : cboBatch_) {
        box->clear();
        for (const std::string& t : tones_) box->addItem(QString::fromStdString(t));
        box->setCurrentIndex(0);
    }
    RefreshBatchFace();

    txtBatch0_[0]->setText(QStringLiteral("1"));
    txtBatch0_[1]->setText(QString::number(state_.CHCount));
    txtBatch1_[1]->setText(Format5(state_.FreqLimitLow));
    txtBatch1_[2]->setText(QStringLiteral("0.00000"));
    txtBatch1_[3]->setText(Format5(state_.FreqLimitLow));
    txtBatch2_[1]->setText(QStringLiteral("0"));
    txtBatch2_[2]->setText(QStringLiteral("0"));
    txtBatch3_[1]->setText(QStringLiteral("0"));
    txtBatch3_[2]->setText(QStringLiteral("0"));
    txtBatch7_->clear();
    chkBatch4_->setChecked(false);
    chkBatch5_->setChecked(false);
    for (QRadioButton* b : {optBatch1_[0], optBatch2A_[0], optBatch3_[0], optBatch3A_[0], optBatch3B_[0],
                            optBatch4A_[0], optBatch5_[0], optBatch5A_[0]})
        b->setChecked(true);
    // The rules run on selection; run them once for the initial state too.
    RangeOptionRule();
    TxOptionRule();
    EncodeOptionRule();
    RandomRules();
    UpdateRange();
}

void FrmBatch::RefreshBatchFace() {
    const int lang = state_.Language;
    auto T = [lang](int n) { return QString::fromStdString(LoadText(lang, n)); };
    setWindowTitle(T(1346));
    lblBatch1_[0]->setText(T(1351));
    optBatch1_[0]->setText(T(1244) + T(1352));
    optBatch1_[1]->setText(T(1353) + T(1352));
    lblBatch1_[1]->setText(T(1354) + T(1352));
    lblBatch2_[0]->setText(T(1121) + QStringLiteral(":"));
    lblBatch2_[1]->setText(T(1356) + T(1355) + QStringLiteral("(Mhz)"));
    lblBatch2_[2]->setText(T(1262) + T(1357) + QStringLiteral("(KHz)"));
    label1_->setText(QStringLiteral("(5 - 1000)"));
    label2_->setText(QStringLiteral("(5 - 1000)"));
    for (QRadioButton* const* pair : {optBatch2A_, optBatch3B_, optBatch4A_, optBatch5A_}) {
        pair[0]->setText(T(1358));
        pair[1]->setText(T(1359));
    }
    lblBatch3_[0]->setText(T(1122) + QStringLiteral(":"));
    optBatch3_[0]->setText(T(1360));
    optBatch3_[1]->setText(T(1361) + QStringLiteral("(Mhz)"));
    optBatch3A_[0]->setText(T(1362));
    optBatch3A_[1]->setText(T(1363));
    optBatch3_[2]->setText(T(1356) + T(1355) + QStringLiteral("(Mhz)"));
    lblBatch3_[3]->setText(T(1263) + T(1357) + QStringLiteral("(KHz)"));
    lblBatch4_[0]->setText(T(1364) + QStringLiteral(":"));
    lblBatch4_[1]->setText(T(1356));
    chkBatch4_->setText(T(1367));
    lblBatch4_[2]->setText(T(1366));
    lblBatch5_[0]->setText(T(1365) + QStringLiteral(":"));
    optBatch5_[0]->setText(T(1360));
    optBatch5_[1]->setText(T(1356));
    chkBatch5_->setText(T(1367));
    lblBatch5_[2]->setText(T(1366));
    lblBatch6_[2]->setText(T(1127));
    lblBatch6_[0]->setText(T(1128));
    lblBatch6_[1]->setText(T(1132));
    lblBatch6_[6]->setText(T(1131));
    lblBatch6_[3]->setText(T(1129));
    lblBatch6_[7]->setText(T(1382));
    lblBatch6_[8]->setText(T(1383));
    lblBatch7_->setText(T(1398) + QStringLiteral(":"));
    command1_[0]->setText(T(1347));
    command1_[1]->setText(T(1348));

    auto relabel = [this](QComboBox* box, int column) {
        const std::vector<std::string> texts = BatchItemTexts(state_.Language, column);
        for (int i = 0; i < box->count() && i < int(texts.size()); ++i)
            box->setItemText(i, QString::fromStdString(texts[std::size_t(i)]));
    };
    relabel(cboBatch6_[2], colPower);
    relabel(cboBatch6_[0], colBandwidth);
    relabel(cboBatch6_[1], colScanAdd);
    relabel(cboBatch6_[6], colBeatShift);
    relabel(cboBatch6_[3], colBCL);
    relabel(cboBatch6_[7], colVOX);
    relabel(cboBatch6_[8], colOption);
    const QString none = QString::fromStdString(NewChannelText(state_.Language, colDecode));
    for (QComboBox* box : cboBatch_)
        if (box->count() > 0) box->setItemText(0, none);
}

// ---- Option rules -----------------------------------------------------------

void FrmBatch::RangeOptionRule() {
    const bool all = optBatch1_[0]->isChecked();
    for (QLineEdit* e : txtBatch0_) e->setEnabled(!all);
    if (all) {
        txtBatch0_[0]->setText(QStringLiteral("1"));
        txtBatch0_[1]->setText(QString::number(state_.CHCount));
    }
}

void FrmBatch::TxOptionRule() {
    const bool offset = optBatch3_[1]->isChecked(), own = optBatch3_[2]->isChecked();
    txtBatch1_[2]->setEnabled(offset);
    for (QRadioButton* b : optBatch3A_) b->setEnabled(offset);
    txtBatch1_[3]->setEnabled(own);
    txtBatch2_[2]->setEnabled(own);
    for (QRadioButton* b : optBatch3B_) b->setEnabled(own);
    if (optBatch3_[0]->isChecked()) {
        txtBatch1_[2]->setText(QStringLiteral("0.00000"));
        txtBatch1_[3]->setText(Format5(state_.FreqLimitLow));
        txtBatch2_[2]->setText(QStringLiteral("0"));
        optBatch3A_[0]->setChecked(true);
        optBatch3B_[0]->setChecked(true);
    }
}

void FrmBatch::EncodeOptionRule() {
    const bool same = optBatch5_[0]->isChecked();
    if (same) {
        cboBatch_[1]->setCurrentIndex(0);
        txtBatch3_[2]->setText(QStringLiteral("0"));
        chkBatch5_->setChecked(false);
        optBatch5A_[0]->setChecked(true);
    }
    chkBatch5_->setEnabled(!same);
    RandomRules();
}

void FrmBatch::RandomRules() {
    const bool decodeOwn = !chkBatch4_->isChecked();
    cboBatch_[0]->setEnabled(decodeOwn);
    txtBatch3_[1]->setEnabled(decodeOwn);
    for (QRadioButton* b : optBatch4A_) b->setEnabled(decodeOwn);
    const bool encodeOwn = optBatch5_[1]->isChecked() && !chkBatch5_->isChecked();
    cboBatch_[1]->setEnabled(encodeOwn);
    txtBatch3_[2]->setEnabled(encodeOwn);
    for (QRadioButton* b : optBatch5A_) b->setEnabled(encodeOwn);
}

// ---- Fields -----------------------------------------------------------------

void FrmBatch::Watch(QLineEdit* edit, Field kind) {
    fields_[edit] = kind;
    edit->installEventFilter(this);
    FilterChars(edit, FieldChars(kind));
    if (kind != Field::Freq)
        connect(edit, &QLineEdit::textChanged, this, [this, edit, kind] { FieldChanged(edit, kind); });
}

void FrmBatch::SetText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
    edit->setCursorPosition(int(edit->text().size()));
}

void FrmBatch::FieldChanged(QLineEdit* edit, Field kind) {
    const std::string text = edit->text().toStdString();
    switch (kind) {
    case Field::Range:
        SetText(edit, QString::fromStdString(RangeFieldChanged(text, state_.CHCount)));
        UpdateRange();
        break;
    case Field::Step: SetText(edit, QString::fromStdString(BatchStepChanged(text))); break;
    case Field::Interval: SetText(edit, QString::fromStdString(IntervalChanged(text))); break;
    case Field::Name:  // pasted text is cleaned by the field's filter
    case Field::Freq: break;
    }
}

void FrmBatch::UpdateRange() {
    auto channel = [this](const QLineEdit* e) {
        const std::string t = RangeFieldChanged(e->text().toStdString(), state_.CHCount);
        return t.empty() ? 0 : std::stoi(t);
    };
    fromChannel_ = channel(txtBatch0_[0]);
    toChannel_ = channel(txtBatch0_[1]);
}

void FrmBatch::Validate(QLineEdit* edit) {
    const std::string text = edit->text().toStdString();
    const Field kind = fields_[edit];
    if (kind == Field::Range) {
        std::string from = txtBatch0_[0]->text().toStdString();
        std::string to = txtBatch0_[1]->text().toStdString();
        ValidateRangeFields(from, to, edit == txtBatch0_[0], state_.CHCount);
        SetText(txtBatch0_[0], QString::fromStdString(from));
        SetText(txtBatch0_[1], QString::fromStdString(to));
        UpdateRange();
    } else if (kind == Field::Freq) {
        const FieldCheck c = edit == txtBatch1_[2] ? ValidateBatchOffset(state_, text)
                                                   : ValidateBatchStartFreq(state_, text);
        edit->setText(QString::fromStdString(c.text));
        if (c.outOfRange) ShowFreqOutOfRange(boxes_, state_.Language);
    } else if (kind == Field::Step) {
        edit->setText(QString::fromStdString(ValidateBatchStep(text)));
    } else if (kind == Field::Interval) {
        edit->setText(QString::fromStdString(ValidateInterval(text)));
    }
}

bool FrmBatch::FieldKey(QLineEdit* edit, Field kind, QKeyEvent* ke) {
    const int key = ke->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
    // Key down of the range and interval fields: whole number first, then
    // Up and Down count with wrap-around.
    if (kind == Field::Range || kind == Field::Interval) {
        const rm427::FieldKey k = key == Qt::Key_Up     ? rm427::FieldKey::Up
                                  : key == Qt::Key_Down ? rm427::FieldKey::Down
                                                        : rm427::FieldKey::Other;
        const std::string text = edit->text().toStdString();
        const std::string now =
            kind == Field::Range ? RangeFieldKeyDown(text, k, state_.CHCount) : IntervalKeyDown(text, k);
        if (QString::fromStdString(now) != edit->text()) SetText(edit, QString::fromStdString(now));
        if (k != rm427::FieldKey::Other) return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (kind != Field::Name) Validate(edit);
        SendTab(edit);
        return true;
    }
    if (key == Qt::Key_Escape) return true;
    if (key == Qt::Key_Backspace) return false;
    const QString text = ke->text();
    if (text.isEmpty()) return false;  // caret and editing keys
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if (text.size() != 1) return true;
    // Characters the field takes go on to it (its filter maps them: upper
    // case, decimal comma); every other key is dropped here.
    return FieldChars(kind)(text[0]).isNull();
}

CharMap FrmBatch::FieldChars(Field kind) {
    switch (kind) {
    case Field::Range:
    case Field::Interval: return DigitChar;
    case Field::Freq: return FreqChar;
    case Field::Step: return DecimalChar;
    case Field::Name: return NameChar;
    }
    return DigitChar;
}

bool FrmBatch::eventFilter(QObject* watched, QEvent* event) {
    auto it = fields_.find(watched);
    if (it != fields_.end()) {
        auto* edit = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress)
            return FieldKey(edit, it->second, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusIn && it->second != Field::Name)
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return QWidget::eventFilter(watched, event);
}

void FrmBatch::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit Unloaded();
}

// ---- Apply ------------------------------------------------------------------

BatchInputs FrmBatch::Inputs() const {
    BatchInputs in;
    auto s = [](const QLineEdit* e) { return e->text().toStdString(); };
    in.fromChannel = fromChannel_;
    in.toChannel = toChannel_;
    in.rxText = s(txtBatch1_[1]);
    in.rxStepText = s(txtBatch2_[1]);
    in.rxAscending = optBatch2A_[0]->isChecked();
    in.txMode = optBatch3_[1]->isChecked()   ? txOffset
                : optBatch3_[2]->isChecked() ? txOwnStart
                                             : txSameAsRx;
    in.offsetText = s(txtBatch1_[2]);
    in.offsetPlus = optBatch3A_[0]->isChecked();
    in.txText = s(txtBatch1_[3]);
    in.txStepText = s(txtBatch2_[2]);
    in.txAscending = optBatch3B_[0]->isChecked();
    in.decodeIndex = cboBatch_[0]->currentIndex();
    in.decodeRandom = chkBatch4_->isChecked();
    in.decodeIntervalText = s(txtBatch3_[1]);
    in.decodeAscending = optBatch4A_[0]->isChecked();
    in.encodeSameAsDecode = optBatch5_[0]->isChecked();
    in.encodeIndex = cboBatch_[1]->currentIndex();
    in.encodeRandom = chkBatch5_->isChecked();
    in.encodeIntervalText = s(txtBatch3_[2]);
    in.encodeAscending = optBatch5A_[0]->isChecked();
    in.bandwidth = cboBatch6_[0]->currentIndex();
    in.scanAdd = cboBatch6_[1]->currentIndex();
    in.power = cboBatch6_[2]->currentIndex();
    in.bcl = cboBatch6_[3]->currentIndex();
    in.beatShift = cboBatch6_[6]->currentIndex();
    in.vox = cboBatch6_[7]->currentIndex();
    in.option = cboBatch6_[8]->currentIndex();
    in.name = s(txtBatch7_);
    return in;
}

void FrmBatch::ApplyBatch() {
    // A field typed into but never confirmed with Enter is checked now, so no
    // frequency outside the limits and no channel 0 reaches the channels.
    // The range fields only clamp here: a reversed range still does nothing.
    for (QLineEdit* e : txtBatch0_)
        SetText(e, QString::fromStdString(ClampChannelField(e->text().toStdString(), state_.CHCount)));
    UpdateRange();
    Validate(txtBatch1_[1]);
    Validate(txtBatch2_[1]);
    if (optBatch3_[1]->isChecked()) Validate(txtBatch1_[2]);
    if (optBatch3_[2]->isChecked()) {
        Validate(txtBatch1_[3]);
        Validate(txtBatch2_[2]);
    }
    Validate(txtBatch3_[1]);
    Validate(txtBatch3_[2]);
    const BatchInputs in = Inputs();
    if (in.toChannel < in.fromChannel || !channels_) return;
    channels_([&](ChannelList& list) { rm427::ApplyBatch(state_, in, random_, list); });
}

}  // namespace rm427::gui
