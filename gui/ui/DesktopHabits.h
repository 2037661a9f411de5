// What people expect of any desktop program, for every window at once:
// Enter presses the focused push button, the window that opened a modal
// window gets the keyboard back when it closes, and Qt's own texts
// (standard buttons, file dialogs, print preview) follow the language.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QApplication;
class QTranslator;
class QWidget;

namespace rm427::gui {

// Application name and version, the keyboard habits below. Sets no display
// name: the toolkit would append it to every window and message-box title.
void SetUpApplication(QApplication& app, const QString& version);

// Event filter on the whole application.
//  - Enter (Return or keypad Enter, no modifier) on a focused, enabled push
//    button presses it. Lists, option buttons, check boxes and text fields
//    keep their own meaning of Enter: only push buttons are touched.
//  - A window or child window being shown gets names for its fields from
//    the captions beside them (LinkCaptions).
//  - When a modal window closes, the window that was active when it opened
//    (or else its parent's window) is activated again and its focused
//    control gets the focus back.
class KeyboardHabits : public QObject {
    Q_OBJECT
public:
    explicit KeyboardHabits(QObject* parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Opened {
        QPointer<QWidget> modal, opener, focus;
    };
    void ModalShown(QWidget* modal);
    void ModalHidden(QWidget* modal);
    std::vector<Opened> open_;
};

// Qt's translations of its own texts, installed while the program's language
// is Chinese (1) and removed for English (0).
class QtOwnTexts {
public:
    QtOwnTexts();
    ~QtOwnTexts();
    void Apply(int language);
    // False when Qt's Chinese translation is not installed on this machine.
    bool Available() const { return loaded_; }

private:
    std::unique_ptr<QTranslator> translator_;
    bool loaded_ = false;
    bool installed_ = false;
};

}  // namespace rm427::gui
