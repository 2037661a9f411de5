#include "shell/EditHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

#include "channels/ChannelForm.h"

namespace rm427::gui {
namespace {

constexpr char kCellEnd = '\x1f', kRowEnd = '\x1e';

std::string PackRows(const ChannelRows& rows) {
    std::string s;
    s.reserve(rows.size() * 64);
    for (const ChannelRow& r : rows) {
        for (const std::string& cell : r) {
            s += cell;
            s += kCellEnd;
        }
        s += kRowEnd;
    }
    return s;
}

ChannelRows UnpackRows(const std::string& s) {
    ChannelRows rows;
    ChannelRow row;
    int col = 0;
    std::string cell;
    for (char c : s) {
        if (c == kCellEnd) {
            if (col < kChannelColumns) row[col] = cell;
            ++col;
            cell.clear();
        } else if (c == kRowEnd) {
            rows.push_back(row);
            row = ChannelRow{};
            col = 0;
        } else {
            cell += c;
        }
    }
    return rows;
}

// One step: the states before and after it.
class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(EditHistory& history, int name, EditStatePtr before, EditStatePtr after)
        : history_(history), name_(name), before_(std::move(before)), after_(std::move(after)) {}
    int Name() const { return name_; }
    void undo() override { history_.Restore(*before_); }
    void redo() override {
        // The change itself has been made already when the step is pushed.
        if (first_) first_ = false;
        else history_.Restore(*after_);
    }

private:
    EditHistory& history_;
    int name_;
    EditStatePtr before_, after_;
    bool first_ = true;
};

}  // namespace

bool EditState::SameCodeplug(const EditState& o) const {
    return image == o.image && rows == o.rows && language == o.language && modelCode == o.modelCode &&
           std::equal(std::begin(limits), std::end(limits), std::begin(o.limits));
}

bool EditState::operator==(const EditState& o) const {
    return SameCodeplug(o) && row == o.row && col == o.col;
}

EditHistory::EditHistory(Module1& state, QObject* parent) : QObject(parent), state_(state) {
    stack_ = new QUndoStack(this);
    stack_->setUndoLimit(kSteps);
    connect(stack_, &QUndoStack::indexChanged, this, &EditHistory::Changed);
}

EditStatePtr EditHistory::Capture() {
    auto s = std::make_shared<EditState>();
    s->image = state_.Image;
    if (channels_) s->rows = PackRows(channels_->Rows());
    s->language = state_.Language;
    s->modelCode = state_.ModelCode;
    s->limits[0] = state_.FreqLimitLow;
    s->limits[1] = state_.FreqLimitHigh;
    s->limits[2] = state_.EditLimitLow;
    s->limits[3] = state_.EditLimitHigh;
    s->row = state_.CurCHRow;
    s->col = state_.CurCHCol;
    // The state after the newest step is usually the one before the next:
    // share it.
    if (last_ && *last_ == *s) return last_;
    return s;
}

void EditHistory::Restore(const EditState& s) {
    state_.Image = s.image;
    state_.ModelCode = s.modelCode;
    state_.FreqLimitLow = s.limits[0];
    state_.FreqLimitHigh = s.limits[1];
    state_.EditLimitLow = s.limits[2];
    state_.EditLimitHigh = s.limits[3];
    ChannelRows rows = UnpackRows(s.rows);
    if (s.language != state_.Language && !rows.empty()) {
        // The rows hold texts of the language of their time: take them
        // through the record codec into the language of now.
        Module1 other = state_;
        other.Language = s.language;
        SaveChannelRows(other, rows);
        other.Language = state_.Language;
        SetColumnTitles(other, rows);
        LoadChannelRows(other, rows);
    }
    if (channels_ && !rows.empty()) channels_->PutState(rows, s.row, s.col);
    state_.CurCHRow = s.row;
    state_.CurCHCol = s.col;
    emit Restored();
}

void EditHistory::Step(int name, const std::function<void()>& change) {
    if (depth_ > 0) {
        change();
        return;
    }
    const EditStatePtr before = Capture();
    ++depth_;
    change();
    --depth_;
    Record(name, before);
}

void EditHistory::Record(int name, const EditStatePtr& before) {
    if (depth_ > 0 || !before) return;
    EditStatePtr after = Capture();
    // Moving the current cell alone is no step.
    if (after->SameCodeplug(*before)) return;
    last_ = after;
    stack_->push(new SnapshotStep(*this, name, before, after));
}

void EditHistory::Clear() {
    stack_->clear();
    last_.reset();
    emit Changed();
}

int EditHistory::UndoName() const {
    if (!stack_->canUndo()) return 0;
    return static_cast<const SnapshotStep*>(stack_->command(stack_->index() - 1))->Name();
}

int EditHistory::RedoName() const {
    if (!stack_->canRedo()) return 0;
    return static_cast<const SnapshotStep*>(stack_->command(stack_->index()))->Name();
}

void EditHistory::Undo() {
    if (channels_) channels_->TransferFocus();
    stack_->undo();
    last_ = Capture();
}

void EditHistory::Redo() {
    if (channels_) channels_->TransferFocus();
    stack_->redo();
    last_ = Capture();
}

}  // namespace rm427::gui
