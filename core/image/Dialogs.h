// The small seams through which core command logic talks to the user:
// message boxes and file dialogs. The GUI implements them with QMessageBox
// and QFileDialog; tests install scripted ones that record and answer.
#pragma once

#include <string>
#include <vector>

namespace rm427 {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageRequest {
    std::string text;   // UTF-8
    std::string title;  // "RM-427", "Alert!", "Error"
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 0;  // 0-based position among the buttons
    std::string details;    // UTF-8, shown on request below the text; may be empty
    // Captions replacing the buttons' standard ones, in order ("Write anyway",
    // "Cancel"); empty keeps the standard captions.
    std::vector<std::string> buttonTexts;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer Show(const MessageRequest& request) = 0;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // filter in the usual "Description (*.ext)" form. Empty result = cancelled.
    // The open dialog only returns files that exist.
    virtual std::string GetOpenFileName(const std::string& filter) = 0;
    // Asks before overwriting an existing file.
    virtual std::string GetSaveFileName(const std::string& filter, const std::string& proposedName) = 0;
};

}  // namespace rm427
