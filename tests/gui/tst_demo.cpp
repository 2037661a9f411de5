// rm427 --demo: the simulated radio inside the program, read through the
// main window's Read from Radio over each kind of line, and the result saved
// under a Chinese name.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"
#include "file/DataFile.h"
#include "helpers/ShellFixture.h"
#include "io/RegKeys.h"
#include "radio/frmClone.h"
#include "settings/SettingsRow.h"
#include "shell/DemoRadio.h"

using namespace rm427;

class TstDemo : public QObject {
    Q_OBJECT
private slots:
    void readFromTheSimulatedRadio_data();
    void readFromTheSimulatedRadio();
};

void TstDemo::readFromTheSimulatedRadio_data() {
    QTest::addColumn<int>("line");
    QTest::newRow("inside the program") << int(gui::DemoRadio::Line::InProcess);
#ifndef _WIN32
    QTest::newRow("pseudo-terminal") << int(gui::DemoRadio::Line::PseudoTerminal);
#endif
}

void TstDemo::readFromTheSimulatedRadio() {
    QFETCH(int, line);
    test::ShellFixture f;
    f.StoreSetting("language", "1");
    gui::DemoRadio demo;
    std::string error;
    QVERIFY2(demo.Start(1, error, gui::DemoRadio::Line(line)), error.c_str());
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

    const QString saved = f.dir.filePath(QStringLiteral("演示对讲机.dat"));
    f.files.saveAnswers.push_back(saved.toStdString());
    main.Dispatch(QStringLiteral("miSaveAs"));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    CodeplugImage back{};
    QVERIFY(DecodeDataFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), back));
    QVERIFY(back == f.state.Image);

    // The port mapping lives in this run's own settings file only.
    QSettings user(f.SettingsFile(), QSettings::IniFormat);
    QVERIFY(!user.allKeys().join(',').contains(QStringLiteral("Ports")));
}

QTEST_MAIN(TstDemo)
#include "tst_demo.moc"
