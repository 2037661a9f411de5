#include "helpers/ScriptedDialogs.h"

#include <vector>

namespace rm427::test {

MsgAnswer DefaultAnswer(const MessageRequest& request) {
    std::vector<MsgAnswer> order;
    switch (request.buttons) {
    case MsgButtons::Ok: order = {MsgAnswer::Ok}; break;
    case MsgButtons::OkCancel: order = {MsgAnswer::Ok, MsgAnswer::Cancel}; break;
    case MsgButtons::AbortRetryIgnore:
        order = {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
        break;
    case MsgButtons::YesNoCancel: order = {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel}; break;
    case MsgButtons::YesNo: order = {MsgAnswer::Yes, MsgAnswer::No}; break;
    case MsgButtons::RetryCancel: order = {MsgAnswer::Retry, MsgAnswer::Cancel}; break;
    }
    const int d = request.defaultButton;
    return d >= 0 && d < int(order.size()) ? order[d] : order.front();
}

MsgAnswer ScriptedMessageBoxes::Show(const MessageRequest& request) {
    shown.push_back(request);
    if (answers.empty()) {
        ++unanswered;
        return DefaultAnswer(request);
    }
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::string ScriptedFileDialogs::GetOpenFileName(const std::string& filter) {
    calls.push_back({false, filter, {}});
    if (openAnswers.empty()) return {};
    std::string p = openAnswers.front();
    openAnswers.pop_front();
    return p;
}

std::string ScriptedFileDialogs::GetSaveFileName(const std::string& filter,
                                                 const std::string& proposedName) {
    calls.push_back({true, filter, proposedName});
    if (saveAnswers.empty()) return {};
    std::string p = saveAnswers.front();
    saveAnswers.pop_front();
    return p;
}

}  // namespace rm427::test
