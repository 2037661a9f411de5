// File > History...: the copies kept at every read, write and save.
#include "shell/MDIForm1.h"

#include "io/HistoryFolder.h"
#include "shell/EditHistory.h"
#include "shell/frmHistory.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"

namespace rm427::gui {

void MDIForm1::ApplyHistoryCaption() {
    bar_->SetCaption(QStringLiteral("miFile"), QStringLiteral("miHistory"),
                     QString::fromStdString(LoadText(state_.Language, 3212)));
}

void MDIForm1::CmdHistory() {
    if (Hooked(QStringLiteral("frmHistory"))) return;
    frmHistory dialog(
        state_, Copies().Folder(), [this](const CodeplugImage& image) { return OpenHistoryCopy(image); },
        this);
    dialog.exec();
}

// The copy becomes the image as an unsaved codeplug: "Untitled.dat", so that
// Save asks where to put it. Unsaved changes are asked about first, as Open does.
bool MDIForm1::OpenHistoryCopy(const CodeplugImage& image) {
    if (!fileCommands_->AskToSave()) return false;
    state_.Image = image;
    state_.FileName = "Untitled.dat";
    state_.SetDefaultLimits();
    RefreshChannel();
    RefreshTitle();
    History().Clear();  // as after Open: the edits behind belong to another codeplug
    return true;
}

}  // namespace rm427::gui
