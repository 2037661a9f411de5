// The Program Many Radios window: its keys (Enter starts and programs the
// next radio, Esc ends the run and then closes) and its captions in both
// languages, against the simulator on a pty.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include "PtyRadio.h"
#include "demo/DemoCodeplug.h"
#include "helpers/ShellFixture.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "radio/frmFleet.h"
#include "text/TextTable.h"

using namespace rm427;

class TstFleet : public QObject {
    Q_OBJECT

private slots:
    void enterProgramsRadiosEscEndsAndCloses() {
        sim::PtyRadio radio;
        std::string error;
        QVERIFY2(radio.Start(error), error.c_str());
        radio.With([](sim::RadioModel& m) {
            m.bandLow = 4000;  // the demonstration codeplug's band
            m.bandHigh = 4700;
            m.newRadioEachSession = true;
        });
        test::ShellFixture f;
        QVERIFY(SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM1", radio.SlavePath()));
        f.state.Image = DemoCodeplug();
        for (int lang : {1, 0}) {
            f.state.Language = static_cast<std::uint8_t>(lang);
            gui::frmFleet w(f.state, f.boxes, f.files,
                            f.dir.filePath(QStringLiteral("history")).toStdString());
            CloneTiming fast;
            fast.pollInterval = 2;
            w.SetTiming(fast);
            w.show();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QCOMPARE(w.windowTitle().toStdString(), LoadText(lang, 3940));
            QCOMPARE(w.CmdStart()->text().toStdString(), LoadText(lang, 3975));
            QCOMPARE(w.List()->headerItem()->text(6).toStdString(), LoadText(lang, 3961));

            w.TxtPattern()->setFocus();
            QTest::keyClicks(w.TxtPattern(), "car##");  // typed as capitals
            QCOMPARE(w.TxtPattern()->text(), QStringLiteral("CAR##"));
            w.SpnCount()->setValue(3);
            QTest::keyClick(&w, Qt::Key_Return);  // Start
            QVERIFY(w.Run());
            QCOMPARE(w.LblPrompt()->text().toStdString(), FillText(LoadText(lang, 3952), {"1"}));
            QTest::keyClick(&w, Qt::Key_Return);  // radio 1
            QTRY_COMPARE_WITH_TIMEOUT(w.List()->topLevelItemCount(), 1, 20000);
            QCOMPARE(w.List()->topLevelItem(0)->text(4), QStringLiteral("CAR01"));
            QCOMPARE(w.List()->topLevelItem(0)->text(5).toStdString(), LoadText(lang, 3962));
            QTRY_COMPARE(w.LblPrompt()->text().toStdString(), FillText(LoadText(lang, 3952), {"2"}));
            QTest::keyClick(&w, Qt::Key_Escape);  // ends the run, the window stays
            QVERIFY(w.isVisible());
            QCOMPARE(w.LblPrompt()->text().toStdString(), FillText(LoadText(lang, 3974), {"1", "3"}));
            QTest::keyClick(&w, Qt::Key_Escape);
            QVERIFY(!w.isVisible());
        }
        QVERIFY(f.boxes.shown.empty());
    }
};

QTEST_MAIN(TstFleet)
#include "tst_fleet.moc"
