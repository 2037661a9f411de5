// The history: copies after read, write and save through the main window,
// the History window's list, Compare and Open, and a folder that cannot be
// written.
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "PtyRadio.h"
#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"
#include "file/History.h"
#include "helpers/ShellFixture.h"
#include "io/HistoryFolder.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "radio/frmClone.h"
#include "shell/MDIForm1.h"
#include "shell/frmHistory.h"
#include "text/TextTable.h"

using namespace rm427;

class TstHistory : public QObject {
    Q_OBJECT

    static void PressBegin() {
        test::ShellFixture::OnModal([](QWidget* w) {
            auto* clone = qobject_cast<gui::frmClone*>(w);
            QVERIFY(clone);
            QTest::mouseClick(clone->CmdBegin(), Qt::LeftButton);
        });
    }

private slots:
    void readWriteAndSaveKeepCopies() {
        sim::PtyRadio radio;
        std::string error;
        QVERIFY2(radio.Start(error), error.c_str());
        radio.With([](sim::RadioModel& m) {
            const CodeplugImage demo = DemoCodeplug();
            std::copy(demo.begin(), demo.end(), m.memory.begin());
            m.bandLow = 4000;  // the demonstration radio's band
            m.bandHigh = 4700;
        });
        test::ShellFixture f;
        QVERIFY(SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM1", radio.SlavePath()));
        gui::MDIForm1& main = f.Start(false);
        const std::string folder = HistoryFolder();
        QVERIFY(QString::fromStdString(folder).startsWith(f.dir.path()));

        f.state.Image = DemoCodeplug();
        main.RefreshChannel();
        const QString saved = f.dir.filePath(QStringLiteral("mine.dat"));
        f.files.saveAnswers.push_back(saved.toStdString());
        main.Dispatch(QStringLiteral("miSaveAs"));
        PressBegin();
        main.Dispatch(QStringLiteral("miRead"));
        const CodeplugImage read = f.state.Image;
        f.state.Image[ChannelOffset(1) + 1] ^= 0x10;  // an edit, then written
        main.RefreshChannel();
        PressBegin();
        main.Dispatch(QStringLiteral("miWrite"));

        const auto entries = ListHistory(folder);
        QCOMPARE(entries.size(), std::size_t(4));
        QVERIFY(entries[0].kind == HistoryKind::Write);
        QVERIFY(entries[1].kind == HistoryKind::BeforeWrite);  // the radio, read before writing
        QVERIFY(entries[2].kind == HistoryKind::Read);
        QVERIFY(entries[3].kind == HistoryKind::Save);
        QCOMPARE(entries[3].source, std::string("mine.dat"));
        QVERIFY(f.boxes.shown.size() >= 2);  // completions and the question to write, no warning
        for (const auto& b : f.boxes.shown)
            QVERIFY(b.icon == MsgIcon::Information || b.icon == MsgIcon::Question);

        // The window lists them; Compare the read copy with the current image;
        // Open the read copy as an unsaved codeplug (Alt+C, Enter).
        QString rows, comparison, fileAfter;
        test::ShellFixture::OnModal([&](QWidget* w) {
            auto* h = qobject_cast<gui::frmHistory*>(w);
            QVERIFY(h);
            for (int r = 0; r < h->List()->topLevelItemCount(); ++r) {
                const auto* it = h->List()->topLevelItem(r);
                for (int c = 1; c < 5; ++c) rows += it->text(c) + QLatin1Char('|');
                rows += QLatin1Char('\n');
            }
            h->List()->setCurrentItem(h->List()->topLevelItem(2));
            QTest::keyClick(h->List(), Qt::Key_C, Qt::AltModifier);  // by keyboard alone
            QTRY_VERIFY(h->Comparison() && h->Comparison()->isVisible());
            comparison = h->Comparison()->findChild<QPlainTextEdit*>()->toPlainText();
            h->Comparison()->close();
            f.boxes.Answer(MsgAnswer::No);  // the edit is not saved
            QTest::keyClick(h->List(), Qt::Key_Return);
        });
        main.Dispatch(QStringLiteral("miHistory"));
        QCOMPARE(rows, QStringLiteral("write|mine.dat|400 - 470(MHz)|12|\n"
                                      "before write|mine.dat|400 - 470(MHz)|12|\n"
                                      "read|mine.dat|400 - 470(MHz)|12|\n"
                                      "save|mine.dat|400 - 470(MHz)|12|\n"));
        QVERIFY2(comparison.contains(QStringLiteral("\nchannel 1: ")), qPrintable(comparison));
        QVERIFY(f.state.Image == read);
        QCOMPARE(f.state.FileName, std::string("Untitled.dat"));
        QCOMPARE(f.boxes.Last()->text, LoadText(0, 1320));
    }

    // No history folder can be made: one warning, and every save still works.
    void unwritableHistoryWarnsOnce() {
        test::ShellFixture f;
        QFile blocker(f.dir.filePath(QStringLiteral("data")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
        blocker.close();
        gui::MDIForm1& main = f.Start(false);
        const QString path = f.dir.filePath(QStringLiteral("a.dat"));
        f.files.saveAnswers.push_back(path.toStdString());
        main.Dispatch(QStringLiteral("miSaveAs"));
        main.Dispatch(QStringLiteral("miSave"));
        QVERIFY(QFile::exists(path));
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.boxes.shown[0].icon == MsgIcon::Exclamation);
        QVERIFY2(f.boxes.shown[0].text.rfind("No copy could be kept in the history (", 0) == 0,
                 f.boxes.shown[0].text.c_str());
        QVERIFY(!f.state.ImageModified());
    }
};

QTEST_MAIN(TstHistory)
#include "tst_history.moc"
