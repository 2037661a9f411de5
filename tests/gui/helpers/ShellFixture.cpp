#include "helpers/ShellFixture.h"

#include <QApplication>
#include <QTimer>

#include "io/RegKeys.h"

namespace rm427::test {

ShellFixture::ShellFixture() {
    qputenv(kSettingsFileVariable, SettingsFile().toLocal8Bit());
    // The history of reads, writes and saves goes to dir/data/rm427/history.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
}

void ShellFixture::StoreSetting(const char* name, const char* text) {
    SetKeyValue(RegRoot::LocalMachine, kProgramKeyPath, name, text);
}

gui::MDIForm1& ShellFixture::Start(bool hookWindows) {
    main = std::make_unique<gui::MDIForm1>(state, boxes, files);
    if (hookWindows) {
        main->windowHook = [this](const QString& w) {
            opened << w;
            return w != QLatin1String("frmModel") && w != QLatin1String("frmAbout") &&
                   w != QLatin1String("frmPreview");
        };
    }
    main->show();
    return *main;
}

bool ShellFixture::Close() { return main->close(); }

void ShellFixture::OnModal(std::function<void(QWidget*)> fn) {
    // Polls until the modal window has started its own event loop.
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            fn(w);
        }
    });
    timer->start();
}

}  // namespace rm427::test
