// rm427: the programming software's window.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "image/Module1.h"
#include "shell/DemoRadio.h"
#include "shell/MDIForm1.h"
#include "ui/QtDialogs.h"

int main(int argc, char** argv) {
    // Answered before any window system is needed, so it works on a console.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("rm427 %s\n", RM427_VERSION);
            return 0;
        }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rm427"));
    QApplication::setApplicationDisplayName(QStringLiteral("RM-427"));

    bool demo = false;
    for (int i = 1; i < argc; ++i) demo = demo || std::strcmp(argv[i], "--demo") == 0;
    // --demo: a simulated radio on the port every run starts with (COM1).
    rm427::gui::DemoRadio demoRadio;
    if (demo) {
        std::string error;
        if (!demoRadio.Start(1, error)) {
            std::fprintf(stderr, "rm427: --demo: %s\n", error.c_str());
            return 1;
        }
    }

    rm427::Module1 state;
    rm427::gui::QtMessageBoxes boxes;
    rm427::gui::QtFileDialogs files;
    rm427::gui::MDIForm1 main(state, boxes, files);
    boxes.SetOwner(&main);
    files.SetOwner(&main);
    if (demo) demoRadio.Announce(main);
    main.show();
    return app.exec();
}
