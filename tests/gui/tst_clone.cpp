// The clone window against the simulator on a pseudo-terminal.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <csignal>

#include "PtyRadio.h"
#include "demo/DemoCodeplug.h"
#include "helpers/ShellFixture.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "io/StopSignals.h"
#include "radio/frmClone.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"

using namespace rm427;
using rm427::gui::frmClone;
using rm427::sim::Fault;
using rm427::sim::FaultKind;

class TstClone : public QObject {
    Q_OBJECT

    std::unique_ptr<sim::PtyRadio> sim_;

    void PointCom1At(const std::string& path) {
        QVERIFY(SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM1", path));
    }
    static CodeplugImage Pattern(int seed) {
        CodeplugImage img;
        for (int i = 0; i < kImageSize; ++i) img[i] = static_cast<std::uint8_t>(i * seed + 1);
        return img;
    }

private slots:
    void init() {
        sim_ = std::make_unique<sim::PtyRadio>();
        std::string error;
        QVERIFY2(sim_->Start(error), error.c_str());
        sim_->With([](sim::RadioModel& m) {
            for (int i = 0; i < sim::kMemorySize; ++i)
                m.memory[i] = static_cast<std::uint8_t>(i * 3 + 7);
        });
    }
    void cleanup() { sim_.reset(); }

    // Read from Radio through the main window's dispatch: the image, the
    // snapshot, the limits and the title follow the radio.
    void readThroughTheMainWindow() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        gui::MDIForm1& main = f.Start(false);
        f.state.FreqLimitLow = 136;
        f.state.Image[0x0FC] = 0x42;  // never transferred: kept
        QString caption, label, begin;
        int maximum = -1;
        test::ShellFixture::OnModal([&](QWidget* w) {
            auto* clone = qobject_cast<frmClone*>(w);
            QVERIFY(clone);
            caption = clone->windowTitle();
            label = clone->LblPercent()->text();
            begin = clone->CmdBegin()->text();
            maximum = clone->PrgPercent()->maximum();
            // Enter that no control takes presses the window's default, Read.
            QTest::keyClick(clone, Qt::Key_Return);
        });
        main.Dispatch(QStringLiteral("miRead"));
        QCOMPARE(caption, QStringLiteral("Read data from radio"));
        QCOMPARE(begin, QStringLiteral("Read"));
        QCOMPARE(label, QStringLiteral("Completion percentage:  0%"));
        QCOMPARE(maximum, 130);
        QVERIFY(f.boxes.Last());
        QCOMPARE(QString::fromStdString(f.boxes.Last()->text), QStringLiteral("Reading completed!"));
        QCOMPARE(QString::fromStdString(f.boxes.Last()->title), QStringLiteral("RM-427"));
        const auto mem = sim_->With([](sim::RadioModel& m) { return m.memory; });
        for (int off = 0; off < kImageSize; ++off)
            if (ReadTransfersOffset(off)) QCOMPARE(f.state.Image[off], mem[off]);
        QCOMPARE(f.state.Image[0x0FC], std::uint8_t(0x42));
        QVERIFY(!f.state.ImageModified());
        QCOMPARE(f.state.FreqLimitLow, std::int16_t(100));
        QVERIFY(main.windowTitle().startsWith(QStringLiteral("RM-427[100 - 550 MHz]")));
    }

    // A NAK offers Retry (text 1331, title "Error"); Retry starts over and
    // the write completes; the image itself is not changed by a write.
    void writeRetriesAfterNak() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->With([](sim::RadioModel& m) {
            m.bandLow = 0;
            m.bandHigh = 65535;
            m.faults.push_back(Fault{FaultKind::Nak, 3, 1, 0});
        });
        f.state.Image = Pattern(5);
        const CodeplugImage before = f.state.Image;
        f.state.CloneDirection = 1;
        f.boxes.Answer(MsgAnswer::Retry);
        frmClone w(f.state, f.boxes, {});
        QCOMPARE(w.windowTitle(), QStringLiteral("Write data to radio"));
        QCOMPARE(w.CmdBegin()->text(), QStringLiteral("Write"));
        QCOMPARE(w.PrgPercent()->maximum(), 116);
        w.ChkVerify()->setChecked(false);
        w.show();
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QVERIFY(!w.CmdBegin()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 20000);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.boxes.shown.size(), std::size_t(2));
        QCOMPARE(f.boxes.shown[0].text, LoadText(0, 1331));
        QCOMPARE(f.boxes.shown[0].title, std::string("Error"));
        QVERIFY(f.boxes.shown[0].buttons == MsgButtons::RetryCancel);
        QCOMPARE(f.boxes.shown[1].text, std::string("Writing completed!"));
        QCOMPARE(w.LblPercent()->text(), QStringLiteral("Completion percentage:  100%"));
        QVERIFY(f.state.Image == before);  // what reached the radio: clone_e2e_test
    }

    // Verify after writing: on by default and remembered; a second read
    // exchange compares the radio with what was sent (band check included)
    // and a byte the radio stored wrongly is named with an error icon.
    void verifyAfterWriting() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->With([](sim::RadioModel& m) {
            m.bandLow = 4340;
            m.bandHigh = 4370;
        });
        f.state.Image = DemoCodeplug();
        f.state.CloneDirection = 1;
        auto writeOnce = [&](int expected) {
            f.boxes.Clear();
            frmClone w(f.state, f.boxes, {});
            w.show();
            QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 30000);
            QCOMPARE(w.LblPercent()->text(), QStringLiteral("Verifying: Completion percentage:  100%"));
            QCOMPARE(w.PrgPercent()->maximum(), 130);
            QCOMPARE(f.boxes.shown.size(), std::size_t(1));
            QCOMPARE(w.result(), expected);
        };
        {
            frmClone w(f.state, f.boxes, {});
            QVERIFY(w.ChkVerify()->isChecked());
            QCOMPARE(w.ChkVerify()->text(), QStringLiteral("Verify after writing"));
        }
        writeOnce(QDialog::Accepted);
        if (QTest::currentTestFailed()) return;
        const MessageRequest ok = f.boxes.shown[0];
        QCOMPARE(QString::fromStdString(ok.text),
                 QString::fromStdString("Writing completed!\n" + VerifySummary(0, 0) +
                                        "\nThe band check changed 5 channels: see the details."));
        QVERIFY(ok.icon == MsgIcon::Exclamation);  // the band check changed channels
        QVERIFY2(ok.details.find("The radio's band is 434.0 - 437.0 MHz.") == 0, ok.details.c_str());
        QVERIFY2(
            ok.details.find(
                "Channel 10 (Rx 441.62500, Tx 441.62500): receive outside the band, sent as empty.") !=
                std::string::npos,
            ok.details.c_str());

        sim_->With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::Flip, 1, 1, 0}); });
        writeOnce(QDialog::Rejected);
        if (QTest::currentTestFailed()) return;
        const MessageRequest bad = f.boxes.shown[0];
        QCOMPARE(QString::fromStdString(bad.text),
                 QString::fromStdString(
                     "Writing completed!\nVerify failed: the radio does not hold what was "
                     "written (2 differences).\nThe band check changed 5 channels: see the details."));
        QVERIFY(bad.icon == MsgIcon::Critical);
        QVERIFY2(bad.details.find("channel 1: Rx Freq \"436.52000\" -> ") == 0, bad.details.c_str());

        // Unchecked once, unchecked next time; a write then reads nothing back.
        {
            frmClone w(f.state, f.boxes, {});
            w.ChkVerify()->setChecked(false);
        }
        frmClone w(f.state, f.boxes, {});
        QVERIFY(!w.ChkVerify()->isChecked());
    }

    // A read that fails and is cancelled changes nothing and releases the radio.
    void failedReadChangesNothing() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::Nak, 20, -1, 0}); });
        f.state.Image = Pattern(11);
        f.state.SnapshotImage();
        f.state.Image[5] ^= 0xFF;  // an unsaved edit
        const CodeplugImage image = f.state.Image, saved = f.state.SavedImage;
        f.state.FreqLimitHigh = 174;
        f.boxes.Answer(MsgAnswer::Cancel);
        bool refreshed = false;
        frmClone w(f.state, f.boxes, [&] { refreshed = true; });
        w.show();
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 20000);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.state.Image == image);
        QVERIFY(f.state.SavedImage == saved);
        QCOMPARE(f.state.FreqLimitHigh, std::int16_t(174));
        QVERIFY(!refreshed);
        // "DONE" leaves with the window's close; the simulator's thread may still be reading it.
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(sim_->With([](sim::RadioModel& m) {
                                      const auto frames = m.Frames();
                                      return frames.empty() ? std::string() : frames.back().kind;
                                  })),
                                  QStringLiteral("done"), 2000);
    }

    // Logout or kill mid-write: the window cancels, the radio hears "DONE",
    // and only then is the program told to end.
    void stopSignalMidWriteReleasesTheRadio() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->SetByteTime(sim::kByteTimeMs2400);
        f.state.CloneDirection = 1;
        frmClone w(f.state, f.boxes, {});
        w.show();
        int stoppedBy = 0;
        StopSignals stop([&](int sig) { frmClone::StopAll([&stoppedBy, sig] { stoppedBy = sig; }); });
        auto frames = [this] { return sim_->With([](sim::RadioModel& m) { return m.Frames(); }); };
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frames().size() >= 5, 20000);
        ::kill(::getpid(), SIGHUP);
        QTRY_COMPARE_WITH_TIMEOUT(stoppedBy, SIGHUP, 5000);
        QCOMPARE(QString::fromStdString(frames().back().kind), QStringLiteral("done"));
        QVERIFY(frames().size() < 118);
    }

    // A port that cannot be opened: its description in a warning, Start again enabled.
    void missingPortWarnsAndStaysIdle() {
        test::ShellFixture f;
        PointCom1At("/dev/nonexistent-rm427");
        f.state.Language = 1;
        frmClone w(f.state, f.boxes, {});
        QCOMPARE(w.windowTitle(), QString::fromStdString(LoadText(1, 1246)));
        QCOMPARE(w.LblPercent()->text(),
                 QString::fromStdString(LoadText(1, 1330)) + QStringLiteral(":  0%"));
        w.show();
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QCOMPARE(f.boxes.shown.size(), std::size_t(1));
        QVERIFY(f.boxes.shown[0].text.find("/dev/nonexistent-rm427") != std::string::npos);
        QVERIFY(f.boxes.shown[0].icon == MsgIcon::Exclamation);
        QVERIFY(w.CmdBegin()->isEnabled());
        QVERIFY(w.isVisible());
    }
};

QTEST_MAIN(TstClone)
#include "tst_clone.moc"
