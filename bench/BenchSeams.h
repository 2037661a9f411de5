// Seams for the window benchmarks: every box answers OK, no file is chosen;
// and the main window over them, as the program starts it.
#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "image/Dialogs.h"
#include "image/Module1.h"
#include "shell/MDIForm1.h"

namespace rm427::bench {

class SilentBoxes : public MessageBoxes {
public:
    MsgAnswer Show(const MessageRequest&) override { return MsgAnswer::Ok; }
};

class NoFiles : public FileDialogs {
public:
    std::string GetOpenFileName(const std::string&) override { return {}; }
    std::string GetSaveFileName(const std::string&, const std::string&) override { return {}; }
};

// The main window, shown at 1400 x 900, with a settings file of its own in a
// scratch folder. Made once the QApplication exists.
struct BenchWindow {
    QTemporaryDir dir;
    Module1 state;
    SilentBoxes boxes;
    NoFiles files;
    std::unique_ptr<gui::MDIForm1> window;

    BenchWindow() {
        qputenv("RM427_SETTINGS_FILE", dir.filePath(QStringLiteral("settings.ini")).toUtf8());
        window = std::make_unique<gui::MDIForm1>(state, boxes, files);
        window->resize(1400, 900);
        window->show();
        QApplication::processEvents();
    }
};

}  // namespace rm427::bench
