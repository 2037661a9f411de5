// The windows of the other parts of the program, as the main window opens
// them. One routine per window: whoever builds a window replaces the body of
// its routine (keep the Hooked(...) line first, tests rely on it).
#include "shell/MDIForm1.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>

#include "channels/ChannelRows.h"
#include "channels/ChannelForm.h"
#include "io/HistoryFolder.h"
#include "io/PortSettings.h"
#include "radio/frmClone.h"
#include "radio/frmComPort.h"
#include "radio/frmMemoryMap.h"
#include "radio/frmTestMode.h"
#include "shell/EditHistory.h"
#include "settings/FrmBatch.h"
#include "settings/frmSet.h"
#include "ui/CommandBar.h"

namespace rm427::gui {

// Read from / Write to Radio; CloneDirection is already set.
// Modal, owned by the main window.
void MDIForm1::OpenClone() {
    if (Hooked(QStringLiteral("frmClone"))) return;
    frmClone clone(
        state_, boxes_,
        [this] {
            RefreshChannel();
            RefreshTitle();
        },
        this);
    clone.SetHistory([this](HistoryKind kind, const CodeplugImage& image) {
        KeepHistory(kind, state_.FileName, image);
    });
    clone.exec();
}

HistoryRecorder& MDIForm1::Copies() {
    if (!copies_) copies_ = std::make_unique<HistoryRecorder>(HistoryFolder());
    return *copies_;
}

void MDIForm1::KeepHistory(HistoryKind kind, const std::string& source, const CodeplugImage& image) {
    const std::string warning = Copies().Record(state_.Language, kind, source, image);
    if (warning.empty()) return;
    MessageRequest m;
    m.text = warning;
    m.title = "RM-427";
    m.icon = MsgIcon::Exclamation;
    boxes_.Show(m);
}

// Modal, without owner. Its OK calls RefreshPortPanel().
void MDIForm1::OpenComPort() {
    if (Hooked(QStringLiteral("frmComPort"))) return;
    frmComPort ports(state_, [this] { RefreshPortPanel(); });
    ports.exec();
    BackFromOwnerless();
}

// Modal, without owner. The window clears miFunctionSet's check when it closes.
void MDIForm1::OpenFunctionSet() {
    if (Hooked(QStringLiteral("frmSet"))) return;
    frmSet dialog(state_);
    dialog.exec();
    BackFromOwnerless();
    bar_->SetToolCheck(QStringLiteral("miProgram"), QStringLiteral("miFunctionSet"), false);
}

// A window without an owner leaves no window to hand the focus back to when it
// closes: the main window takes it again, on the control that had it.
void MDIForm1::BackFromOwnerless() {
    if (closing_) return;
    activateWindow();
    if (QWidget* w = focusWidget()) w->setFocus(Qt::ActiveWindowFocusReason);
    else TransferFocus();
}

// After a language switch while miFunctionSet is checked.
void MDIForm1::RefreshSetFace() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* set = qobject_cast<frmSet*>(w)) set->RefreshSetFace();
}

// Checked: close FrmBatch. Otherwise show it as a maximised child window and
// check miBatchEdit. FrmBatch clears the check when its own button closes it.
void MDIForm1::ToggleBatchEdit() {
    if (Hooked(QStringLiteral("FrmBatch"))) return;
    const QString band = QStringLiteral("miProgram"), tool = QStringLiteral("miBatchEdit");
    if (bar_->ToolCheck(band, tool)) {
        if (auto* open = mdi_->findChild<FrmBatch*>()) {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) sub->close();
            else open->close();
        }
        bar_->SetToolCheck(band, tool, false);
        return;
    }
    // Apply changes the channels through the channel editor, which commits
    // its open cell editor first and shows them. Each Apply is one undo step.
    auto channels = [this](const std::function<void(ChannelList&)>& edit) {
        if (!channels_) return;
        channels_->TransferFocus();
        history_->Step(3411, [this, &edit] { channels_->EditChannels(edit); });
    };
    auto* batch = new FrmBatch(state_, boxes_, channels);
    QMdiSubWindow* sub = mdi_->addSubWindow(batch);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(batch, &FrmBatch::Unloaded, bar_,
            [bar = bar_, band, tool] { bar->SetToolCheck(band, tool, false); });
    // Back in the channel editor after the batch editor closes, the arrow
    // keys move in the grid.
    connect(batch, &FrmBatch::Unloaded, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (closing_ || !channelsWindow_ || !channelsWindow_->isVisible()) return;
            mdi_->setActiveSubWindow(channelsWindow_);
            channels_->Grid()->setFocus();
        });
    });
    sub->showMaximized();
    // Typed digits go to the first receive frequency.
    batch->TxtBatch1(1)->setFocus();
    bar_->SetToolCheck(band, tool, true);
}

// Modal, owned by the main window.
void MDIForm1::OpenTestMode() {
    if (Hooked(QStringLiteral("frmTestMode"))) return;
    frmTestMode dialog(state_, this, PortPathFromSettings, &boxes_);
    dialog.exec();
}

// Non-modal; the channel editor has stored its grid already.
void MDIForm1::OpenMemoryMap() {
    if (Hooked(QStringLiteral("frmMemoryMap"))) return;
    frmMemoryMap* map = frmMemoryMap::ShowMap(state_, this);
    // Bytes changed in the map must reach the grid, or the grid's next store
    // would write the old channels back over them. OK is one undo step.
    auto before = std::make_shared<EditStatePtr>();
    connect(map, &frmMemoryMap::writingBack, this, [this, before] {
        SaveCHData();
        *before = history_->Capture();
    });
    connect(map, &QDialog::accepted, this, [this, before] {
        RefreshChannel();
        history_->Record(3414, *before);
    });
}

}  // namespace rm427::gui
