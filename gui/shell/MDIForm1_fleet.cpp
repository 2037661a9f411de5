// Program > Program Many Radios...: the codeplug to radio after radio.
#include "radio/frmFleet.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"

namespace rm427::gui {

void MDIForm1::ApplyFleetCaption() {
    bar_->SetCaption(QStringLiteral("miProgram"), QStringLiteral("miFleet"),
                     QString::fromStdString(LoadText(state_.Language, 3941)));
}

// Modal, owned by the main window; the grid is stored already, so the
// current codeplug is what the editor shows.
void MDIForm1::CmdFleet() {
    if (Hooked(QStringLiteral("frmFleet"))) return;
    frmFleet dialog(state_, boxes_, files_, Copies().Folder(), this);
    dialog.SetHistory([this](const CodeplugImage& copy) {
        KeepHistory(HistoryKind::BeforeWrite, state_.FileName, copy);
    });
    dialog.exec();
}

}  // namespace rm427::gui
