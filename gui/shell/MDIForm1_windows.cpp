// The windows of the other parts of the program, as the main window opens
// them. One routine per window: whoever builds a window replaces the body of
// its routine (keep the Hooked(...) line first, tests rely on it).
#include "shell/MDIForm1.h"

#include "io/PortSettings.h"
#include "radio/frmClone.h"
#include "radio/frmComPort.h"
#include "radio/frmMemoryMap.h"
#include "radio/frmTestMode.h"
#include "ui/CommandBar.h"

namespace rm427::gui {

// Read from / Write to Radio; CloneDirection is already set.
// Modal, owned by the main window.
void MDIForm1::OpenClone() {
    if (Hooked(QStringLiteral("frmClone"))) return;
    frmClone clone(state_, boxes_, [this] {
        RefreshChannel();
        RefreshTitle();
    }, this);
    clone.exec();
}

// Modal, without owner. Its OK calls RefreshPortPanel().
void MDIForm1::OpenComPort() {
    if (Hooked(QStringLiteral("frmComPort"))) return;
    frmComPort ports(state_, [this] { RefreshPortPanel(); });
    ports.exec();
}

// Modal, without owner. The window clears miFunctionSet's check when it closes.
void MDIForm1::OpenFunctionSet() {
    if (Hooked(QStringLiteral("frmSet"))) return;
    // frmSet: not part of the program yet.
}

// After a language switch while miFunctionSet is checked.
void MDIForm1::RefreshSetFace() {}

// Checked: close FrmBatch. Otherwise show it as a maximised child window and
// check miBatchEdit. FrmBatch clears the check when its own button closes it.
void MDIForm1::ToggleBatchEdit() {
    if (Hooked(QStringLiteral("FrmBatch"))) return;
    // FrmBatch: not part of the program yet.
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
    frmMemoryMap::ShowMap(state_, this);
}

}  // namespace rm427::gui
