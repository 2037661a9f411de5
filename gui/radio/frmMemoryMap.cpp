#include "radio/frmMemoryMap.h"

#include <array>

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rm427 {

namespace {

constexpr int kDataRows = 256;
constexpr int kDataCols = 16;

// The two hexadecimal digits of a byte. Made once: the table shows 4096 of
// them each time the window opens, and formatting each anew was a good part
// of its opening time.
const QString& HexByte(int value) {
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        const char* const digits = "0123456789ABCDEF";
        for (std::size_t v = 0; v < t.size(); ++v) {
            const char pair[2] = {digits[v >> 4], digits[v & 15]};
            t[v] = QString::fromLatin1(pair, 2);
        }
        return t;
    }();
    return texts[static_cast<std::size_t>(value & 0xFF)];
}

int HexDigit(QChar c) {
    const ushort u = c.toUpper().unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// Two hexadecimal digits to their value; -1 for anything else.
int HexValue(const QString& text) {
    if (text.size() != 2) return -1;
    const int hi = HexDigit(text[0]);
    const int lo = HexDigit(text[1]);
    return (hi < 0 || lo < 0) ? -1 : hi * 16 + lo;
}

// The character a key in the table stands for, when it starts an edit:
// 0-9 on the top row or the keypad, and the letter keys A-F.
QChar HexKeyChar(const QKeyEvent* key) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return QChar();
    const int k = key->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return QChar('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_A && k <= Qt::Key_F) return QChar('A' + (k - Qt::Key_A));
    return QChar();
}

}  // namespace

frmMemoryMap::frmMemoryMap(Module1& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmMemoryMap"));
    setWindowTitle(QStringLiteral("Memory Map"));
    setModal(false);

    msgMemory_ = new QTableWidget(kDataRows, kDataCols, this);
    msgMemory_->setObjectName(QStringLiteral("msgMemory"));
    msgMemory_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    msgMemory_->setSelectionMode(QAbstractItemView::SingleSelection);
    msgMemory_->setSelectionBehavior(QAbstractItemView::SelectItems);
    msgMemory_->setTabKeyNavigation(false);
    msgMemory_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    msgMemory_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    msgMemory_->setWordWrap(false);
    msgMemory_->horizontalHeader()->setSectionsClickable(false);
    msgMemory_->verticalHeader()->setSectionsClickable(false);
    msgMemory_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msgMemory_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    msgMemory_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    msgMemory_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    QStringList colLabels;
    for (int c = 0; c < kDataCols; ++c) colLabels << QString::number(c, 16).toUpper();
    QStringList rowLabels;
    for (int r = 0; r < kDataRows; ++r) rowLabels << QString::number(r, 16).toUpper();
    msgMemory_->setHorizontalHeaderLabels(colLabels);
    msgMemory_->setVerticalHeaderLabels(rowLabels);

    // The row-label column is twice as wide as a data column; the table shows
    // the label row and 16 data rows.
    const QFontMetrics fm(msgMemory_->font());
    const int unit = fm.horizontalAdvance(QStringLiteral("WW")) + 12;
    const int rowHeight = fm.height() + 8;
    msgMemory_->horizontalHeader()->setDefaultSectionSize(unit);
    msgMemory_->horizontalHeader()->setMinimumSectionSize(unit);
    msgMemory_->verticalHeader()->setDefaultSectionSize(rowHeight);
    msgMemory_->verticalHeader()->setMinimumSectionSize(rowHeight);
    msgMemory_->verticalHeader()->setFixedWidth(2 * unit);
    msgMemory_->horizontalHeader()->setFixedHeight(rowHeight);
    const int frame = 2 * msgMemory_->frameWidth();
    const int scrollWidth = msgMemory_->verticalScrollBar()->sizeHint().width();
    msgMemory_->setFixedSize(18 * unit + scrollWidth + frame, 17 * rowHeight + frame);

    txtMemory_ = new QLineEdit(msgMemory_->viewport());
    txtMemory_->setObjectName(QStringLiteral("txtMemory"));
    txtMemory_->setAlignment(Qt::AlignCenter);
    txtMemory_->setFrame(false);
    txtMemory_->setContextMenuPolicy(Qt::NoContextMenu);
    txtMemory_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), txtMemory_));
    txtMemory_->hide();

    lblAddr_ = new QLabel(QStringLiteral("0000"), this);
    lblAddr_->setObjectName(QStringLiteral("lblAddr"));
    auto* equals = new QLabel(QStringLiteral("="), this);
    LblValue_ = new QLabel(this);
    LblValue_->setObjectName(QStringLiteral("LblValue"));
    lblAddr_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 8);
    LblValue_->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("0000")) + 8);

    CmdOK_ = new QPushButton(QStringLiteral("&OK"), this);
    CmdOK_->setObjectName(QStringLiteral("CmdOK"));
    CmdCancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    CmdCancel_->setObjectName(QStringLiteral("CmdCancel"));
    for (QPushButton* b : {CmdOK_, CmdCancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblAddr_);
    bottom->addWidget(equals);
    bottom->addWidget(LblValue_);
    bottom->addStretch(1);
    bottom->addWidget(CmdOK_);
    bottom->addWidget(CmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(msgMemory_);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FillTable();
    msgMemory_->setCurrentCell(0, 0);
    LblValue_->setText(QString::number(loaded_[0]));

    connect(msgMemory_, &QTableWidget::currentCellChanged, this,
            [this](int, int, int, int) { ShowSelection(); });
    connect(msgMemory_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (Editing()) CancelEdit();
    });
    connect(msgMemory_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (Editing()) CancelEdit();
    });
    connect(CmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(CmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    msgMemory_->installEventFilter(this);
    msgMemory_->viewport()->installEventFilter(this);
    txtMemory_->installEventFilter(this);
    msgMemory_->setFocus();
}

frmMemoryMap* frmMemoryMap::ShowMap(Module1& state, QWidget* parent) {
    auto* map = new frmMemoryMap(state, parent);
    map->setAttribute(Qt::WA_DeleteOnClose);
    // Closed, it hands the keyboard back to the window that opened it.
    if (parent)
        QObject::connect(map, &QDialog::finished, parent,
                         [parent] { parent->window()->activateWindow(); });
    map->show();
    return map;
}

QString frmMemoryMap::TextMatrix(int row, int col) const {
    if (row < 0 || row >= kRows || col < 0 || col >= kCols) return QString();
    if (row == 0 && col == 0) return QString();
    if (row == 0) return QString::number(col - 1, 16).toUpper();
    if (col == 0) return QString::number(row - 1, 16).toUpper();
    const QTableWidgetItem* item = msgMemory_->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void frmMemoryMap::FillTable() {
    loaded_ = state_.Image;
    // Filled before the table is shown: nothing needs to hear of each of the
    // 4096 cells, which the model would otherwise announce one by one.
    const QSignalBlocker quiet(msgMemory_->model());
    for (int r = 0; r < kDataRows; ++r) {
        for (int c = 0; c < kDataCols; ++c) {
            auto* item = new QTableWidgetItem(HexByte(loaded_[r * kDataCols + c]));
            item->setTextAlignment(Qt::AlignCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            msgMemory_->setItem(r, c, item);
        }
    }
}

void frmMemoryMap::ShowSelection() {
    const int r = msgMemory_->currentRow();
    const int c = msgMemory_->currentColumn();
    if (r < 0 || c < 0) return;
    lblAddr_->setText(QString::number(r, 16).toUpper() + QString::number(c, 16).toUpper());
    const int value = HexValue(msgMemory_->item(r, c)->text());
    LblValue_->setText(value < 0 ? QString() : QString::number(value));
}

bool frmMemoryMap::Editing() const { return editRow_ >= 0; }

QString frmMemoryMap::Checked(const QString& text) {
    QString t = text.toUpper();
    if (t.isEmpty()) return QStringLiteral("FF");
    if (t.size() == 1) return QLatin1Char('0') + t;
    return t.left(2);
}

void frmMemoryMap::PlaceEditor() {
    const QRect cell = msgMemory_->visualRect(msgMemory_->model()->index(editRow_, editCol_));
    txtMemory_->setGeometry(cell);
}

void frmMemoryMap::StartEdit(int row, int col, const QString& initial, bool selectAll) {
    if (Editing()) LeaveEdit();
    msgMemory_->setCurrentCell(row, col);
    msgMemory_->scrollToItem(msgMemory_->item(row, col));
    editRow_ = row;
    editCol_ = col;
    savedText_ = msgMemory_->item(row, col)->text();
    PlaceEditor();
    txtMemory_->setText(initial);
    txtMemory_->show();
    txtMemory_->raise();
    txtMemory_->setFocus(Qt::OtherFocusReason);
    if (selectAll) txtMemory_->selectAll();
    else txtMemory_->setCursorPosition(static_cast<int>(txtMemory_->text().size()));
}

void frmMemoryMap::HideEditor() {
    hiding_ = true;
    editRow_ = editCol_ = -1;
    txtMemory_->hide();
    hiding_ = false;
}

void frmMemoryMap::CommitEdit() {
    const int row = editRow_;
    const int col = editCol_;
    msgMemory_->item(row, col)->setText(Checked(txtMemory_->text()));
    HideEditor();
    msgMemory_->setFocus(Qt::OtherFocusReason);
    // Next cell: along the row, then to the start of the next row, but Enter
    // on the last column stops moving from row 7F on.
    if (col < kDataCols - 1) msgMemory_->setCurrentCell(row, col + 1);
    else if (row + 1 < 128) msgMemory_->setCurrentCell(row + 1, 0);
    ShowSelection();
}

void frmMemoryMap::CancelEdit() {
    msgMemory_->item(editRow_, editCol_)->setText(savedText_);
    HideEditor();
    msgMemory_->setFocus(Qt::OtherFocusReason);
    ShowSelection();
}

void frmMemoryMap::LeaveEdit() {
    msgMemory_->item(editRow_, editCol_)->setText(Checked(txtMemory_->text()));
    HideEditor();
    ShowSelection();
}

bool frmMemoryMap::TableKey(QKeyEvent* key) {
    const int r = msgMemory_->currentRow();
    const int c = msgMemory_->currentColumn();
    if (r < 0 || c < 0) return false;
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        StartEdit(r, c, msgMemory_->item(r, c)->text(), true);
        return true;
    }
    const QChar ch = HexKeyChar(key);
    if (!ch.isNull()) {
        StartEdit(r, c, QString(ch), false);
        return true;
    }
    return false;
}

bool frmMemoryMap::EditorKey(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: CommitEdit(); return true;
    case Qt::Key_Escape: CancelEdit(); return true;
    case Qt::Key_Backspace: return false;
    default: break;
    }
    // Pasting could bring in anything; only typed digits get in.
    if (key->matches(QKeySequence::Paste)) return true;
    const QString text = key->text();
    if (text.size() != 1 || !text[0].isPrint()) return false;  // arrows, Delete, Home...
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if (HexDigit(text[0]) < 0) return true;
    if (txtMemory_->text().size() >= 2 && !txtMemory_->hasSelectedText()) return true;
    txtMemory_->insert(text.toUpper());
    return true;
}

bool frmMemoryMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMemory_) {
        if (event->type() == QEvent::KeyPress && Editing())
            return EditorKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut && Editing() && !hiding_) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another window keeps the edit open.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) LeaveEdit();
        }
        return false;
    }
    if (watched == msgMemory_ && event->type() == QEvent::KeyPress)
        return TableKey(static_cast<QKeyEvent*>(event));
    if (watched == msgMemory_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const QModelIndex index = msgMemory_->indexAt(mouse->position().toPoint());
        if (!index.isValid()) return false;
        StartEdit(index.row(), index.column(), msgMemory_->item(index.row(), index.column())->text(),
                  true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmMemoryMap::WriteBack() {
    // Only the bytes changed here go back: whatever another window stored in
    // the image meanwhile stays.
    for (int a = 0; a < kImageSize; ++a) {
        const int value = HexValue(msgMemory_->item(a / kDataCols, a % kDataCols)->text());
        if (value >= 0 && value != loaded_[a]) state_.Image[a] = static_cast<std::uint8_t>(value);
    }
}

void frmMemoryMap::done(int result) {
    if (result == QDialog::Accepted) {
        if (Editing()) LeaveEdit();
        emit writingBack();
        WriteBack();
    } else if (Editing()) {
        HideEditor();
    }
    QDialog::done(result);
}

}  // namespace rm427
