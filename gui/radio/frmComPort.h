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

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace rm427 {
class PortTest;
class QtSerialPort;
class QtTimerFactory;
}  // namespace rm427

namespace rm427::gui {

class frmComPort : public QDialog {
    Q_OBJECT
public:
    // portChanged runs after OK has set ComPort (the main window's status bar).
    frmComPort(Module1& state, std::function<void()> portChanged, QWidget* parent = nullptr,
               PortPathLookup lookup = {});
    ~frmComPort() override;

    QRadioButton* OptComPort(int index) const { return opt_[index]; }
    QPushButton* CmdOk() const { return cmdOk_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QPushButton* CmdTest() const { return cmdTest_; }
    // Under each option: its device and, where known, the adapter.
    QLabel* LblDevice(int index) const { return device_[index]; }
    // Under the options: the selected port's device, or why it does not open.
    QLabel* LblPortState() const { return lblState_; }
    // The Test button's outcome.
    QLabel* LblTest() const { return lblTest_; }
    bool ProbesDone() const { return next_ > kLastPort; }
    bool Testing() const;

signals:
    void probesFinished();
    void testFinished();

private:
    void ProbeNext();
    void EndProbe();
    void Ok();
    void ShowSelected();
    void Test();
    int SelectedPort() const;

    Module1& state_;
    std::function<void()> portChanged_;
    std::unique_ptr<QtSerialPort> port_;
    QTimer* hold_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QRadioButton* opt_[20] = {};
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdTest_ = nullptr;
    QLabel* device_[20] = {};
    QString why_[20];  // why a port did not open, empty when it did
    QLabel* lblState_ = nullptr;
    QLabel* lblTest_ = nullptr;
    PortPathLookup lookup_;
    std::unique_ptr<QtSerialPort> testPort_;
    std::unique_ptr<QtTimerFactory> timers_;
    std::unique_ptr<PortTest> test_;
    int next_ = kFirstPort;  // port to probe next
    int probing_ = 0;        // port held open, 0 = none
};

}  // namespace rm427::gui
