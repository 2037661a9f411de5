#include "settings/frmSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "text/TextTable.h"
#include "ui/CharFilter.h"
#include "ui/SendTab.h"

namespace rm427::gui {

namespace {

// The message item of Combo1 and the label of Text1 are not in the text
// table; the window picks them by language.
QString MessageText(int language) {
    return language == 1 ? QStringLiteral("显示信息") : QStringLiteral("Dis. Information");
}

// Relabels the items of a list in place; never adds or removes one.
void Relabel(QComboBox* box, const QStringList& texts) {
    for (int i = 0; i < box->count() && i < texts.size(); ++i) box->setItemText(i, texts[i]);
}

void Fill(QComboBox* box, int count) {
    box->clear();
    for (int i = 0; i < count; ++i) box->addItem(QString());
}

}  // namespace

frmSet::frmSet(Module1& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmSet"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    picture1_ = new QWidget(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));

    for (int i = 0; i < kSettingsLists; ++i) {
        cboSet_[i] = new QComboBox(picture1_);
        cboSet_[i]->setObjectName(QStringLiteral("CboSet_%1").arg(i));
        cboSet_[i]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        cboSet_[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    for (int i = 0; i < 12; ++i) {
        lblSet_[i] = new QLabel(picture1_);
        lblSet_[i]->setObjectName(QStringLiteral("LblSet_%1").arg(i));
    }
    frame2_ = new QGroupBox(picture1_);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    chkSet1_ = new QCheckBox(frame2_);
    chkSet1_->setObjectName(QStringLiteral("ChkSet_1"));
    combo1_ = new QComboBox(picture1_);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label2_ = new QLabel(picture1_);
    label2_->setObjectName(QStringLiteral("Label2"));
    text1_ = new QLineEdit(picture1_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setMaxLength(5);
    for (int i = 0; i < 2; ++i) {
        command1_[i] = new QPushButton(picture1_);
        command1_[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        command1_[i]->setAutoDefault(false);  // Enter moves on, it never confirms
    }

    // Left: the general options; right: the display options; VOX below.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto pair = [&](QLabel* l, QWidget* w, int row, int col) {
        l->setBuddy(w);
        grid->addWidget(l, row, col);
        grid->addWidget(w, row, col + 1);
    };
    const int left[] = {setSquelch, setBatterySave, setTimeOut, setScanMode, setBeep, setVoice};
    for (int r = 0; r < 6; ++r) pair(lblSet_[left[r]], cboSet_[left[r]], r, 0);
    grid->setColumnMinimumWidth(2, 12);
    pair(lblSet_[setPowerOff], cboSet_[setPowerOff], 0, 3);
    pair(lblSet_[setWorkingMode], cboSet_[setWorkingMode], 1, 3);
    pair(lblSet_[setChannelDisplay], cboSet_[setChannelDisplay], 2, 3);
    pair(label2_, combo1_, 3, 3);
    pair(lblSet_[11], text1_, 4, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    auto* vox = new QGridLayout(frame2_);
    vox->addWidget(lblSet_[setVoxGain], 0, 0);
    vox->addWidget(cboSet_[setVoxGain], 0, 1);
    vox->addWidget(lblSet_[setVoxDelay], 0, 2);
    vox->addWidget(cboSet_[setVoxDelay], 0, 3);
    vox->addWidget(chkSet1_, 1, 0, 1, 4);
    lblSet_[setVoxGain]->setParent(frame2_);
    lblSet_[setVoxDelay]->setParent(frame2_);
    cboSet_[setVoxGain]->setParent(frame2_);
    cboSet_[setVoxDelay]->setParent(frame2_);
    lblSet_[setVoxGain]->setBuddy(cboSet_[setVoxGain]);
    lblSet_[setVoxDelay]->setBuddy(cboSet_[setVoxDelay]);
    vox->setColumnStretch(1, 1);
    vox->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command1_[0]);
    buttons->addWidget(command1_[1]);

    auto* column = new QVBoxLayout(picture1_);
    column->addLayout(grid);
    column->addWidget(frame2_);
    column->addStretch(1);
    column->addLayout(buttons);

    // Tab order: down the left column, down the right one, VOX, buttons.
    QWidget* order[] = {cboSet_[0], cboSet_[1], cboSet_[2],   cboSet_[3],  cboSet_[4], cboSet_[5],
                        cboSet_[6], cboSet_[7], cboSet_[10],  combo1_,     text1_,     cboSet_[8],
                        cboSet_[9], chkSet1_,   command1_[0], command1_[1]};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    new EnterSendsTab(this);
    text1_->installEventFilter(this);
    FilterChars(text1_, NameChar);  // also what is pasted or dropped
    connect(command1_[0], &QPushButton::clicked, this, [this] {
        StoreSettings();
        accept();
    });
    connect(command1_[1], &QPushButton::clicked, this, &QDialog::reject);

    // Load: size (6885 x 4860 twips), lists, texts, selections.
    for (int i = 0; i < kSettingsLists; ++i) Fill(cboSet_[i], kSettingsListSizes[i]);
    Fill(combo1_, 3);
    for (int i = 0; i < 10; ++i) cboSet_[setSquelch]->setItemText(i, QString::number(i));
    for (int i = 0; i < 8; ++i) cboSet_[setVoxGain]->setItemText(i, QString::number(i + 1));
    RefreshSetFace();
    ShowSettings();
    // 6885 x 4860 twips, or what the texts of the language need.
    const QSize hint = picture1_->minimumSizeHint();
    setMinimumSize(hint);
    resize(qMax(459, hint.width()), qMax(324, hint.height()));
}

void frmSet::RefreshSetFace() {
    const int lang = state_.Language;
    auto T = [lang](int n) { return QString::fromStdString(LoadText(lang, n)); };
    setWindowTitle(T(1371));
    lblSet_[setSquelch]->setText(T(1161));
    lblSet_[setBatterySave]->setText(T(1164));
    lblSet_[setTimeOut]->setText(T(1386));
    lblSet_[setScanMode]->setText(T(1195) + T(1178));
    lblSet_[setBeep]->setText(T(1165));
    lblSet_[setVoice]->setText(T(1163));
    lblSet_[setPowerOff]->setText(T(1390));
    lblSet_[setWorkingMode]->setText(T(1178));
    lblSet_[setVoxGain]->setText(T(1173));
    lblSet_[setVoxDelay]->setText(T(1174));
    lblSet_[setChannelDisplay]->setText(T(1391));
    lblSet_[11]->setText(MessageText(lang));
    label2_->setText(T(1500));
    frame2_->setTitle(T(1171));
    chkSet1_->setText(T(1177));
    command1_[0]->setText(T(1156));
    command1_[1]->setText(T(1157));

    const QStringList offOn = {T(1150), T(1149)};
    Relabel(cboSet_[setBatterySave], offOn);
    Relabel(cboSet_[setBeep], offOn);
    Relabel(cboSet_[setVoice], offOn);
    QStringList tot = {T(1150)};
    for (int m = 1; m <= 7; ++m) tot << QString::number(m) + T(1388);
    Relabel(cboSet_[setTimeOut], tot);
    Relabel(cboSet_[setScanMode], {T(1393), T(1392)});
    QStringList apo = {T(1150)};
    for (int h = 1; h <= 15; ++h) apo << QString::number(h) + T(1394);
    Relabel(cboSet_[setPowerOff], apo);
    Relabel(cboSet_[setWorkingMode], {T(1395), T(1396), T(1397)});
    QStringList delay;
    for (int s = 1; s <= 4; ++s) delay << QString::number(s) + T(1387);
    Relabel(cboSet_[setVoxDelay], delay);
    Relabel(cboSet_[setChannelDisplay], {T(1398), T(1370)});
    Relabel(combo1_, {T(1150), MessageText(lang), T(1480)});
}

void frmSet::ShowSettings() {
    const SettingsSelections sel = rm427::ShowSettings(state_.Image);
    for (int i = 0; i < kSettingsLists; ++i) cboSet_[i]->setCurrentIndex(sel.list[i]);
    chkSet1_->setChecked(sel.voxInhibit);
    combo1_->setCurrentIndex(sel.powerOnDisplay);
    text1_->setText(QString::fromStdString(sel.message));
}

SettingsSelections frmSet::Selections() const {
    SettingsSelections sel;
    for (int i = 0; i < kSettingsLists; ++i) sel.list[i] = cboSet_[i]->currentIndex();
    sel.voxInhibit = chkSet1_->isChecked();
    sel.powerOnDisplay = combo1_->currentIndex();
    sel.message = text1_->text().toStdString();
    return sel;
}

void frmSet::StoreSettings() { rm427::StoreSettings(state_.Image, Selections()); }

bool frmSet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text1_) {
        if (event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, text1_, [t = text1_] { t->selectAll(); });
        } else if (event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            const int key = ke->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                SendTab(text1_);
                return true;  // never the dialog's default button
            }
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
            if (key == Qt::Key_Backspace || ke->text().isEmpty()) return false;  // editing keys
            if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                return false;  // shortcuts; pasted text goes through the filter
            // Message characters go on (the filter upper-cases them); every
            // other key is discarded.
            return ke->text().size() != 1 || NameChar(ke->text()[0]).isNull();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSet::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    picture1_->setGeometry(0, 0, width(), height());
}

}  // namespace rm427::gui
