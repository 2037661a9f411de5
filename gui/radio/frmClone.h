// The clone window: reads the codeplug from the radio or writes it, as
// CloneDirection says, on its own port (MSComm1). Modal. A read is
// core/radio/CloneExchange; a write is core/radio/WriteJob (probe, check,
// copy of the radio, changes, write, verify, restore). The window shows
// their progress and asks their questions through the message-box seam.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "file/History.h"
#include "image/Dialogs.h"
#include "image/Module1.h"
#include "radio/CloneExchange.h"
#include "radio/WriteJob.h"

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
    // Write only: "Keep a copy of the radio before writing" (null for a read).
    QCheckBox* ChkKeepCopy() const { return chkKeep_; }
    // Settings store values that keep the check boxes between runs ("0" = off).
    static constexpr const char* kVerifyValue = "VerifyAfterWriting";
    static constexpr const char* kKeepCopyValue = "KeepCopyBeforeWriting";
    // The read's exchange (null for a write).
    CloneExchange* Exchange() { return exchange_.get(); }
    // The write's job (null before Write is pressed and for a read).
    WriteJob* Job() { return job_.get(); }
    // The write's timing (tests poll faster on an unpaced pseudo-terminal).
    void SetWriteTiming(const CloneTiming& timing) { timing_ = timing; }
    // Called with what a completed read fetched or a completed write sent.
    void SetHistory(std::function<void(HistoryKind, const CodeplugImage&)> keep) {
        keep_ = std::move(keep);
    }

    // A stop signal (logout, kill, a closed terminal): every clone window
    // cancels its exchange as Cancel does, so the radio hears "DONE" (a write
    // whose "DONE" has gone out completes and is kept; no verify and no
    // restore follow); `then` runs once every exchange has ended.
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
    bool AskRetry();
    void PortError(const std::string& description);
    WriteJob::Callbacks JobCallbacks();
    bool ConfirmCheck(const std::vector<CheckLine>& lines, bool errors);
    bool ConfirmChanges(const std::vector<std::string>& changes);
    bool OfferRestore(WriteJob::RestoreReason why, const WriteJob::Result& r);
    void JobFinished(const WriteJob::Result& r);
    bool Running() const;
    std::string BandNote(const std::vector<std::string>& bandReport) const;
    MsgAnswer Report(const std::string& text, MsgIcon icon, const std::vector<std::string>& details,
                     MsgButtons buttons = MsgButtons::Ok, std::vector<std::string> captions = {},
                     int defaultButton = 0);

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
    QCheckBox* chkKeep_ = nullptr;
    bool done_ = false;
    bool stopping_ = false;  // StopAll: nothing new is started
    std::unique_ptr<WriteJob> job_;
    CloneTiming timing_;
    WriteJob::Stage stage_ = WriteJob::Stage::Idle;
};

}  // namespace rm427::gui
