// File menu: Import Channels... and Export Channels... (CSV in the program's
// own layout or the common CSV channel layout of repeater lists).
#include <string>
#include <vector>

#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/CommonCsv.h"
#include "file/FileIo.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"
#include "ui/CommandBar.h"

namespace rm427::gui {
namespace {

// These two commands are newer than the numbered text table; their few
// texts live here in both languages.
const char* Tr(int language, const char* english, const char* chinese) {
    return language == 1 ? chinese : english;
}

constexpr const char* kCsvFilter = "CSV files (*.csv);;All files (*)";

}  // namespace

void MDIForm1::ApplyChannelFileCaptions() {
    const int l = state_.Language;
    bar_->SetCaption(QStringLiteral("miFile"), QStringLiteral("miImportChannels"),
                     QString::fromUtf8(Tr(l, "&Import Channels...", "导入信道(&I)...")));
    bar_->SetCaption(QStringLiteral("miFile"), QStringLiteral("miExportChannels"),
                     QString::fromUtf8(Tr(l, "&Export Channels...", "导出信道(&E)...")));
}

void MDIForm1::CmdImportChannels() {
    const int l = state_.Language;
    const std::string path = files_.GetOpenFileName(kCsvFilter);
    if (path.empty()) return;
    auto fail = [&](const std::string& text) {
        MessageRequest m;
        m.text = text;
        m.title = "Error";
        m.icon = MsgIcon::Critical;
        boxes_.Show(m);
    };
    std::vector<std::uint8_t> raw;
    std::string error;
    if (!ReadWholeFile(path, raw, error, kCsvFileLimit)) return fail(path + ": " + error);
    const std::string csv(raw.begin(), raw.end());

    CodeplugImage image = state_.Image;
    std::string summary;
    bool clean = true;
    if (DetectCsvLayout(csv) == CsvLayout::Common) {
        CommonCsvImport report;
        if (!ImportCommonCsv(csv, image, report, error)) return fail(path + ": " + error);
        summary = report.Summary();
        clean = report.notes.empty();
    } else {
        std::vector<std::string> warnings;
        if (!ImportChannelsCsv(csv, image, error, &warnings)) return fail(path + ": " + error);
        summary = std::to_string(ProgrammedChannels(image)) + " channels read.\n";
        for (const auto& w : warnings) summary += w + "\n";
        clean = warnings.empty();
    }

    MessageRequest q;
    q.text = summary + "\n" +
             Tr(l, "Replace all channels by these? Channels not in the file become empty.",
                "用这些信道替换全部信道吗？文件中没有的信道将被清空。");
    q.title = "RM-427";
    q.icon = clean ? MsgIcon::Question : MsgIcon::Exclamation;
    q.buttons = MsgButtons::OkCancel;
    q.defaultButton = clean ? 0 : 1;
    if (boxes_.Show(q) != MsgAnswer::Ok) return;
    state_.Image = image;
    RefreshChannel();
}

void MDIForm1::CmdExportChannels() {
    const int l = state_.Language;
    MessageRequest q;
    q.text = Tr(l,
                "Write the common CSV channel layout of repeater lists?\n"
                "(No writes the program's own layout with every channel field.)",
                "以中继台列表通用 CSV 信道格式导出吗？\n（否：以本程序格式导出全部信道字段。）");
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
        m.title = "Error";
        m.icon = MsgIcon::Critical;
        boxes_.Show(m);
    }
}

}  // namespace rm427::gui
