// The clone window against the simulator on a pseudo-terminal.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QAccessible>
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

    // Runs the event loop itself (QTRY's waits sleep between their checks,
    // which would stretch every timer of a long exchange).
    static bool WaitUntil(const std::function<bool()>& done, int ms = 40000) {
        QEventLoop loop;
        QTimer check, limit;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (done()) loop.quit();
        });
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        check.start(20);
        limit.start(ms);
        loop.exec();
        return done();
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
        // What lands in the image: clone_test ReadTakesOnlyTheLastBytesAndFinishesWith100msAfterDone.
        QCOMPARE(f.state.Image[0], sim_->With([](sim::RadioModel& m) { return m.memory[0]; }));
        QVERIFY(main.windowTitle().startsWith(QStringLiteral("RM-427[100 - 550 MHz]")));
    }

    // A NAK offers Retry (text 1331, title "Error"); Retry starts over and
    // the write completes; the image itself is not changed by a write.
    void writeRetriesAfterNak() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->With([](sim::RadioModel& m) {
            m.bandLow = 1000;
            m.bandHigh = 5500;
            m.faults.push_back(Fault{FaultKind::Nak, 3, 1, 0});
        });
        f.state.Image = Pattern(5);
        const CodeplugImage before = f.state.Image;
        f.state.CloneDirection = 1;
        f.boxes.Answer(MsgAnswer::Ok);  // the check's warnings
        f.boxes.Answer(MsgAnswer::Retry);
        frmClone w(f.state, f.boxes, {});
        QCOMPARE(w.windowTitle(), QStringLiteral("Write data to radio"));
        QCOMPARE(w.CmdBegin()->text(), QStringLiteral("Write"));
        QCOMPARE(w.PrgPercent()->maximum(), 116);
        w.ChkVerify()->setChecked(false);
        w.ChkKeepCopy()->setChecked(false);
        w.show();
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QVERIFY(!w.CmdBegin()->isEnabled());
        QVERIFY(WaitUntil([&] { return !w.isVisible(); }));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(f.boxes.shown.size(), std::size_t(3));
        QCOMPARE(f.boxes.shown[1].text, LoadText(0, 1331));
        QCOMPARE(f.boxes.shown[1].title, std::string("Error"));
        QVERIFY(f.boxes.shown[1].buttons == MsgButtons::RetryCancel);
        QCOMPARE(f.boxes.shown[2].text.rfind("Writing completed!", 0), std::size_t(0));
        QCOMPARE(w.LblPercent()->text(), QStringLiteral("Completion percentage:  100%"));
        // A screen reader hears the step and the percentage.
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w.PrgPercent());
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Write data to radio"));
        QVERIFY2(bar->text(QAccessible::Description).endsWith(QStringLiteral(" 100%")),
                 qPrintable(bar->text(QAccessible::Description)));
        QVERIFY(f.state.Image == before);  // what reached the radio: clone_e2e_test
    }

    // Write window: the check's list (warnings go on with Enter, errors need
    // "Write anyway"), the copy of the radio and the changes to confirm, the
    // verify, and the restore offer when the radio stored a wrong bit. Both
    // check boxes are on by default and remembered.
    void writeChecksKeepsACopyVerifiesAndRestores() {
        test::ShellFixture f;
        PointCom1At(sim_->SlavePath());
        sim_->With([](sim::RadioModel& m) {
            m.bandLow = 4340;
            m.bandHigh = 4370;
        });
        f.state.Image = DemoCodeplug();
        f.state.CloneDirection = 1;
        CloneTiming fast;
        fast.pollInterval = 2;  // the same rule, quicker on an unpaced pty
        auto writeOnce = [&](int expected) {
            frmClone w(f.state, f.boxes, {});
            w.SetWriteTiming(fast);
            w.show();
            QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
            QVERIFY(WaitUntil([&] { return !w.isVisible() || w.CmdBegin()->isEnabled(); }));
            QCOMPARE(w.result(), expected);
        };
        {
            frmClone w(f.state, f.boxes, {});
            QVERIFY(w.ChkVerify()->isChecked());
            QVERIFY(w.ChkKeepCopy()->isChecked());
        }
        writeOnce(QDialog::Accepted);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(f.boxes.shown.size(), std::size_t(3));
        const MessageRequest& check = f.boxes.shown[0];
        QVERIFY2(check.text.rfind("Before writing - errors: 0, warnings: ", 0) == 0 &&
                     check.text.find("\nWarning: The codeplug is for RM-427(UHF) 400 - 470(MHz) but the "
                                     "radio reports 434.0 - 437.0 MHz.\n") != std::string::npos,
                 check.text.c_str());
        QVERIFY(check.icon == MsgIcon::Exclamation);
        QVERIFY(check.buttonTexts == std::vector<std::string>({"Write", "&Cancel"}));
        QCOMPARE(check.defaultButton, 0);
        const MessageRequest& confirm = f.boxes.shown[1];
        QVERIFY2(confirm.text.find("Write ") == 0 &&
                     confirm.text.find(" changes to the radio?") != std::string::npos,
                 confirm.text.c_str());
        QVERIFY2(confirm.details.find("channel 1: Rx Freq ") == 0, confirm.details.c_str());
        const MessageRequest ok = f.boxes.shown[2];
        QCOMPARE(QString::fromStdString(ok.text),
                 QString::fromStdString("Writing completed!\n" + VerifySummary(0, 0) +
                                        "\nThe band check changed 5 channels: see the details."));
        QVERIFY(ok.icon == MsgIcon::Exclamation);  // the band check changed channels
        QVERIFY2(ok.details.find("The radio's band is 434.0 - 437.0 MHz.") == 0, ok.details.c_str());

        // A flipped bit: the restore offer, then the radio holds its copy again.
        f.boxes.Clear();
        f.state.Image[0xE95] ^= 0x01;  // something to write
        // Step 30 of the copy's read takes the first (a read ignores it), the write the second.
        sim_->With([](sim::RadioModel& m) { m.faults.push_back(Fault{FaultKind::Flip, 30, 2, 0}); });
        const auto before = sim_->With([](sim::RadioModel& m) { return m.memory; });
        writeOnce(QDialog::Rejected);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(f.boxes.shown.size(), std::size_t(4));
        const MessageRequest& offer = f.boxes.shown[2];
        QVERIFY2(offer.text.find("Verify failed") != std::string::npos, offer.text.c_str());
        QVERIFY(offer.buttonTexts == std::vector<std::string>({"Restore the radio", "Close"}));
        QCOMPARE(f.boxes.shown[3].text, LoadText(0, 3524));
        const auto after = sim_->With([](sim::RadioModel& m) { return m.memory; });
        for (int off = 0; off < kImageSize; ++off)
            if (ReadTransfersOffset(off)) QCOMPARE(after[off], before[off]);

        // A VHF radio: errors, Enter cancels, nothing is written and the window stays.
        f.boxes.Clear();
        sim_->With([&](sim::RadioModel& m) {
            m.bandLow = 1360;
            m.bandHigh = 1740;
            m.ClearFrames();
        });
        {
            frmClone w(f.state, f.boxes, {});
            w.ChkKeepCopy()->setChecked(false);  // remembered
            w.ChkVerify()->setChecked(false);
            w.SetWriteTiming(fast);
            w.show();
            QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
            QVERIFY(WaitUntil([&] { return w.CmdBegin()->isEnabled(); }));
            QVERIFY(w.isVisible());
            QCOMPARE(f.boxes.shown.size(), std::size_t(1));
            QVERIFY(f.boxes.shown[0].icon == MsgIcon::Critical);
            QVERIFY(f.boxes.shown[0].buttonTexts ==
                    std::vector<std::string>({"Write anyway", "&Cancel"}));
            QCOMPARE(f.boxes.shown[0].defaultButton, 1);
            for (const auto& fr : sim_->With([](sim::RadioModel& m) { return m.Frames(); }))
                QVERIFY(fr.kind != "write");
        }
        frmClone w(f.state, f.boxes, {});
        QVERIFY(!w.ChkVerify()->isChecked());
        QVERIFY(!w.ChkKeepCopy()->isChecked());
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
        f.boxes.Answer(MsgAnswer::Ok);  // the check's errors (no channel): write anyway
        frmClone w(f.state, f.boxes, {});
        w.ChkKeepCopy()->setChecked(false);
        w.show();
        int stoppedBy = 0;
        StopSignals stop([&](int sig) { frmClone::StopAll([&stoppedBy, sig] { stoppedBy = sig; }); });
        auto frames = [this] { return sim_->With([](sim::RadioModel& m) { return m.Frames(); }); };
        QTest::mouseClick(w.CmdBegin(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frames().size() >= 2 + 5, 20000);  // the probe, then the write
        ::kill(::getpid(), SIGHUP);
        QTRY_COMPARE_WITH_TIMEOUT(stoppedBy, SIGHUP, 5000);
        QCOMPARE(QString::fromStdString(frames().back().kind), QStringLiteral("done"));
        QVERIFY(frames().size() < 2 + 118);
    }

    // A port that cannot be opened: its description in a warning, Start again enabled.
    void missingPortWarnsAndStaysIdle() {
        test::ShellFixture f;
        PointCom1At("/dev/nonexistent-rm427");
        f.state.Language = 1;
        frmClone w(f.state, f.boxes, {});
        QCOMPARE(w.windowTitle(), QString::fromStdString(LoadText(1, 1246)));
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
