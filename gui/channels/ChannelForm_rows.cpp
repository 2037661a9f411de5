// The channel editor's commands on many rows at once: row selection on the
// channel numbers, the context menu, the clipboard, insert and remove, block
// moves, sort, compact, find and the Delete key. Every change is one undo
// step; the work itself is done by the core's operations on typed channels.
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>
#include <set>

#include "channels/ChannelClipboard.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/ChannelForm.h"
#include "channels/ChannelRowOps.h"
#include "shell/frmImport.h"
#include "text/TextTable.h"

namespace rm427::gui {
namespace {

// The program's own CSV travels beside the tab-separated text.
const QString kCsvMime = QStringLiteral("text/csv");

struct RowCommand {
    int text;
    QKeySequence key;
    void (ChannelForm::*run)();
};

}  // namespace

std::vector<int> ChannelForm::SelectedChannels() const {
    std::set<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedIndexes()) rows.insert(i.row() + 1);
    if (rows.empty()) rows.insert(std::max(1, state_.CurCHRow));
    return {rows.begin(), rows.end()};
}

void ChannelForm::SelectChannels(int first, int last) {
    const int n = model_->rowCount();
    first = std::clamp(first, 1, n);
    last = std::clamp(last, 1, n);
    const int col = std::max(int(colRxFreq), state_.CurCHCol);
    grid_->selectionModel()->setCurrentIndex(model_->index(first - 1, col),
                                             QItemSelectionModel::NoUpdate);
    const QItemSelection rows(model_->index(std::min(first, last) - 1, 0),
                              model_->index(std::max(first, last) - 1, kChannelColumns - 1));
    grid_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(model_->index(first - 1, col));
}

void ChannelForm::SelectRange(int anchor, int to) {
    const int n = model_->rowCount();
    anchor = std::clamp(anchor, 1, n);
    to = std::clamp(to, 1, n);
    const int col = std::max(int(colRxFreq), state_.CurCHCol);
    grid_->selectionModel()->setCurrentIndex(model_->index(to - 1, col), QItemSelectionModel::NoUpdate);
    const QItemSelection rows(model_->index(std::min(anchor, to) - 1, 0),
                              model_->index(std::max(anchor, to) - 1, kChannelColumns - 1));
    grid_->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(model_->index(to - 1, col));
}

void ChannelForm::BuildRowCommands() {
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, &ChannelForm::ShowContextMenu);
    // The Menu key and Shift+F10 open the menu at the current cell.
    auto* menuKey = new QAction(grid_);
    menuKey->setObjectName(QStringLiteral("miRowMenuKey"));
    menuKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    menuKey->setShortcutContext(Qt::WidgetShortcut);
    grid_->addAction(menuKey);
    connect(menuKey, &QAction::triggered, this,
            [this] { ShowContextMenu(grid_->visualRect(grid_->currentIndex()).center()); });
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("ChannelMenu"));
    const RowCommand commands[] = {
        {3420, QKeySequence::Cut, &ChannelForm::CutChannels},
        {3421, QKeySequence::Copy, &ChannelForm::CopyChannels},
        {3422, QKeySequence::Paste, &ChannelForm::PasteChannels},
        {3423, QKeySequence(Qt::Key_Delete), &ChannelForm::DeleteChannels},
        {0, {}, nullptr},
        {3424, QKeySequence(Qt::Key_Insert), &ChannelForm::InsertChannel},
        {3425, QKeySequence(Qt::CTRL | Qt::Key_Delete), &ChannelForm::RemoveChannel},
        {1400, QKeySequence(Qt::CTRL | Qt::Key_Up), nullptr},
        {1401, QKeySequence(Qt::CTRL | Qt::Key_Down), nullptr},
        {0, {}, nullptr},
        {3426, {}, nullptr},
        {3427, {}, nullptr},
        {3428, {}, &ChannelForm::CompactChannels},
        {0, {}, nullptr},
        {3429, QKeySequence::Find, &ChannelForm::FindChannel},
        {3430, QKeySequence(Qt::Key_F3), &ChannelForm::FindNext},
    };
    for (const RowCommand& c : commands) {
        if (!c.text) {
            menu_->addSeparator();
            continue;
        }
        QAction* a = menu_->addAction(QString());
        a->setData(c.text);
        a->setShortcut(c.key);
        a->setShortcutVisibleInContextMenu(true);
        a->setObjectName(QStringLiteral("miRow%1").arg(c.text));
        const int text = c.text;
        const auto run = c.run;
        connect(a, &QAction::triggered, this, [this, text, run] {
            if (run) (this->*run)();
            else if (text == 1400) MoveChannels(-1);
            else if (text == 1401) MoveChannels(1);
            else SortChannels(sortColumn_, text == 3426);
        });
        rowActions_.push_back(a);
    }
    SetRowCaptions();
}

void ChannelForm::SetRowCaptions() {
    for (QAction* a : rowActions_) a->setText(Text(a->data().toInt()));
}

void ChannelForm::ShowContextMenu(const QPoint& at) {
    TransferFocus();
    const QModelIndex i = grid_->indexAt(at);
    sortColumn_ =
        i.isValid() && i.column() >= colRxFreq ? i.column() : std::max(int(colRxFreq), state_.CurCHCol);
    // A click outside the selection makes its row the current one.
    if (i.isValid() && !grid_->selectionModel()->isSelected(i)) {
        const int col = std::max(int(colRxFreq), i.column());
        SetCurrent(i.row() + 1, col);
    }
    // A point on the channel numbers may lie left of the scrolled view.
    menu_->popup(grid_->viewport()->mapToGlobal(QPoint(std::max(at.x(), 0), at.y())));
}

int ChannelForm::ChannelAtY(int y) const {
    const int r = grid_->rowAt(y);
    if (r >= 0) return r + 1;
    return y < 0 ? 1 : model_->rowCount();
}

// A press on a channel number selects its row (Shift: up to it, Ctrl: adds
// or removes it); dragging over the numbers selects the rows passed.
bool ChannelForm::NumberMouse(QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint p = me->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (me->button() != Qt::LeftButton) return false;
        const QModelIndex at = grid_->indexAt(p);
        pressCell_ = at;
        if (!at.isValid() || at.column() != colChannel) return false;
        TransferFocus();
        grid_->setFocus();
        const int row = at.row() + 1;
        if (me->modifiers() & Qt::ShiftModifier) {
            if (!anchor_) anchor_ = state_.CurCHRow;
            SelectRange(anchor_, row);
        } else if (me->modifiers() & Qt::ControlModifier) {
            const QItemSelection line(model_->index(row - 1, 0),
                                      model_->index(row - 1, kChannelColumns - 1));
            grid_->selectionModel()->select(line, QItemSelectionModel::Toggle);
            grid_->selectionModel()->setCurrentIndex(
                model_->index(row - 1, std::max(int(colRxFreq), state_.CurCHCol)),
                QItemSelectionModel::NoUpdate);
            anchor_ = row;
        } else {
            anchor_ = row;
            SelectChannels(row, row);
        }
        numberDrag_ = true;
        return true;
    }
    case QEvent::MouseMove:
        if (!numberDrag_) return false;
        SelectRange(anchor_, ChannelAtY(p.y()));
        return true;
    case QEvent::MouseButtonRelease:
        if (!numberDrag_) return false;
        numberDrag_ = false;
        return true;
    default: return false;
    }
}

bool ChannelForm::RowKey(QKeyEvent* key) {
    if (key->matches(QKeySequence::Copy)) CopyChannels();
    else if (key->matches(QKeySequence::Cut)) CutChannels();
    else if (key->matches(QKeySequence::Paste)) PasteChannels();
    else if (key->matches(QKeySequence::Find)) FindChannel();
    else if (key->key() == Qt::Key_F3 && !(key->modifiers() & ~Qt::KeypadModifier)) FindNext();
    else if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) InsertChannel();
    else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) RemoveChannel();
    else if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) DeleteCells();
    else if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
             key->modifiers() == Qt::ControlModifier)
        MoveChannels(key->key() == Qt::Key_Up ? -1 : 1);
    else if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
             key->modifiers() == Qt::ShiftModifier) {
        // Shift+arrows select whole channels from the anchor on.
        const std::vector<int> sel = SelectedChannels();
        if (!anchor_ || std::find(sel.begin(), sel.end(), anchor_) == sel.end())
            anchor_ = state_.CurCHRow;
        SelectRange(anchor_, state_.CurCHRow + (key->key() == Qt::Key_Up ? -1 : 1));
    } else {
        if (key->modifiers() == Qt::NoModifier) anchor_ = 0;
        return false;
    }
    return true;
}

void ChannelForm::PutChannelsOnClipboard() {
    const std::vector<int> sel = SelectedChannels();
    // The selected channels one after the other: their cells as the grid
    // shows them, and the channels themselves (numbered 1..k) as CSV.
    ChannelRows pick = MakeChannelRows(state_);
    ChannelList picked(std::size_t(std::min<int>(state_.CHCount, kMaxChannels)));
    int k = 0;
    for (int r : sel) {
        if (++k >= int(pick.size()) || k > int(picked.size())) break;
        for (int c = 0; c < kChannelColumns; ++c) pick[std::size_t(k)][c] = Cell(r, c);
        picked[std::size_t(k - 1)] = ChannelOf(r);
    }
    k = std::min<int>(k, int(picked.size()));
    auto* mime = new QMimeData;
    mime->setText(QString::fromStdString(ChannelsToTsv(pick, 1, k)));
    mime->setData(kCsvMime, QByteArray::fromStdString(ChannelsToCsv(picked)));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void ChannelForm::CopyChannels() {
    TransferFocus();
    PutChannelsOnClipboard();
}

void ChannelForm::CutChannels() {
    TransferFocus();
    PutChannelsOnClipboard();
    const std::vector<int> sel = SelectedChannels();
    ChangeChannels(3418, [&](ChannelList& list) {
        for (int r : sel)
            if (r >= 1 && r <= int(list.size())) list[std::size_t(r - 1)] = Channel{};
    });
}

void ChannelForm::DeleteChannels() {
    TransferFocus();
    const std::vector<int> sel = SelectedChannels();
    ChangeChannels(3450, [&](ChannelList& list) {
        for (int r : sel)
            if (r >= 1 && r <= int(list.size())) list[std::size_t(r - 1)] = Channel{};
    });
}

// The Delete key commits an empty text into each selected cell through the
// text box's own rule (CommitChannelText): the receive column empties the
// channel, the transmit column also its encoder, the name column the name.
// A list cell always holds one of its choices and stays.
void ChannelForm::DeleteCells() {
    TransferFocus();
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& i : grid_->selectionModel()->selectedIndexes())
        cells.emplace_back(i.row() + 1, i.column());
    if (cells.empty()) cells.emplace_back(state_.CurCHRow, state_.CurCHCol);
    ChangeChannels(3450, [&](ChannelList& list) {
        for (const auto& [row, col] : cells)
            if (row >= 1 && row <= int(list.size()) &&
                (col == colRxFreq || col == colTxFreq || col == colName))
                CommitChannelText(state_, list[std::size_t(row - 1)], col, std::string());
    });
}

void ChannelForm::PasteChannels() {
    TransferFocus();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime) return;
    const std::string text =
        mime->hasFormat(kCsvMime) ? mime->data(kCsvMime).toStdString() : mime->text().toStdString();
    ChannelPaste paste;
    std::string error;
    MessageRequest m;
    m.title = "RM-427";
    if (!ReadChannelPaste(state_, text, paste, error)) {
        m.text = error.empty() ? LoadText(state_.Language, 3438) : error;
        if (!error.empty()) m.title = LoadText(state_.Language, 3385);
        m.icon = error.empty() ? MsgIcon::Information : MsgIcon::Critical;
        boxes_.Show(m);
        return;
    }
    const int at = SelectedChannels().front();
    const ChannelList current = ChannelListOf(state_);

    // Many channels, or channels over programmed ones: the import preview
    // shows each one first, and OK stores what it shows.
    const PasteImport asImport = PasteAsImport(paste, at, state_.Language);
    if (PasteNeedsPreview(current, asImport, state_.Language)) {
        frmImport preview(state_.Language, 3386, current, asImport.incoming, asImport.report,
                          asImport.options, this);
        if (preview.exec() != QDialog::Accepted) return;
        const ImportPlan plan = preview.Plan();
        ChangeChannels(3419, [&](ChannelList& list) { list = plan.channels; });
        int first = 0, last = 0;
        for (const ImportLine& l : plan.lines)
            if (l.channel && l.kind != ImportLine::Emptied) {
                if (!first) first = l.channel;
                last = l.channel;
            }
        if (first) SelectChannels(first, last);
        return;
    }

    ChannelList pasted = current;
    const int lost = PlaceChannelPaste(pasted, at, paste, state_.Language);
    const std::vector<std::string> notes = paste.Notes(state_.Language);
    if (lost || paste.report.skipped || !notes.empty()) {
        // What Import Channels would say, line by line, before anything changes.
        const auto count = [this](int n, int value) {
            return QString::fromStdString(CountText(state_.Language, n, value));
        };
        QString summary = count(3434, paste.report.channels - lost);
        if (paste.report.skipped) summary += ' ' + count(3435, paste.report.skipped);
        if (lost) summary += ' ' + count(3436, lost);
        summary += '\n';
        for (const std::string& n : notes) summary += QString::fromStdString(n) + '\n';
        m.text = (summary + '\n' + Text(3437)).toStdString();
        m.icon = MsgIcon::Exclamation;
        m.buttons = MsgButtons::OkCancel;
        m.defaultButton = 1;
        if (boxes_.Show(m) != MsgAnswer::Ok) return;
    }
    ChangeChannels(3419, [&](ChannelList& list) { list = pasted; });
    SelectChannels(at, std::min<int>(at + int(paste.channels.size()) - 1, model_->rowCount()));
}

void ChannelForm::InsertChannel() {
    TransferFocus();
    const std::vector<int> sel = SelectedChannels();
    const int first = sel.front();
    const int count = sel.back() - first + 1 == int(sel.size()) ? int(sel.size()) : 1;
    if (ChannelsPushedOff(ChannelListOf(state_), count) > 0) {
        MessageRequest q;
        q.text = LoadText(state_.Language, 3431);
        q.title = "RM-427";
        q.icon = MsgIcon::Exclamation;
        q.buttons = MsgButtons::OkCancel;
        q.defaultButton = 1;
        if (boxes_.Show(q) != MsgAnswer::Ok) return;
    }
    ChangeChannels(3451, [&](ChannelList& list) { InsertChannels(list, first, count); });
    SelectChannels(first, first + count - 1);
}

void ChannelForm::RemoveChannel() {
    TransferFocus();
    const std::vector<int> sel = SelectedChannels();
    const int first = sel.front();
    const int count = sel.back() - first + 1 == int(sel.size()) ? int(sel.size()) : 1;
    ChangeChannels(3452, [&](ChannelList& list) { RemoveChannels(list, first, count); });
    SelectChannels(first, first);
}

void ChannelForm::MoveChannels(int delta) {
    TransferFocus();
    const std::vector<int> sel = SelectedChannels();
    const int first = sel.front(), last = sel.back();
    bool moved = false;
    ChangeChannels(delta < 0 ? 1400 : 1401,
                   [&](ChannelList& list) { moved = rm427::MoveChannels(list, first, last, delta); });
    if (!moved) return;
    // The selection and the current cell move with the channels.
    const int current = state_.CurCHRow + delta;
    if (current == first + delta) SelectRange(last + delta, current);
    else SelectRange(first + delta, current);
}

void ChannelForm::SortChannels(int column, bool ascending) {
    TransferFocus();
    const std::vector<int> sel = SelectedChannels();
    const bool some = sel.size() > 1;
    const int first = some ? sel.front() : 1, last = some ? sel.back() : model_->rowCount();
    ChangeChannels(3453, [&](ChannelList& list) {
        rm427::SortChannels(list, first, last, column, ascending, state_.Language);
    });
}

void ChannelForm::CompactChannels() {
    TransferFocus();
    ChangeChannels(3454, [&](ChannelList& list) { rm427::CompactChannels(list); });
}

void ChannelForm::FindChannel() {
    TransferFocus();
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("frmFind"));
    ask.setWindowTitle(QStringLiteral("RM-427"));
    ask.setLabelText(Text(3432));
    ask.setTextValue(QString::fromStdString(findText_));
    if (ask.exec() != QDialog::Accepted || ask.textValue().trimmed().isEmpty()) return;
    findText_ = ask.textValue().trimmed().toStdString();
    FindNext();
}

void ChannelForm::FindNext() {
    if (findText_.empty()) {
        FindChannel();
        return;
    }
    TransferFocus();
    const ChannelMatch m = rm427::FindChannel(ChannelListOf(state_), findText_, state_.CurCHRow,
                                              state_.CurCHCol, state_.Language);
    if (!m.row) {
        MessageRequest box;
        box.text = Text(3433).arg(QString::fromStdString(findText_)).toStdString();
        box.title = "RM-427";
        box.icon = MsgIcon::Information;
        boxes_.Show(box);
        return;
    }
    grid_->selectionModel()->clearSelection();
    SetCurrent(m.row, m.col);
    grid_->selectionModel()->select(model_->index(m.row - 1, m.col), QItemSelectionModel::Select);
    grid_->scrollTo(model_->index(m.row - 1, m.col));
}

}  // namespace rm427::gui
