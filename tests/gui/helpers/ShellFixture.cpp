#include "helpers/ShellFixture.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>

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
        const QPointer<QWidget> w = QApplication::activeModalWidget();
        if (!w) return;
        timer->stop();
        timer->deleteLater();
        // Keys for the window's shortcuts need it active: on a loaded machine
        // that can come well after its event loop has started.
        static_cast<void>(QTest::qWaitForWindowActive(w));
        fn(w);
        // A window left open would hold the test until ctest's time runs out:
        // one whose check failed (the check left fn early) is closed at once,
        // and the test goes on from the window's exec to its end, failed; one
        // still open two minutes after fn fails the test and is closed.
        auto end = [w] {
            if (!w || !w->isVisible()) return;
            if (auto* d = qobject_cast<QDialog*>(w.data())) d->reject();
            else w->close();
        };
        if (QTest::currentTestFailed() || !w) return end();
        QTimer::singleShot(120000, w, [w, end] {
            if (w && w->isVisible()) QTest::qFail("the window stayed open", __FILE__, __LINE__);
            end();
        });
    });
    timer->start();
}

}  // namespace rm427::test
