#include "channels/ChannelForm.h"

#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include "channels/ChannelColumns.h"
#include "channels/Channel.h"
#include "channels/ChannelRecord.h"
#include "channels/ToneCodec.h"
#include "channels/GridAccessible.h"
#include "shell/EditHistory.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"
#include "ui/CharFilter.h"
#include "ui/Twips.h"

namespace rm427::gui {
namespace {

// Column widths in twips: 1200, except the channel number, the two tone
// columns and the beat shift.
int ColumnWidthTwips(int col) {
    switch (col) {
    case colChannel: return 600;
    case colDecode:
    case colEncode: return 1350;
    case colBeatShift: return 1080;
    default: return 1200;
    }
}

constexpr int kGridLeftTwips = 120;
constexpr int kGridTopTwips = 120;

// The grid's view. Moving the current cell by the program or by a key
// selects that cell alone, whatever modifier is held: with Ctrl down (Ctrl+Z,
// Ctrl+Home, Ctrl+End) the view's own rule would toggle the new cell into
// the selection, or leave the old cell selected, and the next Delete would
// empty both. Clicks with Ctrl or Shift and Shift with the keys still
// select more than one cell.
//
// The channel numbers stay at the left edge however far the view scrolls
// sideways (End, a narrow window): a second view showing only that column
// lies over it, sharing the model and the selection. What the mouse does on
// it is done on the grid's own number column underneath.
class ChannelGridView : public QTableView {
public:
    explicit ChannelGridView(QWidget* parent) : QTableView(parent), numbers_(new QTableView(this)) {
        numbers_->setObjectName(QStringLiteral("ChannelNumbers"));
        numbers_->setFocusPolicy(Qt::NoFocus);
        numbers_->setFrameShape(QFrame::NoFrame);
        numbers_->setAutoScroll(false);
        numbers_->verticalHeader()->hide();
        numbers_->horizontalHeader()->setSectionsClickable(false);
        numbers_->horizontalHeader()->setHighlightSections(false);
        numbers_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        numbers_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        numbers_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        numbers_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        numbers_->viewport()->installEventFilter(this);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, numbers_->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(numbers_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
                &QScrollBar::setValue);
    }

    void setModel(QAbstractItemModel* model) override {
        QTableView::setModel(model);
        numbers_->setModel(model);
        numbers_->setSelectionModel(selectionModel());
        for (int c = colChannel + 1; c < model->columnCount(); ++c) numbers_->setColumnHidden(c, true);
    }

    // A cell moved to from the right must not end up under the numbers.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override {
        QTableView::scrollTo(index, hint);
        const int under = columnWidth(colChannel) - columnViewportPosition(index.column());
        if (index.isValid() && index.column() != colChannel && under > 0)
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - under);
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const auto only = QItemSelectionModel::ClearAndSelect;
        if (!event) return index.isValid() ? only : QItemSelectionModel::NoUpdate;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (!(key->modifiers() & Qt::ShiftModifier) && key->key() != Qt::Key_Space &&
                key->key() != Qt::Key_Select)
                return only;
        }
        return QTableView::selectionCommand(index, event);
    }

    void updateGeometries() override {
        QTableView::updateGeometries();
        const int width = columnWidth(colChannel);
        numbers_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
        numbers_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
        numbers_->setColumnWidth(colChannel, width);
        numbers_->setGeometry(viewport()->x(), horizontalHeader()->y(), width,
                              horizontalHeader()->height() + viewport()->height());
    }

    // Mouse events on the numbers go to the grid's number column, wherever
    // it has scrolled to.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != numbers_->viewport()) return QTableView::eventFilter(watched, event);
        const QPoint shift(columnViewportPosition(colChannel), 0);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            const auto* me = static_cast<const QMouseEvent*>(event);
            QMouseEvent moved(me->type(), me->position() + shift, me->scenePosition(),
                              me->globalPosition(), me->button(), me->buttons(), me->modifiers(),
                              me->pointingDevice());
            QCoreApplication::sendEvent(viewport(), &moved);
            return true;
        }
        case QEvent::ContextMenu: {
            const auto* ce = static_cast<const QContextMenuEvent*>(event);
            QContextMenuEvent moved(ce->reason(), ce->pos() + shift, ce->globalPos(), ce->modifiers());
            QCoreApplication::sendEvent(viewport(), &moved);
            return true;
        }
        default: return false;
        }
    }

private:
    QTableView* numbers_;
};

}  // namespace

// --- the grid's model -------------------------------------------------------

int ChannelGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

int ChannelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kChannelColumns;
}

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(Cell(index.row() + 1, index.column()));
    case Qt::AccessibleTextRole: return CellName(index.row() + 1, index.column());
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        // The channel number column looks fixed, like the header.
        if (index.column() == colChannel) return QApplication::palette().button();
        return {};
    default: return {};
    }
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kChannelColumns)
        return QString::fromStdString(Cell(0, section));
    // The rows' header says nothing: the grid hides it, and each cell's name
    // begins with its channel, so a screen reader that reads the row header
    // too would say the channel twice.
    return {};
}

QString ChannelGridModel::CellName(int row, int col, bool withValue) const {
    if (row < 1 || row > count_ || col < 0 || col >= kChannelColumns) return {};
    const int language = state_.Language;
    const std::string channel = std::to_string(row);
    if (col == colChannel) return QString::fromStdString(FillText(LoadText(language, 3572), {channel}));
    const std::string value = Cell(row, col);
    if (!withValue || value.empty())
        return QString::fromStdString(FillText(LoadText(language, 3571), {channel, Cell(0, col)}));
    return QString::fromStdString(FillText(LoadText(language, 3570), {channel, Cell(0, col), value}));
}

std::string ChannelGridModel::Cell(int row, int col) const {
    if (row < 0 || row > count_ || col < 0 || col >= kChannelColumns) return {};
    if (row == 0) return LoadText(state_.Language, ChannelColumnOf(col).title);
    if (col == colChannel) return std::to_string(row);
    if (row > kMaxChannels) return {};
    const Channel ch = ChannelAt(state_.Image, row);
    if (col == colName && !ch.programmed) {
        const auto typed = typedNames_.find(row);
        return typed == typedNames_.end() ? std::string() : typed->second;
    }
    return ChannelCell(ch, col, state_.Language);
}

void ChannelGridModel::ShowTypedName(int n, const std::string& name) {
    typedNames_[n] = name;
    ChannelChanged(n);
}

void ChannelGridModel::Changed() {
    typedNames_.clear();
    if (count_ != state_.CHCount) {
        beginResetModel();
        count_ = state_.CHCount;
        endResetModel();
    }
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kChannelColumns - 1));
    emit headerDataChanged(Qt::Horizontal, 0, kChannelColumns - 1);
}

void ChannelGridModel::ChannelChanged(int n) {
    if (n < 1 || n > count_) return;
    if (ChannelAt(state_.Image, n).programmed) typedNames_.erase(n);
    emit dataChanged(index(n - 1, 0), index(n - 1, kChannelColumns - 1));
}

// --- the window -------------------------------------------------------------

ChannelForm::ChannelForm(Module1& state, MessageBoxes& boxes, MDIForm1* main, QWidget* parent)
    : QWidget(parent), state_(state), boxes_(boxes), main_(main) {
    setObjectName(QStringLiteral("ChannelForm"));
    // 1. The background panel covers the screen.
    picture_ = new QWidget(this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    picture_->setGeometry(QRect(QPoint(0, 0), screen ? screen->size() : QSize(1600, 1000)));
    picture_->installEventFilter(this);

    // 3. The grid.
    model_ = new ChannelGridModel(state_, this);
    grid_ = new ChannelGridView(picture_);
    grid_->setObjectName(QStringLiteral("ChannelGrid"));
    UseGridAccessible(grid_);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const int rowHeight = fontMetrics().height() + 8;
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid_->horizontalHeader()->setFixedHeight(rowHeight + 2);
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur) {
                // The grid entered a cell. The channel number column is
                // never the current cell (Home, Left, Ctrl+Home end on the
                // receive frequency).
                if (!cur.isValid()) return;
                if (cur.column() == colChannel) {
                    grid_->setCurrentIndex(model_->index(cur.row(), colRxFreq));
                    return;
                }
                state_.CurCHRow = cur.row() + 1;
                state_.CurCHCol = cur.column();
                KeepChannelNumbersInView();
            });
    BuildRowCommands();
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ChannelForm::PlaceEditors);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ChannelForm::PlaceEditors);

    // The floating editors live on the grid, over the cell they edit.
    txt_ = new QLineEdit(grid_->viewport());
    txt_->setObjectName(QStringLiteral("txtChannel"));
    txt_->setAlignment(Qt::AlignCenter);
    txt_->setFrame(false);
    txt_->hide();
    txt_->installEventFilter(this);
    // Digits and "." for frequencies (a decimal comma is taken as "."); name
    // characters for the name, letters in upper case. A key the column does
    // not take changes nothing.
    FilterChars(txt_, [this](QChar c) { return editCol_ == colName ? NameChar(c) : FreqChar(c); });
    // 4. The tone list once; placeholders for the other two.
    for (int i = 0; i < 3; ++i) {
        cbo_[i] = new QComboBox(grid_->viewport());
        cbo_[i]->setObjectName(QStringLiteral("CboChannel_%1").arg(i));
        cbo_[i]->hide();
        cbo_[i]->installEventFilter(this);
    }
    for (const std::string& t : ToneList(state_.Language)) cbo_[0]->addItem(QString::fromStdString(t));
    cbo_[0]->setMaxVisibleItems(16);
    cbo_[1]->addItems({QString(), QString()});
    cbo_[2]->addItems({QString(), QString(), QString()});

    // 5. Column widths; 6. design width and height.
    FitColumns();
    designHeight_ = int(std::lround(ToTwipsY(grid_->horizontalHeader()->height()) * 28 + 80));
    grid_->setGeometry(ToPixelsX(kGridLeftTwips), ToPixelsY(kGridTopTwips), ToPixelsX(designWidth_),
                       ToPixelsY(designHeight_));

    close_ = new QPushButton(picture_);
    close_->setObjectName(QStringLiteral("Command1"));
    close_->installEventFilter(this);
    up_ = new QPushButton(picture_);
    up_->setObjectName(QStringLiteral("CmdCHUp"));
    down_ = new QPushButton(picture_);
    down_->setObjectName(QStringLiteral("CmdCHDown"));
    del_ = new QPushButton(picture_);
    del_->setObjectName(QStringLiteral("CmdCHDel"));
    for (QPushButton* b : {close_, up_, down_, del_}) b->setAutoDefault(false);
    setTabOrder(del_, close_);  // Close stands at the right end of the row
    connect(close_, &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
        else close();
    });
    // With several channels selected, CH Up and CH Down move them as a block.
    connect(up_, &QPushButton::clicked, this, [this] {
        if (SelectedChannels().size() > 1) MoveChannels(-1);
        else RowOperation(1400, &ChannelUp);
    });
    connect(down_, &QPushButton::clicked, this, [this] {
        if (SelectedChannels().size() > 1) MoveChannels(1);
        else RowOperation(1401, &ChannelDown);
    });
    connect(del_, &QPushButton::clicked, this, [this] { RowOperation(1402, &ChannelDelete); });

    // 8. Row 1, column 1 is the current cell.
    SetCurrent(1, colRxFreq);
    // 10.
    RefreshChannel();
    // 9. 8800 twips high. Wide enough for the resizing rule below to give the
    // grid its design width (from design width + 320 on): at the design width
    // plus 300 the grid shrank and cut the name column off. After the
    // captions, whose language may widen the columns.
    resize(ToPixelsX(designWidth_ + 330), ToPixelsY(8800));
}

int ChannelForm::ToPixelsX(double twips) const { return TwipsToPixelsX(this, twips); }
int ChannelForm::ToPixelsY(double twips) const { return TwipsToPixelsY(this, twips); }
double ChannelForm::ToTwipsX(int pixels) const { return PixelsToTwipsX(this, pixels); }
double ChannelForm::ToTwipsY(int pixels) const { return PixelsToTwipsY(this, pixels); }

QString ChannelForm::Text(int n) const { return QString::fromStdString(LoadText(state_.Language, n)); }

// Each column has its design width, or more where its title or one of its
// choices in the current language would not fit ("Beat Shift2" in English).
// The design width follows the columns.
void ChannelForm::FitColumns() {
    const QFontMetrics cells = grid_->fontMetrics();
    const QFontMetrics titles = grid_->horizontalHeader()->fontMetrics();
    const int margin = ToPixelsX(160);
    designWidth_ = 0;
    for (int c = 0; c < kChannelColumns; ++c) {
        int needed = titles.horizontalAdvance(Text(ChannelColumnOf(c).title));
        for (const std::string& t : ChoiceTexts(state_.Language, c))
            needed = std::max(needed, cells.horizontalAdvance(QString::fromStdString(t)));
        const int twips = std::max(ColumnWidthTwips(c), int(std::ceil(ToTwipsX(needed + margin))));
        grid_->setColumnWidth(c, ToPixelsX(twips));
        // The header keeps a column at its minimum section size, which some
        // styles make wider than the channel number column (Windows: 51 px).
        designWidth_ += std::max(twips, int(std::ceil(ToTwipsX(grid_->columnWidth(c)))));
    }
    // Room for the vertical scroll bar: 320 twips, or what this style's bar
    // and the grid's frame take where they are wider (Windows' are).
    if (state_.CHCount > 16) {
        const int bar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
        designWidth_ += std::max(320, int(std::ceil(ToTwipsX(bar + 2 * grid_->frameWidth()))));
    }
}

void ChannelForm::SetCaptions() {
    setWindowTitle(Text(1100));
    close_->setText(Text(1135));
    up_->setText(Text(1400));
    down_->setText(Text(1401));
    del_->setText(Text(1402));
    for (QPushButton* b : {close_, up_, down_, del_}) b->adjustSize();
    SetRowCaptions();
    FitColumns();
}

void ChannelForm::RefreshChannel() {
    SetCaptions();
    model_->Changed();
    // The buttons' widths follow their captions.
    resizeEvent(nullptr);
}

void ChannelForm::SaveCHData() { TransferFocus(); }

bool ChannelForm::Editing() const { return txtOpen_ || cboOpen_[0] || cboOpen_[1] || cboOpen_[2]; }

void ChannelForm::TransferFocus() {
    if (txtOpen_) {
        CommitText();
    } else {
        int i = 0;
        while (i < 3 && !cboOpen_[i]) ++i;
        if (i == 3) return;
        CommitCombo(i);
    }
    grid_->setFocus();
}

std::string ChannelForm::Cell(int row, int col) const { return model_->Cell(row, col); }

Channel ChannelForm::ChannelOf(int n) const {
    return n >= 1 && n <= kMaxChannels ? ChannelAt(state_.Image, n) : Channel{};
}

void ChannelForm::PutChannelOf(int n, const Channel& ch) {
    if (n < 1 || n > std::min<int>(state_.CHCount, kMaxChannels)) return;
    PutChannel(state_.Image, n, ch);
    model_->ChannelChanged(n);
}

ChannelForm::Selection ChannelForm::SelectedCells() const {
    Selection out;
    for (const QItemSelectionRange& r : grid_->selectionModel()->selection())
        out.push_back({r.top() + 1, r.left(), r.bottom() + 1, r.right()});
    return out;
}

void ChannelForm::PutState(int row, int col, const Selection& selection) {
    txtOpen_ = false;
    txt_->hide();
    for (int i = 0; i < 3; ++i) {
        cboOpen_[i] = false;
        cbo_[i]->hide();
    }
    model_->Changed();
    SetCurrent(row, col);
    if (selection.empty()) return;
    QItemSelection cells;
    for (const auto& [top, left, bottom, right] : selection)
        cells.select(model_->index(top - 1, left), model_->index(bottom - 1, right));
    grid_->selectionModel()->select(cells, QItemSelectionModel::ClearAndSelect);
}

void ChannelForm::Change(int name, const std::function<void()>& change) {
    if (history_) history_->Step(name, change);
    else change();
}

void ChannelForm::CommitText() {
    if (txtOpen_) Change(3410, [this] { ValidateText(); });
}

void ChannelForm::CommitCombo(int index) {
    if (cboOpen_[index]) Change(3410, [this, index] { ValidateCombo(index); });
}

void ChannelForm::EditChannels(const std::function<void(ChannelList&)>& edit) {
    TransferFocus();
    ChannelList list = ChannelListOf(state_);
    edit(list);
    PutChannelList(state_, list);
    model_->Changed();
}

void ChannelForm::ChangeChannels(int name, const std::function<void(ChannelList&)>& edit) {
    Change(name, [&] {
        ChannelList list = ChannelListOf(state_);
        edit(list);
        PutChannelList(state_, list);
    });
    model_->Changed();
}

void ChannelForm::SetCurrent(int row, int col) {
    state_.CurCHRow = row;
    state_.CurCHCol = col;
    if (row >= 1 && row <= model_->rowCount() && col >= 0 && col < kChannelColumns)
        grid_->setCurrentIndex(model_->index(row - 1, col));
}

// A channel is always started with its receive frequency, and the encoder
// of a channel without a transmit frequency is reached through that.
void ChannelForm::Redirect(int row, int& col) const {
    const bool rxEmpty = Cell(row, colRxFreq).empty();
    if (rxEmpty && col != colRxFreq) col = colRxFreq;
    else if (!rxEmpty && col == colEncode && Cell(row, colTxFreq).empty()) col = colTxFreq;
}

void ChannelForm::EditCell() {
    const int row = state_.CurCHRow, col = state_.CurCHCol;
    if (row < 1 || row > model_->rowCount()) return;
    editRow_ = row;
    editCol_ = col;
    switch (col) {
    case colRxFreq:
    case colTxFreq:
    case colName: OpenText(QString::fromStdString(Cell(row, col)), true); break;
    case colDecode:
    case colEncode:
        if (!Cell(row, col).empty()) OpenCombo(0);
        break;
    case colPower:
    case colBeatShift:
    case colOption: OpenCombo(2); break;
    case colBandwidth:
    case colScanAdd:
    case colBCL:
    case colVOX: OpenCombo(1); break;
    default: break;
    }
}

void ChannelForm::OpenText(const QString& text, bool selectAll) {
    txt_->setMaxLength(editCol_ == colName ? 5 : 9);
    txt_->setText(text);
    if (selectAll) txt_->selectAll();
    else txt_->setCursorPosition(static_cast<int>(txt_->text().size()));
    txtOpen_ = true;
    // The editor floats over its cell: it says which one it edits.
    txt_->setAccessibleName(model_->CellName(editRow_, editCol_, false));
    PlaceEditors();
    txt_->show();
    txt_->raise();
    txt_->setFocus();
}

void ChannelForm::OpenCombo(int index) {
    QComboBox* c = cbo_[index];
    c->setAccessibleName(model_->CellName(editRow_, editCol_, false));
    const Channel ch = ChannelOf(editRow_);
    if (index == 0) {
        c->setItemText(0, QString::fromStdString(NewChannelText(state_.Language, colDecode)));
        const int tone = editCol_ == colDecode ? ch.decode : ch.encode;
        c->setCurrentIndex(tone > 0 && tone < c->count() ? tone : 0);
    } else {
        const std::vector<std::string> items = ChoiceTexts(state_.Language, editCol_);
        for (int i = 0; i < int(items.size()) && i < c->count(); ++i)
            c->setItemText(i, QString::fromStdString(items[std::size_t(i)]));
        const int choice = ChoiceOf(ch, editCol_);
        if (choice >= 0 && choice < c->count()) c->setCurrentIndex(choice);
    }
    cboOpen_[index] = true;
    PlaceEditors();
    c->show();
    c->raise();
    c->setFocus();
}

// Over the cell being edited; the lists a little larger, so that they cover it.
void ChannelForm::PlaceEditors() {
    if (!Editing()) return;
    const QRect cell = grid_->visualRect(model_->index(editRow_ - 1, editCol_));
    const int dx = ToPixelsX(20), dy = ToPixelsY(20);
    if (txtOpen_) txt_->setGeometry(cell.left(), cell.top(), cell.width() - dx, cell.height() - dy);
    for (int i = 0; i < 3; ++i) {
        if (!cboOpen_[i]) continue;
        const int h = std::max(cbo_[i]->sizeHint().height(), cell.height() + dy);
        cbo_[i]->setGeometry(cell.left() - dx, cell.top() - dy + (cell.height() + dy - h) / 2 + dy / 2,
                             cell.width() + dx, h);
    }
}

void ChannelForm::ValidateText() {
    if (!txtOpen_) return;
    txtOpen_ = false;
    const std::string text = txt_->text().toStdString();
    // The grid takes the focus before the editor goes, or it passes on to
    // CH Up for a moment and a screen reader announces that button.
    if (txt_->hasFocus()) grid_->setFocus();
    txt_->hide();
    Channel ch = ChannelOf(editRow_);
    const bool outOfRange = CommitChannelText(state_, ch, editCol_, text);
    PutChannelOf(editRow_, ch);
    if (editCol_ == colName && !ch.programmed) model_->ShowTypedName(editRow_, ch.name);
    if (outOfRange) ShowFreqOutOfRange(boxes_, state_.Language);
}

void ChannelForm::ValidateCombo(int index) {
    if (!cboOpen_[index]) return;
    cboOpen_[index] = false;
    if (cbo_[index]->hasFocus()) grid_->setFocus();
    cbo_[index]->hide();
    const int picked = cbo_[index]->currentIndex();
    if (picked < 0) return;
    Channel ch = ChannelOf(editRow_);
    if (editCol_ == colDecode) ch.decode = picked;
    else if (editCol_ == colEncode) ch.encode = picked;
    else SetChoice(ch, editCol_, picked);
    PutChannelOf(editRow_, ch);
}

bool ChannelForm::GridKey(QKeyEvent* key) {
    const int row = state_.CurCHRow;
    int col = state_.CurCHCol;
    if (row < 1 || row > model_->rowCount()) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (col == colName && Cell(row, colRxFreq).empty()) col = colRxFreq;
        else Redirect(row, col);
        SetCurrent(row, col);
        EditCell();
        return true;
    }
    // F4 and Alt+Down on a list cell open the list itself, as in any list.
    if (key->key() == Qt::Key_F4 ||
        (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
        Redirect(row, col);
        SetCurrent(row, col);
        EditCell();
        for (QComboBox* c : cbo_)
            if (c->isVisible()) c->showPopup();
        return true;
    }
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (key->key() == Qt::Key_Home) {
        SetCurrent(ctrl ? 1 : row, colRxFreq);
        return true;
    }
    if (key->key() == Qt::Key_Left && col <= colRxFreq) return true;
    QString t = key->text();
    const bool keypad = key->modifiers() & Qt::KeypadModifier;
    if (keypad &&
        (key->key() == Qt::Key_Period || key->key() == Qt::Key_Comma || key->key() == Qt::Key_Delete))
        t = QStringLiteral(".");
    if (t.size() != 1 || !t[0].isPrint()) return false;  // arrows, paging: the grid's own
    const QChar freq = FreqChar(t[0]), name = NameChar(t[0]);
    if ((col == colRxFreq || col == colTxFreq) && !freq.isNull()) {
        if (col == colTxFreq && Cell(row, colRxFreq).empty()) col = colRxFreq;
        SetCurrent(row, col);
        editRow_ = row;
        editCol_ = col;
        OpenText(QString(freq), false);
    } else if (col == colName && !name.isNull()) {
        editRow_ = row;
        editCol_ = col;
        OpenText(QString(name), false);
    }
    // Any other character does nothing (and must not jump the grid around).
    return true;
}

bool ChannelForm::TextKey(QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        // Closed without a change: the cell keeps its text.
        txtOpen_ = false;
        grid_->setFocus();
        txt_->hide();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    const int row = editRow_, col = editCol_;
    CommitText();
    if (col == colRxFreq || col == colTxFreq) {
        grid_->setFocus();
        SetCurrent(row, col + 1);
    } else if (col == colName && row < state_.CHCount) {
        grid_->setFocus();
        SetCurrent(row + 1, colRxFreq);
    } else {
        grid_->setFocus();
    }
    return true;
}

bool ChannelForm::ComboKey(int index, QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape) {
        cboOpen_[index] = false;
        grid_->setFocus();
        cbo_[index]->hide();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    const int row = editRow_, col = editCol_;
    CommitCombo(index);
    grid_->setFocus();
    int next = col + 1;
    if (col == colDecode && Cell(row, colTxFreq).empty()) next = colPower;
    SetCurrent(row, std::min(next, int(colName)));
    return true;
}

void ChannelForm::RowOperation(int name, void (*op)(Module1&, ChannelList&)) {
    TransferFocus();
    ChangeChannels(name, [&](ChannelList& list) { op(state_, list); });
    // The highlighted row is the one the next press moves; the arrow keys
    // go on moving in the grid.
    SetCurrent(state_.CurCHRow, std::max(int(colRxFreq), state_.CurCHCol));
    grid_->setFocus();
}

void ChannelForm::MemoryMapShortcut() {
    SaveCHData();
    if (main_) main_->OpenMemoryMap();
}

bool ChannelForm::eventFilter(QObject* watched, QEvent* event) {
    // Events may arrive while the window is still being built.
    if (!del_) return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (watched == grid_ && type == QEvent::KeyPress) {
        if (!Editing())
            return RowKey(static_cast<QKeyEvent*>(event)) || GridKey(static_cast<QKeyEvent*>(event));
    } else if (watched == grid_->viewport() &&
               (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                type == QEvent::MouseButtonRelease) &&
               NumberMouse(event)) {
        return true;
    } else if (watched == grid_->viewport() && type == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QModelIndex at = grid_->indexAt(me->position().toPoint());
        // A drag over cells, or a click with Shift or Ctrl, only selects.
        const bool selecting =
            at != pressCell_ || (me->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
        if (me->button() == Qt::LeftButton && at.isValid() && !selecting) {
            const int row = at.row() + 1;
            int col = at.column();
            Redirect(row, col);
            // The channel number of a set channel: its receive frequency
            // becomes current, without an editor.
            SetCurrent(row, std::max(col, int(colRxFreq)));
            if (col != colChannel) EditCell();
        }
    } else if (watched == txt_) {
        if (type == QEvent::KeyPress) return TextKey(static_cast<QKeyEvent*>(event));
        if (type == QEvent::FocusOut) CommitText();
    } else if (watched == picture_ && type == QEvent::MouseButtonPress) {
        TransferFocus();
    } else if (watched == close_ && type == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if (me->button() == Qt::RightButton && (me->modifiers() & all) == all) {
            MemoryMapShortcut();
            return true;
        }
    } else {
        for (int i = 0; i < 3; ++i) {
            if (watched != cbo_[i]) continue;
            if (type == QEvent::KeyPress) return ComboKey(i, static_cast<QKeyEvent*>(event));
            // Opening its own list (F4, Alt+Down, a click on the arrow) moves
            // the focus into the list: the editor stays open for it.
            if (type == QEvent::FocusOut &&
                static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
                !cbo_[i]->view()->window()->isVisible())
                CommitCombo(i);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ChannelForm::changeEvent(QEvent* event) {
    // On its own (no main window) the editor is a top-level window.
    if (event->type() == QEvent::ActivationChange && !main_ && !isActiveWindow()) Deactivated();
    QWidget::changeEvent(event);
}

void ChannelForm::Deactivated() { SaveCHData(); }

void ChannelForm::closeEvent(QCloseEvent* event) {
    if (released_) {
        event->accept();
        return;
    }
    SaveCHData();
    event->ignore();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->hide();
    else hide();
    emit hiddenByUser();
}

void ChannelForm::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    const double w = ToTwipsX(width()), h = ToTwipsY(height());
    double gw = designWidth_, gh = designHeight_;
    if (kGridLeftTwips + designWidth_ + 200 > w) gw = (w - 350) * 0.97;
    if (kGridTopTwips + designHeight_ + 500 > h) gh = (h - 350) * 0.8;
    grid_->setGeometry(ToPixelsX(kGridLeftTwips), ToPixelsY(kGridTopTwips), std::max(0, ToPixelsX(gw)),
                       std::max(0, ToPixelsY(gh)));
    // The buttons sit under the grid: the row operations on the left, Close
    // on the right.
    const int gap = ToPixelsX(120);
    const int y = grid_->geometry().bottom() + gap;
    int x = grid_->x();
    for (QPushButton* b : {up_, down_, del_}) {
        b->resize(std::max(b->sizeHint().width(), ToPixelsX(1200)), b->sizeHint().height());
        b->move(x, y);
        x += b->width() + gap;
    }
    close_->resize(std::max(close_->sizeHint().width(), ToPixelsX(1200)), close_->sizeHint().height());
    close_->move(std::max(x, grid_->geometry().right() - close_->width()), y);
    KeepChannelNumbersInView();
    PlaceEditors();
}

// The grid is a little narrower than its columns once the window applies its
// resizing rule, so the view scrolls sideways to reach the name column. When
// the current cell fits with the channel numbers showing, scroll back so a
// user always sees which channel a row is (a view laid out before the window
// got its size, or a move back from the name column, would hide them).
void ChannelForm::KeepChannelNumbersInView() {
    const QHeaderView* header = grid_->horizontalHeader();
    const int col = std::max(0, std::min(state_.CurCHCol, kChannelColumns - 1));
    if (header->sectionPosition(col) + header->sectionSize(col) <= grid_->viewport()->width())
        grid_->horizontalScrollBar()->setValue(0);
}

}  // namespace rm427::gui
