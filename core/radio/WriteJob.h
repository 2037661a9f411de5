// A write to the radio with its steps before and after the write exchange,
// shared by the write window and rm427-cli write:
//
//   probe     the port window's Test: access word, identification, "DONE";
//             the radio's band
//   check     what the band check would change, duplicates, an empty
//             codeplug, a codeplug for another band (CheckBeforeWrite);
//             errors need the host's "write anyway"
//   backup    a read exchange: what the radio holds now (kept by the host)
//   confirm   the differences between the radio and what will be sent
//   write     the write exchange, exactly as it always runs
//   verify    a read exchange, compared with what was sent
//   restore   when the write failed or was cancelled after its first data
//             frame, or the verify found a difference: the backup written
//             back as it was read, then verified
//
// Each exchange is a CloneExchange (or the PortTest) of its own on the same
// port; the job moves from one to the next on a 0 ms timer, never from inside
// an exchange's call.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "radio/CloneExchange.h"
#include "radio/PortCheck.h"

namespace rm427 {

enum class CheckSeverity { Info, Warning, Error };

struct CheckLine {
    CheckSeverity severity;
    std::string text;  // in the language asked for
};

// The check before a write: image is the codeplug to be written, probe what
// the radio answered (or that it did not), portName the port as the user
// knows it ("COM3", "/dev/ttyUSB0"). Lines in this order: the radio's band
// against the codeplug's (info, or a warning or an error), the programmed
// channels (an error when none), channels the band check would send empty
// or without their offset, duplicate channels. A radio that did not answer
// gives one error line only.
std::vector<CheckLine> CheckBeforeWrite(int language, const CodeplugImage& image,
                                        const PortTest::Result& probe, const std::string& portName);
bool HasErrors(const std::vector<CheckLine>& lines);
// The line with its severity in front ("Warning: ...").
std::string CheckLineText(int language, const CheckLine& line);

// What will change in the radio: the differences (as rm427-cli diff lists
// them) between what the radio holds and what will be sent, over the bytes
// that the read fetches and the write sends; in the language asked for.
std::vector<std::string> WriteChanges(const CodeplugImage& radio, const CodeplugImage& sendImage,
                                      int language = 0);

// What the write will send for image, given the radio's band (the 0xE91
// rule and the band check), without sending it.
CodeplugImage PlannedSendImage(const CodeplugImage& image, int low, int high);

class WriteJob {
public:
    enum class Stage { Idle, Probe, Backup, Write, Verify, Restore, RestoreVerify, Done };
    enum class Outcome {
        None,
        PortFailed,      // the port did not open (error holds the reason)
        NoAnswer,        // the radio did not answer the probe
        Refused,         // the check found errors and the host did not override
        Checked,         // checkOnly: probe and check done
        Cancelled,       // before the write touched the radio, or the host declined
        BackupFailed,    // the read of the backup failed or was cancelled
        Previewed,       // previewOnly: changes computed, nothing written
        NothingToWrite,  // the radio already holds what would be written
        WriteFailed,     // the write failed or was cancelled (radioTouched says how far)
        Written,         // written (and verified when asked)
        VerifyFailed,    // written; the read back failed
        VerifyDiffers,   // written; the radio does not hold what was sent
        Restored,        // the backup is back in the radio, verified
        RestoreFailed,   // the restore write or its verify failed or differs
    };
    struct Options {
        bool backup = true;        // read the radio before writing
        bool verify = true;        // read it back after writing
        bool checkOnly = false;    // stop after the check
        bool previewOnly = false;  // stop after the changes are known (needs backup)
        bool confirm = true;       // ask confirmChanges before writing
        int language = 0;          // of the check's lines and the lists of differences
    };
    enum class RestoreReason { WriteFailed, VerifyDiffers };
    struct Result {
        Outcome outcome = Outcome::None;
        std::string error;  // port description
        PortTest::Result probe;
        std::vector<CheckLine> check;
        bool haveBackup = false;
        CodeplugImage backup{};
        std::vector<std::string> changes;      // radio -> what is sent
        bool radioTouched = false;             // a data frame of the write went out
        bool lineLost = false;                 // the last failure: the line went away
        CodeplugImage sent{};                  // after the band check
        std::vector<BandChange> bandChanges;   // of the write
        std::vector<std::string> verifyDiffs;  // of the write's verify
        bool declined = false;                 // the host answered a question with no
        bool restoreTried = false;
        std::vector<std::string> restoreDiffs;
    };
    struct Callbacks {
        // A new stage starts (its progress starts at 0 of maximum).
        std::function<void(Stage)> stage;
        std::function<void(int value, int maximum)> progress;
        std::function<bool()> askRetry;  // an exchange step failed: true = Retry
        // The check's lines; errors says whether any is an error. True = go on.
        // Not asked when the list has only info lines.
        std::function<bool(const std::vector<CheckLine>& lines, bool errors)> confirmCheck;
        // The backup was read (low, high: the radio's band).
        std::function<void(const CodeplugImage& backup)> backupTaken;
        // The changes the write will make; true = write.
        std::function<bool(const std::vector<std::string>& changes)> confirmChanges;
        // A write completed: what was sent (also after a restore).
        std::function<void(const CodeplugImage& sent)> written;
        // True = write the backup back.
        std::function<bool(RestoreReason, const Result&)> offerRestore;
        // "DONE" has gone out after a cancel and nothing follows.
        std::function<void()> closing;
        std::function<void(const Result&)> finished;
    };

    WriteJob(SerialPort& port, TimerFactory& timers, int comPort, std::string portName,
             const CodeplugImage& image, Options options, Callbacks callbacks, CloneTiming timing = {});
    ~WriteJob();
    WriteJob(const WriteJob&) = delete;
    WriteJob& operator=(const WriteJob&) = delete;

    void Start();
    // Cancels the running exchange (the probe runs to its end first).
    void Cancel();

    Stage CurrentStage() const { return stage_; }
    const Result& Current() const { return result_; }
    // The running exchange (null during the probe and between stages).
    CloneExchange* Exchange() { return exchange_.get(); }

private:
    void Enter(Stage s);
    void Later(std::function<void()> step);
    void OnProbe(const PortTest::Result& r);
    void RunExchange(CloneDir dir, const CodeplugImage& image, bool sendAsIs);
    void OnExchangeDone(CloneOutcome o);
    void AfterBackup();
    void StartWrite();
    void AfterWrite(CloneOutcome o);
    void MaybeRestore(RestoreReason why, Outcome otherwise);
    void Finish(Outcome o);
    CloneExchange::Callbacks ExchangeCallbacks();
    void NoteTouched();

    SerialPort& port_;
    TimerFactory& timers_;
    int comPort_;
    std::string portName_;
    CodeplugImage image_;
    std::vector<ChannelFreqText> channels_;
    Options opt_;
    Callbacks cb_;
    CloneTiming timing_;
    Stage stage_ = Stage::Idle;
    Result result_;
    bool cancelled_ = false;
    std::unique_ptr<PortTest> probe_;
    std::unique_ptr<CloneExchange> exchange_;
    std::unique_ptr<Timer> later_;
    std::function<void()> next_;
};

}  // namespace rm427
