#include "file/FileCommands.h"

#include "file/DataFile.h"
#include "file/FileIo.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {

constexpr const char* kUntitled = "Untitled.dat";
constexpr int kTextIncorrectFileType = 1319;
constexpr int kTextSaveItNow = 1320;
constexpr int kTextAllDataCleared = 1322;
constexpr int kTextReplaceReadOnly = 3600;

}  // namespace

FileCommands::FileCommands(Module1& state, MessageBoxes& boxes, FileDialogs& dialogs, FileWindow& window)
    : state_(state), boxes_(boxes), dialogs_(dialogs), window_(window) {}

bool FileCommands::New() {
    MessageRequest ask;
    ask.text = LoadText(state_.Language, kTextAllDataCleared);
    ask.title = "Alert!";
    ask.icon = MsgIcon::Exclamation;
    ask.buttons = MsgButtons::OkCancel;
    ask.defaultButton = 1;  // Cancel
    if (boxes_.Show(ask) != MsgAnswer::Ok) return false;
    state_.ClearImage();
    window_.RefreshChannel();
    return true;
}

bool FileCommands::Open() {
    if (!AskToSave()) return false;
    const std::string path = dialogs_.GetOpenFileName(kDataFileFilter);
    if (path.empty()) return false;
    return Load(path);
}

bool FileCommands::OpenPath(const std::string& path) {
    if (!AskToSave()) return false;
    return Load(path);
}

bool FileCommands::AskToSave() {
    if (!state_.ImageModified()) return true;
    MessageRequest ask;
    ask.text = LoadText(state_.Language, kTextSaveItNow);
    ask.title = "RM-427";
    ask.icon = MsgIcon::Exclamation;
    ask.buttons = MsgButtons::YesNoCancel;
    const MsgAnswer answer = boxes_.Show(ask);
    if (answer == MsgAnswer::Yes) {
        // Still untitled: ask for a name rather than writing
        // "Untitled.dat" wherever the program happens to run. A save that
        // is cancelled or fails keeps the changes and ends Open, so
        // nothing is lost.
        return state_.FileName == kUntitled ? SaveAs() : WriteFile();
    }
    return answer == MsgAnswer::No;
}

bool FileCommands::Load(const std::string& path) {
    Bytes file;
    std::string error;
    if (!ReadWholeFile(path, file, error, kDataFileLimit) || file.empty()) return false;

    CodeplugImage image{};
    if (!DecodeDataFile(file, image)) {
        MessageRequest box;
        box.text = LoadText(state_.Language, kTextIncorrectFileType);
        box.title = "Error";
        box.icon = MsgIcon::Critical;
        box.buttons = MsgButtons::Ok;
        boxes_.Show(box);
        return false;
    }

    state_.Image = image;
    state_.SetDefaultLimits();
    window_.RefreshChannel();
    state_.SnapshotImage();
    state_.FileName = path;
    window_.SetCaption(state_.TitleText());
    return true;
}

bool FileCommands::Save() {
    if (state_.FileName == kUntitled) return SaveAs();
    return WriteFile();
}

bool FileCommands::SaveAs() {
    const std::string path = dialogs_.GetSaveFileName(kDataFileFilter, state_.FileName);
    if (path.empty()) return false;
    state_.FileName = path;
    return WriteFile();
}

bool FileCommands::WriteFile() {
    Bytes file;
    std::string error;
    bool written = false;
    const KeepPrevious keep = [this](const std::vector<std::uint8_t>& old) {
        CodeplugImage previous{};
        if (DecodeDataFile(old, previous)) window_.Replacing(state_.FileName, previous);
    };
    if (EncodeDataFile(state_.Image, file, error)) {
        SaveResult r = SaveFile(state_.FileName, file, error, false, keep);
        if (r == SaveResult::ReadOnly) {
            // As editors do: say so and let the user decide.
            MessageRequest ask;
            ask.text = state_.FileName + "\n" + LoadText(state_.Language, kTextReplaceReadOnly);
            ask.title = "RM-427";
            ask.icon = MsgIcon::Exclamation;
            ask.buttons = MsgButtons::YesNo;
            ask.defaultButton = 1;  // No
            if (boxes_.Show(ask) != MsgAnswer::Yes) return false;
            r = SaveFile(state_.FileName, file, error, true, keep);
        }
        written = r == SaveResult::Saved;
    }
    if (!written) {
        MessageRequest box;
        box.text = error;
        box.title = "RM-427";
        box.icon = MsgIcon::Exclamation;
        box.buttons = MsgButtons::Ok;
        boxes_.Show(box);
        return false;
    }
    // The file now holds the image: no unsaved changes any more.
    state_.SnapshotImage();
    window_.SetCaption(state_.TitleText());
    window_.Saved(state_.FileName, state_.Image);
    return true;
}

}  // namespace rm427
