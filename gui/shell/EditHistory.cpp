#include "shell/EditHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

#include "channels/ChannelForm.h"

namespace rm427::gui {
namespace {

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
    return image == o.image && modelCode == o.modelCode &&
           std::equal(std::begin(limits), std::end(limits), std::begin(o.limits));
}

bool EditState::operator==(const EditState& o) const {
    return SameCodeplug(o) && row == o.row && col == o.col && selection == o.selection;
}

EditHistory::EditHistory(Module1& state, QObject* parent) : QObject(parent), state_(state) {
    stack_ = new QUndoStack(this);
    stack_->setUndoLimit(kSteps);
    connect(stack_, &QUndoStack::indexChanged, this, &EditHistory::Changed);
}

EditStatePtr EditHistory::Capture() {
    auto s = std::make_shared<EditState>();
    s->image = state_.Image;
    s->modelCode = state_.ModelCode;
    s->limits[0] = state_.FreqLimitLow;
    s->limits[1] = state_.FreqLimitHigh;
    s->limits[2] = state_.EditLimitLow;
    s->limits[3] = state_.EditLimitHigh;
    s->row = state_.CurCHRow;
    s->col = state_.CurCHCol;
    if (channels_) s->selection = channels_->SelectedCells();
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
    // The grid shows the channels of the image in the language of now.
    if (channels_) channels_->PutState(s.row, s.col, s.selection);
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
