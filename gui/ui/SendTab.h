// Moving on with Enter: in the program's dialogs, Enter in a drop-down list,
// an option button or a check box acts like Tab and moves the focus to the
// next control.
#pragma once

#include <QObject>

class QWidget;

namespace rm427::gui {

// Sends one Tab keystroke (press and release) to the widget that has the
// focus in the active window, or to `target` when it is given.
void SendTab(QWidget* target = nullptr);

// True for the controls on which Enter moves on: QComboBox (its list not
// open), QRadioButton, QCheckBox.
bool EnterMovesOn(const QWidget* w);

// Event filter doing it: installed on a window, it watches every child that
// EnterMovesOn accepts (also children added later, as they get the focus).
class EnterSendsTab : public QObject {
    Q_OBJECT
public:
    // Installs itself on `window` and its current children; owned by window.
    explicit EnterSendsTab(QWidget* window);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QWidget* w);
};

}  // namespace rm427::gui
