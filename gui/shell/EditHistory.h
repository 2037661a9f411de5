// Undo and redo of every change to the codeplug.
//
// A step keeps the whole editing state before and after it: the image (the
// channels are in it), the model and the limits, and the channel editor's
// current cell and selection. 4 KiB of image are cheap, and a snapshot
// makes every kind of change undoable the same way, whatever window made
// it. Steps are named
// by a text number, so Undo and Redo read in the current language.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

#include "channels/ChannelForm.h"
#include "image/Module1.h"

class QUndoStack;

namespace rm427::gui {

struct EditState {
    CodeplugImage image{};
    std::uint8_t modelCode = 0;
    std::int16_t limits[4] = {};
    int row = 1, col = 1;
    ChannelForm::Selection selection;
    bool operator==(const EditState& o) const;
    // Equal but for the current cell and the selection.
    bool SameCodeplug(const EditState& o) const;
};
using EditStatePtr = std::shared_ptr<const EditState>;

class EditHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kSteps = 1000;

    EditHistory(Module1& state, QObject* parent = nullptr);
    void SetChannels(ChannelForm* channels) { channels_ = channels; }
    QUndoStack* Stack() const { return stack_; }

    EditStatePtr Capture();
    // Puts `s` back: image, model, limits, current cell and selection. An
    // open cell editor is closed without taking its text.
    void Restore(const EditState& s);

    // Runs `change` as one step named by text `name`, when it changes
    // anything. A step inside another joins the outer one.
    void Step(int name, const std::function<void()>& change);
    // A step from `before` to now (for changes made where no Step could wrap
    // them).
    void Record(int name, const EditStatePtr& before);
    // A new history (after Open).
    void Clear();

    // The text number of the step Undo (Redo) would take back (do again), 0
    // when there is none.
    int UndoName() const;
    int RedoName() const;
    void Undo();
    void Redo();

signals:
    // Undo or Redo put a state back (the title may have changed).
    void Restored();
    // The stack changed: the captions of Undo and Redo follow.
    void Changed();

private:
    Module1& state_;
    ChannelForm* channels_ = nullptr;
    QUndoStack* stack_ = nullptr;
    EditStatePtr last_;  // the state after the newest step
    int depth_ = 0;
};

}  // namespace rm427::gui
