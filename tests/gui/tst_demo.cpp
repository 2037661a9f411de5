// rm427 --demo: the simulated radio inside the program, read through the
// main window's Read from Radio.
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"
#include "helpers/ShellFixture.h"
#include "io/RegKeys.h"
#include "radio/frmClone.h"
#include "settings/SettingsRow.h"
#include "shell/DemoRadio.h"

using namespace rm427;

class TstDemo : public QObject {
    Q_OBJECT
private slots:
    void readFromTheSimulatedRadio();
};

void TstDemo::readFromTheSimulatedRadio() {
    test::ShellFixture f;
    f.StoreSetting("language", "1");
    gui::DemoRadio demo;
    std::string error;
    QVERIFY2(demo.Start(1, error), error.c_str());
    gui::MDIForm1& main = f.Start(false);
    demo.Announce(main);
    // The user's language came along; the status bar says the radio is simulated.
    QCOMPARE(int(f.state.Language), 1);
    auto* label = main.MSBar()->findChild<QLabel*>(QStringLiteral("MSBarDemo"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("模拟对讲机（演示），COM1"));

    test::ShellFixture::OnModal([](QWidget* w) {
        auto* clone = qobject_cast<gui::frmClone*>(w);
        QVERIFY(clone);
        QTest::mouseClick(clone->CmdBegin(), Qt::LeftButton);
    });
    main.Dispatch(QStringLiteral("miRead"));
    QVERIFY(f.boxes.Last());
    // The demonstration's channels and settings (what a read transfers: clone_e2e_test).
    QVERIFY(EnglishChannelRows(f.state.Image) == EnglishChannelRows(DemoCodeplug()));
    const SettingsSelections sel = ShowSettings(f.state.Image);
    QCOMPARE(sel.message, std::string("DEMO"));
    QCOMPARE(sel.list[setSquelch], 4);

    // The port mapping lives in this run's own settings file only.
    QSettings user(f.SettingsFile(), QSettings::IniFormat);
    QVERIFY(!user.allKeys().join(',').contains(QStringLiteral("Ports")));
}

QTEST_MAIN(TstDemo)
#include "tst_demo.moc"
