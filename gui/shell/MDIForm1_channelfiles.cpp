// File menu: Import Channels... and Export Channels... (CSV in the program's
// own layout or the common CSV channel layout of repeater lists).
#include <string>
#include <vector>

#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/CommonCsv.h"
#include "file/FileIo.h"
#include "shell/MDIForm1.h"
#include "shell/frmImport.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"

namespace rm427::gui {
namespace {

constexpr const char* kCsvFilter = "CSV files (*.csv);;All files (*)";

}  // namespace

void MDIForm1::ApplyChannelFileCaptions() {
    const int l = state_.Language;
    bar_->SetCaption(QStringLiteral("miFile"), QStringLiteral("miImportChannels"),
                     QString::fromStdString(LoadText(l, 3353)));
    bar_->SetCaption(QStringLiteral("miFile"), QStringLiteral("miExportChannels"),
                     QString::fromStdString(LoadText(l, 3354)));
}

void MDIForm1::CmdImportChannels() {
    const int l = state_.Language;
    const std::string path = files_.GetOpenFileName(kCsvFilter);
    if (path.empty()) return;
    auto fail = [&](const std::string& text) {
        MessageRequest m;
        m.text = text;
        m.title = LoadText(l, 3385);
        m.icon = MsgIcon::Critical;
        boxes_.Show(m);
    };
    std::vector<std::uint8_t> raw;
    std::string error;
    if (!ReadWholeFile(path, raw, error, kCsvFileLimit)) return fail(path + ": " + error);
    const std::string csv(raw.begin(), raw.end());

    // What the file says, in the language of the interface.
    Module1 s;
    s.Image = state_.Image;  // the model's band
    const bool common = DetectCsvLayout(csv) == CsvLayout::Common;
    std::vector<Channel> channels;
    CsvReport report;
    CsvNote failed;
    if (!(common ? ReadCommonCsv : ReadOwnCsv)(s, csv, channels, report, failed))
        return fail(path + ": " + NoteLine(failed, l));
    // The preview: where the channels go and what that changes. OK stores
    // the plan (the command is one undo step), Cancel changes nothing.
    frmImport preview(l, 3376, ImageChannels(state_.Image), channels, report, ImportOptions{}, this);
    if (preview.exec() != QDialog::Accepted) return;
    StoreChannels(state_.Image, preview.Plan().channels);
    RefreshChannel();
}

void MDIForm1::CmdExportChannels() {
    const int l = state_.Language;
    MessageRequest q;
    q.text = LoadText(l, 3355);
    q.title = "RM-427";
    q.icon = MsgIcon::Question;
    q.buttons = MsgButtons::YesNoCancel;
    const MsgAnswer a = boxes_.Show(q);
    if (a != MsgAnswer::Yes && a != MsgAnswer::No) return;
    const std::string path = files_.GetSaveFileName(kCsvFilter, "channels.csv");
    if (path.empty()) return;
    const std::string csv =
        a == MsgAnswer::Yes ? ExportCommonCsv(state_.Image) : ExportChannelsCsv(state_.Image);
    std::string error;
    const std::vector<std::uint8_t> bytes(csv.begin(), csv.end());
    SaveResult r = SaveFile(path, bytes, error);
    if (r == SaveResult::ReadOnly) {
        MessageRequest ask;
        ask.text = path + "\n" + LoadText(l, 3600);
        ask.title = "RM-427";
        ask.icon = MsgIcon::Exclamation;
        ask.buttons = MsgButtons::YesNo;
        ask.defaultButton = 1;
        if (boxes_.Show(ask) != MsgAnswer::Yes) return;
        r = SaveFile(path, bytes, error, true);
    }
    if (r != SaveResult::Saved) {
        MessageRequest m;
        m.text = path + ": " + error;
        m.title = LoadText(l, 3385);
        m.icon = MsgIcon::Critical;
        boxes_.Show(m);
    }
}

}  // namespace rm427::gui
