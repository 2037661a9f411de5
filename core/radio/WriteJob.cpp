#include "radio/WriteJob.h"

#include <algorithm>
#include <map>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "file/ImageDiff.h"
#include "image/ModelTable.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {
constexpr int kTextNoAnswer = 3504;
constexpr int kTextBands = 3505;
constexpr int kTextBandsDisjoint = 3506;
constexpr int kTextBandsDiffer = 3507;
constexpr int kTextWouldBeEmpty = 3508;
constexpr int kTextOffsetRemoved = 3509;
constexpr int kTextDuplicate = 3510;
constexpr int kTextNothingProgrammed = 3511;
constexpr int kTextNothingFits = 3530;

CheckLine Line(CheckSeverity s, int language, int text, const std::vector<std::string>& args) {
    return {s, FillText(LoadText(language, text), args)};
}
}  // namespace

std::vector<CheckLine> CheckBeforeWrite(int language, const CodeplugImage& image,
                                        const PortTest::Result& probe, const std::string& portName) {
    std::vector<CheckLine> out;
    if (!probe.opened) return {{CheckSeverity::Error, probe.error}};
    if (!probe.answered) return {Line(CheckSeverity::Error, language, kTextNoAnswer, {portName})};

    const std::string radioBand = BandText(probe.low, probe.high);
    const int code = ModelCode(image);
    int low = 0, high = 0;
    BandLimits(code, low, high);
    const std::string ours =
        std::string(IsUhfCode(code) ? kModelUhf : kModelVhf) + " " + BandName(image);
    if (high < probe.low || low > probe.high)
        out.push_back(Line(CheckSeverity::Error, language, kTextBandsDisjoint, {ours, radioBand}));
    else if (low != probe.low || high != probe.high)
        out.push_back(Line(CheckSeverity::Warning, language, kTextBandsDiffer, {ours, radioBand}));
    else out.push_back(Line(CheckSeverity::Info, language, kTextBands, {radioBand, ours}));

    const auto texts = ChannelFreqTexts(image);
    const CodeplugImage planned = PlannedSendImage(image, probe.low, probe.high);
    if (ProgrammedChannels(image) == 0)
        out.push_back(Line(CheckSeverity::Error, language, kTextNothingProgrammed, {}));
    else if (ProgrammedChannels(planned) == 0)
        out.push_back(Line(CheckSeverity::Error, language, kTextNothingFits, {radioBand}));

    const auto changes = BandCheckChanges(MakeSendImage(image, texts), planned, texts);
    for (const BandChange& c : changes) {
        const std::string n = std::to_string(c.channel);
        if (c.kind == BandChange::SentEmpty)
            out.push_back(
                Line(CheckSeverity::Warning, language, kTextWouldBeEmpty, {n, c.rx, radioBand}));
        else
            out.push_back(
                Line(CheckSeverity::Warning, language, kTextOffsetRemoved, {n, c.tx, radioBand, c.rx}));
    }

    // The same receive, transmit and tones twice: a channel the user cannot tell apart.
    const ChannelRows rows = EnglishChannelRows(image);
    std::map<std::string, int> seen;
    for (int n = 1; n < static_cast<int>(rows.size()) && n <= kMaxChannels; ++n) {
        const ChannelRow& r = rows[static_cast<std::size_t>(n)];
        if (r[colRxFreq].empty()) continue;
        const std::string key =
            r[colRxFreq] + "|" + r[colTxFreq] + "|" + r[colDecode] + "|" + r[colEncode];
        const auto it = seen.emplace(key, n).first;
        if (it->second != n)
            out.push_back(Line(CheckSeverity::Warning, language, kTextDuplicate,
                               {std::to_string(n), std::to_string(it->second)}));
    }
    return out;
}

bool HasErrors(const std::vector<CheckLine>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const CheckLine& l) { return l.severity == CheckSeverity::Error; });
}

std::string CheckLineText(int language, const CheckLine& line) {
    const int n = line.severity == CheckSeverity::Error     ? 3501
                  : line.severity == CheckSeverity::Warning ? 3502
                                                            : 3503;
    return FillText(LoadText(language, n), {line.text});
}

std::vector<std::string> WriteChanges(const CodeplugImage& radio, const CodeplugImage& sendImage,
                                      int language) {
    return DiffImages(VerifiedImage(sendImage, radio), sendImage, language);
}

CodeplugImage PlannedSendImage(const CodeplugImage& image, int low, int high) {
    const auto texts = ChannelFreqTexts(image);
    CodeplugImage send = MakeSendImage(image, texts);
    BandCheck(send, low, high, texts);
    return send;
}

WriteJob::WriteJob(SerialPort& port, TimerFactory& timers, int comPort, std::string portName,
                   const CodeplugImage& image, Options options, Callbacks callbacks, CloneTiming timing)
    : port_(port),
      timers_(timers),
      comPort_(comPort),
      portName_(std::move(portName)),
      image_(image),
      channels_(ChannelFreqTexts(image)),
      opt_(options),
      cb_(std::move(callbacks)),
      timing_(timing) {
    if (opt_.previewOnly) opt_.backup = true;
    later_ = timers_.CreateTimer([this] {
        auto step = std::move(next_);
        next_ = nullptr;
        if (step) step();
    });
}

WriteJob::~WriteJob() {
    exchange_.reset();
    probe_.reset();
}

void WriteJob::Enter(Stage s) {
    stage_ = s;
    if (cb_.stage) cb_.stage(s);
}

// The next stage starts from the event loop, once the exchange that ended
// has returned from its call.
void WriteJob::Later(std::function<void()> step) {
    next_ = std::move(step);
    later_->Start(0);
}

void WriteJob::Start() {
    if (stage_ != Stage::Idle) return;
    Enter(Stage::Probe);
    probe_ = std::make_unique<PortTest>(
        port_, timers_, comPort_,
        [this](const PortTest::Result& r) {
            // The test may answer from inside Start(): go on from the loop.
            Later([this, r] { OnProbe(r); });
        },
        timing_);
    probe_->Start();
}

void WriteJob::OnProbe(const PortTest::Result& r) {
    probe_.reset();
    result_.probe = r;
    if (!r.opened) {
        result_.error = r.error;
        Finish(Outcome::PortFailed);
        return;
    }
    if (cancelled_) {
        Finish(Outcome::Cancelled);
        return;
    }
    result_.check = CheckBeforeWrite(opt_.language, image_, r, portName_);
    if (!r.answered) {
        Finish(Outcome::NoAnswer);
        return;
    }
    const bool errors = HasErrors(result_.check);
    const bool worthAsking =
        std::any_of(result_.check.begin(), result_.check.end(),
                    [](const CheckLine& l) { return l.severity != CheckSeverity::Info; });
    if (opt_.checkOnly) {
        Finish(Outcome::Checked);
        return;
    }
    if (worthAsking && !(cb_.confirmCheck && cb_.confirmCheck(result_.check, errors))) {
        result_.declined = true;
        Finish(errors ? Outcome::Refused : Outcome::Cancelled);
        return;
    }
    if (opt_.backup) {
        Enter(Stage::Backup);
        // Bytes the read does not fetch keep what would be sent: they are
        // unknown, and no difference is claimed for them.
        RunExchange(CloneDir::Read, PlannedSendImage(image_, r.low, r.high), false);
    } else {
        StartWrite();
    }
}

CloneExchange::Callbacks WriteJob::ExchangeCallbacks() {
    CloneExchange::Callbacks cb;
    cb.progress = [this](int v, int max) {
        if (cb_.progress) cb_.progress(v, max);
    };
    cb.askRetry = [this] {
        NoteTouched();
        result_.lineLost = exchange_ && exchange_->LineLost();
        return cb_.askRetry && cb_.askRetry();
    };
    cb.portError = [this](const std::string& d) {
        result_.error = d;
        Later([this] { OnExchangeDone(CloneOutcome::None); });
    };
    cb.closing = [this] {
        NoteTouched();
        // After a write that touched the radio the restore offer follows.
        const bool more = (stage_ == Stage::Write && result_.haveBackup && result_.radioTouched);
        if (!more && cb_.closing) cb_.closing();
    };
    cb.finished = [this](CloneOutcome o) {
        NoteTouched();
        Later([this, o] { OnExchangeDone(o); });
    };
    return cb;
}

void WriteJob::NoteTouched() {
    // A data frame went out once more than the access word was sent.
    if (stage_ == Stage::Write && exchange_ && exchange_->FramesSent() >= 2) result_.radioTouched = true;
}

void WriteJob::RunExchange(CloneDir dir, const CodeplugImage& image, bool sendAsIs) {
    exchange_.reset();
    exchange_ = std::make_unique<CloneExchange>(
        dir, port_, timers_, comPort_, image,
        dir == CloneDir::Write ? channels_ : std::vector<ChannelFreqText>{}, ExchangeCallbacks(),
        timing_);
    if (sendAsIs) exchange_->SendAsIs();
    if (cb_.progress) cb_.progress(0, exchange_->ProgressMaximum());
    exchange_->Start();
}

void WriteJob::OnExchangeDone(CloneOutcome o) {
    switch (stage_) {
    case Stage::Backup:
        if (o != CloneOutcome::Succeeded) {
            Finish(o == CloneOutcome::None ? Outcome::PortFailed
                   : cancelled_            ? Outcome::Cancelled
                                           : Outcome::BackupFailed);
            return;
        }
        AfterBackup();
        return;
    case Stage::Write: AfterWrite(o); return;
    case Stage::Verify: {
        if (o != CloneOutcome::Succeeded) {
            Finish(Outcome::VerifyFailed);
            return;
        }
        result_.verifyDiffs = VerifyDifferences(result_.sent, exchange_->ReadImage(), opt_.language);
        if (result_.verifyDiffs.empty()) Finish(Outcome::Written);
        else MaybeRestore(RestoreReason::VerifyDiffers, Outcome::VerifyDiffers);
        return;
    }
    case Stage::Restore: {
        if (o != CloneOutcome::Succeeded) {
            Finish(Outcome::RestoreFailed);
            return;
        }
        if (cb_.written) cb_.written(exchange_->SendImage());
        Enter(Stage::RestoreVerify);
        RunExchange(CloneDir::Read, result_.backup, false);
        return;
    }
    case Stage::RestoreVerify:
        if (o != CloneOutcome::Succeeded) {
            Finish(Outcome::RestoreFailed);
            return;
        }
        result_.restoreDiffs = VerifyDifferences(result_.backup, exchange_->ReadImage(), opt_.language);
        Finish(result_.restoreDiffs.empty() ? Outcome::Restored : Outcome::RestoreFailed);
        return;
    default: return;
    }
}

void WriteJob::AfterBackup() {
    result_.backup = exchange_->ReadImage();
    result_.haveBackup = true;
    // The model bytes are never transferred: name the band the radio reported.
    const int code = ModelCodeForBand(result_.probe.low, result_.probe.high);
    if (code >= 0) WriteModelBytes(result_.backup, code);
    exchange_.reset();
    if (cb_.backupTaken) cb_.backupTaken(result_.backup);
    if (cancelled_) {
        Finish(Outcome::Cancelled);
        return;
    }
    result_.changes = WriteChanges(
        result_.backup, PlannedSendImage(image_, result_.probe.low, result_.probe.high), opt_.language);
    if (opt_.previewOnly) {
        Finish(Outcome::Previewed);
        return;
    }
    if (result_.changes.empty()) {
        Finish(Outcome::NothingToWrite);
        return;
    }
    if (opt_.confirm && cb_.confirmChanges && !cb_.confirmChanges(result_.changes)) {
        result_.declined = true;
        Finish(Outcome::Cancelled);
        return;
    }
    StartWrite();
}

void WriteJob::StartWrite() {
    Enter(Stage::Write);
    RunExchange(CloneDir::Write, image_, false);
}

void WriteJob::AfterWrite(CloneOutcome o) {
    if (o != CloneOutcome::Succeeded) {
        if (o == CloneOutcome::None && !result_.radioTouched) {
            Finish(Outcome::PortFailed);
            return;
        }
        if (!result_.radioTouched) {
            Finish(Outcome::Cancelled);
            return;
        }
        MaybeRestore(RestoreReason::WriteFailed, Outcome::WriteFailed);
        return;
    }
    result_.sent = exchange_->SendImage();
    result_.bandChanges = exchange_->BandChanges();
    if (cb_.written) cb_.written(result_.sent);
    if (opt_.verify && cancelled_) {
        // Stopped in the last moments of the write: it is complete, only the
        // verify is left out.
        Finish(Outcome::VerifyFailed);
        return;
    }
    if (!opt_.verify) {
        Finish(Outcome::Written);
        return;
    }
    Enter(Stage::Verify);
    RunExchange(CloneDir::Read, result_.sent, false);
}

void WriteJob::MaybeRestore(RestoreReason why, Outcome otherwise) {
    exchange_.reset();
    if (!result_.haveBackup || !cb_.offerRestore || !cb_.offerRestore(why, result_)) {
        result_.declined = result_.haveBackup && cb_.offerRestore;
        Finish(otherwise);
        return;
    }
    result_.restoreTried = true;
    Enter(Stage::Restore);
    RunExchange(CloneDir::Write, result_.backup, true);
}

void WriteJob::Cancel() {
    cancelled_ = true;
    if (exchange_ && exchange_->State() != CloneState::Closed) exchange_->Cancel();
}

void WriteJob::Finish(Outcome o) {
    exchange_.reset();
    probe_.reset();
    result_.outcome = o;
    Enter(Stage::Done);
    if (cb_.finished) cb_.finished(result_);
}

}  // namespace rm427
