// The port window: probes over real pseudo-terminals and missing devices.
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QStatusBar>
#include <QtTest>

#include <tuple>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "PtyRadio.h"
#include "helpers/ShellFixture.h"
#include "io/PortSettings.h"
#include "io/RegKeys.h"
#include "radio/frmComPort.h"
#include "shell/MDIForm1.h"
#include "text/TextTable.h"

using namespace rm427;
using rm427::gui::frmComPort;

namespace {
struct Pty {
    int master = -1, slave = -1;
    std::string path;
    Pty() {
        char name[256] = {0};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            termios t{};
            ::tcgetattr(slave, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(slave, TCSANOW, &t);
            path = name;
            ::fcntl(master, F_SETFL, O_NONBLOCK);
        }
    }
    ~Pty() {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
    std::string Drain() {
        std::string s;
        char buf[64];
        ssize_t n;
        while ((n = ::read(master, buf, sizeof buf)) > 0) s.append(buf, static_cast<std::size_t>(n));
        return s;
    }
};
}  // namespace

class TstComPort : public QObject {
    Q_OBJECT

    // COM1 and COM3 on pseudo-terminals, every other port missing.
    static void MapPorts(const std::string& com1, const std::string& com3) {
        for (int n = 1; n <= 20; ++n) {
            std::string path = "/dev/nonexistent-rm427-" + std::to_string(n);
            if (n == 1) path = com1;
            if (n == 3) path = com3;
            SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(n), path);
        }
    }

private slots:
    void probesEnableOnlyPortsThatOpenWithoutFreezing() {
        test::ShellFixture f;
        Pty a, b;
        QVERIFY(!a.path.empty() && !b.path.empty());
        MapPorts(a.path, b.path);
        f.state.ComPort = 2;  // a missing port stays selected
        frmComPort w(f.state, {});
        QSignalSpy done(&w, &frmComPort::probesFinished);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QElapsedTimer clock;
        clock.start();
        w.show();
        QVERIFY(done.wait(5000));
        const qint64 took = clock.elapsed();
        ticker.stop();
        // Two ports answer the open: two 200 ms holds, during which the
        // event loop kept running.
        QVERIFY2(took >= 390 && took < 1500, QByteArray::number(took));
        QVERIFY2(ticks >= 25, QByteArray::number(ticks));
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(w.OptComPort(i)->text(), QStringLiteral("COM%1").arg(i + 1));
            QCOMPARE(w.OptComPort(i)->isEnabled(), i == 0 || i == 2);
        }
        QVERIFY(w.OptComPort(1)->isChecked());
        QCOMPARE(a.Drain(), std::string("ATI1\r"));
        QCOMPARE(b.Drain(), std::string("ATI1\r"));
        // OK keeps the selected (disabled) port.
        QTest::mouseClick(w.CmdOk(), Qt::LeftButton);
        QCOMPARE(f.state.ComPort, std::uint8_t(2));
    }

    void portHeldByAnotherProgramIsDisabled() {
        test::ShellFixture f;
        Pty a, b;
        MapPorts(a.path, b.path);
        QSerialPort other(QString::fromStdString(b.path));
        QVERIFY(other.open(QIODevice::ReadWrite));
        frmComPort w(f.state, {});
        QSignalSpy done(&w, &frmComPort::probesFinished);
        w.show();
        QVERIFY(done.wait(5000));
        QVERIFY(w.OptComPort(0)->isEnabled());
        QVERIFY(!w.OptComPort(2)->isEnabled());
        // Each disabled port says why; the selected one also under the options.
        QCOMPARE(w.OptComPort(2)->toolTip(),
                 QString::fromStdString(b.path + ": in use by another program."));
        QCOMPARE(w.OptComPort(1)->toolTip(),
                 QStringLiteral("/dev/nonexistent-rm427-2: no such device (is the cable plugged in?)."));
        QCOMPARE(w.LblDevice(2)->text(), QString::fromStdString(b.path));
        QCOMPARE(w.LblPortState()->text(), QString::fromStdString("COM1: " + a.path));
        QTest::mouseClick(w.OptComPort(4), Qt::LeftButton);  // disabled: the click does nothing
        w.OptComPort(2)->setChecked(true);
        QCOMPARE(w.LblPortState()->text(), w.OptComPort(2)->toolTip());
    }

    // Test sends the access word at the clone settings and always "DONE":
    // the simulator answers with its band, a silent line with nothing.
    void testButtonAsksTheRadioForItsBand() {
        test::ShellFixture f;
        sim::PtyRadio radio;
        std::string error;
        QVERIFY2(radio.Start(error), error.c_str());
        Pty quiet;
        MapPorts(radio.SlavePath(), quiet.path);
        frmComPort w(f.state, {});
        QSignalSpy done(&w, &frmComPort::probesFinished);
        w.show();
        QVERIFY(!w.CmdTest()->isEnabled());
        QVERIFY(done.wait(5000));
        QCOMPARE(w.CmdTest()->text(), QStringLiteral("&Test"));
        QSignalSpy tested(&w, &frmComPort::testFinished);
        QTest::mouseClick(w.CmdTest(), Qt::LeftButton);
        QVERIFY(tested.wait(3000));
        QCOMPARE(w.LblTest()->text(), QStringLiteral("Radio answered: 136.0 - 174.0 MHz"));
        {  // The port that answered is the one the window selects next time.
            frmComPort again(f.state, {});
            QVERIFY(again.OptComPort(0)->isChecked());
            QCOMPARE(f.state.ComPort, std::uint8_t(1));
        }
        // "DONE" may still be on its way through the simulator's thread.
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(radio.With([](sim::RadioModel& m) {
                                      const auto fr = m.Frames();
                                      return fr.empty() ? std::string() : fr.back().kind;
                                  })),
                                  QStringLiteral("done"), 2000);
        const auto frames = radio.With([](sim::RadioModel& m) { return m.Frames(); });
        QVERIFY(frames.size() >= 2);  // before them, whatever the probe's "ATI1\r" looked like
        QCOMPARE(QString::fromStdString(frames[frames.size() - 2].kind), QStringLiteral("access"));

        QTest::mouseClick(w.OptComPort(2), Qt::LeftButton);
        quiet.Drain();  // the probe's "ATI1\r"
        QTest::mouseClick(w.CmdTest(), Qt::LeftButton);
        QVERIFY(tested.wait(3000));
        QCOMPARE(w.LblTest()->text(), QString::fromStdString("Nothing answered on COM3 (" + quiet.path +
                                                             "). " + LoadText(0, 3731)));
        QCOMPARE(quiet.Drain(), std::string("TUMKELDONE"));

        // A cable that echoes with no radio behind it, and a line that sends
        // stray bytes instead of an answer.
        w.OptComPort(0)->setChecked(true);
        for (auto [kind, echo, text] : {std::tuple{sim::FaultKind::NoAnswer, true, 3730},
                                        std::tuple{sim::FaultKind::Noise, false, 3732}}) {
            radio.With([kind = kind, echo = echo](sim::RadioModel& m) {
                m.echo = echo;
                m.faults = {sim::Fault{kind, 0, -1, 0}};
            });
            QTest::mouseClick(w.CmdTest(), Qt::LeftButton);
            QVERIFY(tested.wait(3000));
            QVERIFY2(w.LblTest()->text().endsWith(QString::fromStdString(LoadText(0, text))),
                     qPrintable(w.LblTest()->text()));
        }

        w.OptComPort(1)->setChecked(true);  // a missing device: the same explanation
        QTest::mouseClick(w.CmdTest(), Qt::LeftButton);
        QTRY_COMPARE(
            w.LblTest()->text(),
            QStringLiteral("/dev/nonexistent-rm427-2: no such device (is the cable plugged in?)."));
    }

    // Find cable: the cable plugged in while the window watches gets a
    // free port number (stored), its chip and advice.
    void findCableMapsAPortToThePluggedInCable() {
        test::ShellFixture f;
        Pty cable;
        for (int n = 1; n <= 20; ++n)  // COM2 left to its own (absent) /dev/ttyUSB1
            if (n != 2)
                SetKeyValue(RegRoot::LocalMachine, kPortsKeyPath, "COM" + std::to_string(n),
                            "/dev/nonexistent-rm427-" + std::to_string(n));
        std::vector<SerialDevice> devices;
        frmComPort w(f.state, {}, nullptr, {}, [&] { return devices; });
        QSignalSpy probed(&w, &frmComPort::probesFinished);
        w.show();
        QVERIFY(probed.wait(5000));
        QSignalSpy found(&w, &frmComPort::findFinished);
        QTest::mouseClick(w.CmdFind(), Qt::LeftButton);
        QCOMPARE(w.LblTest()->text(), QString::fromStdString(LoadText(0, 3711)));
        SerialDevice d;
        d.path = cable.path;
        d.vendorId = 0x1a86;
        d.productId = 0x7523;
        devices.push_back(d);
        QVERIFY(found.wait(3000));
        QCOMPARE(w.LblTest()->text(), QString::fromStdString("Found " + cable.path +
                                                             " (WCH CH340 (1a86:7523)): COM2 stands for "
                                                             "it from now on."));
        QCOMPARE(PortPathFromSettings(2), cable.path);
        QVERIFY(w.OptComPort(1)->isChecked() && w.OptComPort(1)->isEnabled());
        QVERIFY(w.LblDevice(1)->text().endsWith(QStringLiteral("WCH CH340 (1a86:7523)")));
        QVERIFY(w.LblPortState()->text().contains(QString::fromStdString(LoadText(0, 3703))));
    }

    // Through the main window: OK sets the port and the status bar, Cancel changes nothing.
    void okSetsThePortAndTheStatusBarCancelDoesNot() {
        test::ShellFixture f;
        Pty a, b;
        MapPorts(a.path, b.path);
        gui::MDIForm1& main = f.Start(false);
        auto* panel = main.findChild<QLabel*>(QStringLiteral("MSBarPort"));
        QVERIFY(panel);
        QCOMPARE(panel->text(), QStringLiteral("COM1"));

        test::ShellFixture::OnModal([](QWidget* w) {
            auto* ports = qobject_cast<frmComPort*>(w);
            QVERIFY(ports);
            QTRY_VERIFY_WITH_TIMEOUT(ports->ProbesDone(), 5000);
            QTest::mouseClick(ports->OptComPort(2), Qt::LeftButton);
            QTest::mouseClick(ports->CmdOk(), Qt::LeftButton);
        });
        main.Dispatch(QStringLiteral("miCommunicationPort"));
        QCOMPARE(f.state.ComPort, std::uint8_t(3));
        QCOMPARE(panel->text(), QStringLiteral("COM3"));

        test::ShellFixture::OnModal([](QWidget* w) {
            auto* ports = qobject_cast<frmComPort*>(w);
            QVERIFY(ports);
            QVERIFY(ports->OptComPort(2)->isChecked());
            QTest::mouseClick(ports->OptComPort(0), Qt::LeftButton);
            QTest::mouseClick(ports->CmdCancel(), Qt::LeftButton);
        });
        main.Dispatch(QStringLiteral("miCommunicationPort"));
        QCOMPARE(f.state.ComPort, std::uint8_t(3));
        QCOMPARE(panel->text(), QStringLiteral("COM3"));
    }

    void chineseCaptions() {
        test::ShellFixture f;
        Pty a, b;
        MapPorts(a.path, b.path);
        f.state.Language = 1;
        frmComPort w(f.state, {});
        QCOMPARE(w.OptComPort(6)->text(),
                 QString::fromStdString(LoadText(1, 1249)) + QStringLiteral("7"));
    }
};

QTEST_MAIN(TstComPort)
#include "tst_comport.moc"
