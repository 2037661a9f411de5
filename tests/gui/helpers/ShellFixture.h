// A fresh program for a widget test: its own state, scripted boxes and file
// dialogs, and a settings file of its own in a temporary folder.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "helpers/ScriptedDialogs.h"
#include "image/Module1.h"
#include "shell/MDIForm1.h"

namespace rm427::test {

struct ShellFixture {
    QTemporaryDir dir;
    Module1 state;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    std::unique_ptr<gui::MDIForm1> main;
    QStringList opened;  // windows asked for through MDIForm1::windowHook

    // Points the settings store at dir/settings.ini (kept across Start/Stop)
    // and the data folder (the history) at dir/data.
    ShellFixture();
    QString SettingsFile() const { return dir.filePath(QStringLiteral("settings.ini")); }
    // Writes a value the way a previous run would have.
    void StoreSetting(const char* name, const char* text);
    // Starts the main window (start-up sequence) and shows it. With
    // hookWindows, windows of other parts are recorded in `opened` instead
    // of being opened.
    gui::MDIForm1& Start(bool hookWindows = true);
    // Closes the main window like the user; true when it really closed.
    bool Close();
    // Runs fn on the next modal window once it is open (e.g. to press a button).
    // The window is closed when a check in fn fails, and fails the test when
    // it is still open two minutes later.
    static void OnModal(std::function<void(QWidget*)> fn);
};

}  // namespace rm427::test
