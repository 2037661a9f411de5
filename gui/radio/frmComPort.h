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
class QPushButton;
class QRadioButton;
class QTimer;

namespace rm427 {
class QtSerialPort;
}

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
    bool ProbesDone() const { return next_ > kLastPort; }

signals:
    void probesFinished();

private:
    void ProbeNext();
    void EndProbe();
    void Ok();

    Module1& state_;
    std::function<void()> portChanged_;
    std::unique_ptr<QtSerialPort> port_;
    QTimer* hold_ = nullptr;
    QGroupBox* frame_ = nullptr;
    QRadioButton* opt_[20] = {};
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    int next_ = kFirstPort;  // port to probe next
    int probing_ = 0;        // port held open, 0 = none
};

}  // namespace rm427::gui
