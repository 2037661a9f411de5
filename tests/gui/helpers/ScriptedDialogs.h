// Message boxes and file dialogs for widget tests: every box is recorded,
// answers come from a queue the test fills beforehand.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "image/Dialogs.h"

namespace rm427::test {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    // Answers for the next boxes, in order.
    void Answer(MsgAnswer a) { answers.push_back(a); }
    MsgAnswer Show(const MessageRequest& request) override;

    // Every box shown, oldest first.
    std::vector<MessageRequest> shown;
    std::deque<MsgAnswer> answers;
    // Boxes shown while the queue was empty; they got the default button's answer.
    int unanswered = 0;

    const MessageRequest* Last() const { return shown.empty() ? nullptr : &shown.back(); }
    void Clear() {
        shown.clear();
        answers.clear();
        unanswered = 0;
    }
};

// The answer a box gives when its default button is pressed.
MsgAnswer DefaultAnswer(const MessageRequest& request);

class ScriptedFileDialogs : public FileDialogs {
public:
    // Paths for the next dialogs; an empty path stands for Cancel. An empty
    // queue cancels too.
    std::deque<std::string> openAnswers;
    std::deque<std::string> saveAnswers;

    struct Call {
        bool save;
        std::string filter;
        std::string proposedName;
    };
    std::vector<Call> calls;

    std::string GetOpenFileName(const std::string& filter) override;
    std::string GetSaveFileName(const std::string& filter, const std::string& proposedName) override;
};

}  // namespace rm427::test
