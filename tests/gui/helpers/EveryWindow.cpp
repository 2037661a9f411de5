#include "helpers/EveryWindow.h"

#include "radio/frmMemoryMap.h"
#include "settings/FrmBatch.h"

namespace rm427::test {

QStringList EveryWindow() {
    return {QString(),
            QStringLiteral("miBatchEdit"),
            QStringLiteral("miFunctionSet"),
            QStringLiteral("miCommunicationPort"),
            QStringLiteral("miRead"),
            QStringLiteral("miWrite"),
            QStringLiteral("miFleet"),
            QStringLiteral("miTestMode"),
            QStringLiteral("miModel"),
            QStringLiteral("miAbout"),
            QStringLiteral("miHistory"),
            QStringLiteral("map")};
}

bool VisitWindow(ShellFixture& f, const QString& window, const std::function<void(QWidget*)>& fn) {
    gui::MDIForm1& main = f.Start(false);
    if (window.isEmpty()) {
        fn(&main);
        return true;
    }
    if (window == QLatin1String("map")) {
        fn(frmMemoryMap::ShowMap(f.state, &main));
        return true;
    }
    if (window == QLatin1String("miBatchEdit")) {
        main.Dispatch(window);
        fn(main.findChild<gui::FrmBatch*>());
        return true;
    }
    bool seen = false;
    ShellFixture::OnModal([&](QWidget* w) {
        seen = true;
        fn(w);
        w->close();
    });
    main.Dispatch(window);
    return seen;
}

}  // namespace rm427::test
