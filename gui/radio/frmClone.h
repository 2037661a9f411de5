// The clone window: reads the codeplug from the radio or writes it, as
// CloneDirection says, on its own port (MSComm1). Modal. The exchange itself
// is core/radio/CloneExchange; the window shows its progress and asks the
// Retry/Cancel question through the message-box seam.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "file/History.h"
#include "image/Dialogs.h"
#include "image/Module1.h"
#include "radio/CloneExchange.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace rm427 {
class QtSerialPort;
class QtTimerFactory;
}  // namespace rm427

namespace rm427::gui {

class frmClone : public QDialog {
    Q_OBJECT
public:
    // afterRead runs after a completed read has replaced the image (snapshot
    // and limits done): the main window refreshes its channel editor and title.
    frmClone(Module1& state, MessageBoxes& boxes, std::function<void()> afterRead,
             QWidget* parent = nullptr);
    ~frmClone() override;

    QPushButton* CmdBegin() const { return cmdBegin_; }
    QPushButton* CmdCancel() const { return cmdCancel_; }
    QProgressBar* PrgPercent() const { return prg_; }
    QLabel* LblPercent() const { return lbl_; }
    // Write only: "Verify after writing" (null for a read).
    QCheckBox* ChkVerify() const { return chkVerify_; }
    // Settings store value that keeps the check box between runs ("0" = off).
    static constexpr const char* kVerifyValue = "VerifyAfterWriting";
    CloneExchange& Exchange() { return *exchange_; }
    // Called with what a completed read fetched or a completed write sent.
    void SetHistory(std::function<void(HistoryKind, const CodeplugImage&)> keep) {
        keep_ = std::move(keep);
    }

    // A stop signal (logout, kill, a closed terminal): every clone window
    // cancels its exchange as Cancel does, so the radio hears "DONE" (a write
    // whose "DONE" has gone out completes and is kept; no verify follows);
    // `then` runs once every exchange has ended.
    static void StopAll(std::function<void()> then);

public slots:
    void reject() override;  // Esc and the title bar's close: Cancel

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Begin();
    void Cancel();
    void ShowProgress(int value, int maximum);
    void Finished(CloneOutcome outcome);
    CloneExchange::Callbacks MakeCallbacks();
    void StartVerify();
    void VerifyFinished(CloneOutcome outcome);
    std::string BandNote() const;
    // Information, or a warning when the band check changed channels.
    MsgIcon BandIcon() const;
    void Report(const std::string& text, MsgIcon icon, const std::vector<std::string>& details);

    Module1& state_;
    MessageBoxes& boxes_;
    std::function<void()> afterRead_;
    std::function<void(HistoryKind, const CodeplugImage&)> keep_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<QtTimerFactory> timers_;
    std::unique_ptr<CloneExchange> exchange_;
    QProgressBar* prg_ = nullptr;
    QLabel* lbl_ = nullptr;
    QPushButton* cmdBegin_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QCheckBox* chkVerify_ = nullptr;
    bool done_ = false;
    bool stopping_ = false;  // StopAll: nothing new is started
    // After a write: what was sent and what the band check changed; the
    // verify read runs as a second exchange of its own.
    bool verifying_ = false;
    CodeplugImage sent_{};
    std::vector<std::string> bandReport_;
};

}  // namespace rm427::gui
