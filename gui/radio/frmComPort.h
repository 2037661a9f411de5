// The communication port window: 20 ports in five rows of four; each is
// probed (opened at 9600,N,8,2, sent "ATI1\r", held 200 ms, closed) and only
// ports that open are enabled. The probes run one after another after the
// window is shown, each 200 ms hold on a timer, so the window never freezes.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "image/Module1.h"
#include "radio/PortPaths.h"
#include "radio/SerialDevices.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace rm427 {
class CableWatch;
class PortTest;
class QtSerialPort;
class QtTimerFactory;
}  // namespace rm427

namespace rm427::gui {

class frmComPort : public QDialog {
    Q_OBJECT
public:
    // portChanged runs after OK has set ComPort (the main window's status bar).
    // lister gives the machine's serial devices (by default the system's list).
    frmComPort(Module1& state, std::function<void()> portChanged, QWidget* parent = nullptr,
               PortPathLookup lookup = {}, DeviceLister lister = {});
    ~frmComPort() override;

    QRadioButton* OptComPort(int index) const { return opt_[index]; }
    QPushButton* CmdOk() const { return cmdOk_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdTest() const { return cmdTest_; }
    // Watches for the cable being plugged in and selects its port.
    QPushButton* CmdFind() const { return cmdFind_; }
    // Under each option: its device and, where known, the cable's chip.
    QLabel* LblDevice(int index) const { return device_[index]; }
    // Under the options: the selected port's device and chip, or why it does
    // not open; what the chip needs; who else holds the device.
    QLabel* LblPortState() const { return lblState_; }
    // The Test button's outcome.
    QLabel* LblTest() const { return lblTest_; }
    bool ProbesDone() const { return next_ > kLastPort; }
    bool Testing() const;
    bool Finding() const;

signals:
    void probesFinished();
    void testFinished();
    void findFinished();

private:
    void ProbeNext();
    void EndProbe();
    void Ok();
    void ShowSelected();
    void Test();
    void Find();
    void Found(const SerialDevice& device);
    int SelectedPort() const;
    void Fit();
    // The device's lines for the label under option n, and the notes on
    // what else stands in the way (holders, lock file; with services when
    // the port does not open or answer).
    QString DeviceText(int port) const;
    QString Obstacles(int port, bool withServices) const;

    Module1& state_;
    std::function<void()> portChanged_;
    std::unique_ptr<QtSerialPort> port_;
    QTimer* hold_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QRadioButton* opt_[20] = {};
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdTest_ = nullptr;
    QPushButton* cmdFind_ = nullptr;
    QLabel* device_[20] = {};
    QString why_[20];  // why a port did not open, empty when it did
    QLabel* lblState_ = nullptr;
    QLabel* lblTest_ = nullptr;
    PortPathLookup lookup_;
    DeviceLister lister_;
    std::vector<SerialDevice> devices_;
    std::unique_ptr<CableWatch> watch_;
    std::unique_ptr<QtSerialPort> testPort_;
    std::unique_ptr<QtTimerFactory> timers_;
    std::unique_ptr<PortTest> test_;
    int next_ = kFirstPort;  // port to probe next
    int probing_ = 0;        // port held open, 0 = none
};

}  // namespace rm427::gui
