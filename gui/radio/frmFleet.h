// Program > Program Many Radios...: one codeplug written to radio after
// radio (core/radio/Fleet.h). Modal. The settings come first (codeplug,
// port, verify, copy first, power-on message pattern, start number, number
// of radios, log file); Start checks them. Then each Enter programs the
// radio the window asks for, and the list shows every radio's result; Esc
// ends the run (a radio being written is cancelled and logged), a second
// Esc closes the window.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "file/History.h"
#include "image/Dialogs.h"
#include "image/Module1.h"
#include "radio/Fleet.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace rm427 {
class QtSerialPort;
class QtTimerFactory;
}  // namespace rm427

namespace rm427::gui {

class frmFleet : public QDialog {
    Q_OBJECT
public:
    // historyFolder: where the run's log goes with the other copies.
    frmFleet(Module1& state, MessageBoxes& boxes, FileDialogs& files, std::string historyFolder,
             QWidget* parent = nullptr);
    ~frmFleet() override;

    QComboBox* CboCodeplug() const { return cboCodeplug_; }
    QComboBox* CboPort() const { return cboPort_; }
    QLineEdit* TxtPattern() const { return txtPattern_; }
    QSpinBox* SpnStart() const { return spnStart_; }
    QSpinBox* SpnCount() const { return spnCount_; }
    QCheckBox* ChkVerify() const { return chkVerify_; }
    QCheckBox* ChkKeepCopy() const { return chkKeep_; }
    QLineEdit* TxtLog() const { return txtLog_; }
    QLabel* LblPrompt() const { return lblPrompt_; }
    QTreeWidget* List() const { return list_; }
    QPushButton* CmdStart() const { return cmdStart_; }
    FleetRun* Run() { return run_.get(); }
    // Copies of each radio read before writing go here.
    void SetHistory(std::function<void(const CodeplugImage&)> keep) { keep_ = std::move(keep); }
    void SetTiming(const CloneTiming& timing) { timing_ = timing; }

public slots:
    void reject() override;  // Esc: ends the run, or closes the window

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Primary();  // Enter and Start: begin the run, or the next radio
    void Begin();
    void ChooseCodeplug();
    void ChooseLog();
    void ShowState();
    void AddRow(const FleetRadio& r);
    QString T(int n) const;

    Module1& state_;
    MessageBoxes& boxes_;
    FileDialogs& files_;
    std::string historyFolder_;
    std::function<void(const CodeplugImage&)> keep_;
    CloneTiming timing_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<QtTimerFactory> timers_;
    std::unique_ptr<FleetRun> run_;
    CodeplugImage chosen_{};
    std::string chosenName_;
    WriteJob::Stage stage_ = WriteJob::Stage::Idle;

    QComboBox* cboCodeplug_ = nullptr;
    QComboBox* cboPort_ = nullptr;
    QLineEdit* txtPattern_ = nullptr;
    QSpinBox* spnStart_ = nullptr;
    QSpinBox* spnCount_ = nullptr;
    QCheckBox* chkVerify_ = nullptr;
    QCheckBox* chkKeep_ = nullptr;
    QLineEdit* txtLog_ = nullptr;
    QWidget* settings_ = nullptr;
    QLabel* lblPrompt_ = nullptr;
    QProgressBar* prg_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

}  // namespace rm427::gui
