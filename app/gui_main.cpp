// rm427: the programming software's window.
#include <QApplication>

#include "image/Module1.h"
#include "shell/MDIForm1.h"
#include "ui/QtDialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rm427"));
    QApplication::setApplicationDisplayName(QStringLiteral("RM-427"));

    rm427::Module1 state;
    rm427::gui::QtMessageBoxes boxes;
    rm427::gui::QtFileDialogs files;
    rm427::gui::MDIForm1 main(state, boxes, files);
    boxes.SetOwner(&main);
    files.SetOwner(&main);
    main.show();
    return app.exec();
}
