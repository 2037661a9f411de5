#include "radio/Fleet.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "channels/ChannelRecord.h"
#include "file/FileIo.h"
#include "file/History.h"
#include "image/ImageLayout.h"
#include "radio/WriteCheck.h"
#include "settings/SettingsRow.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {
constexpr int kTextPrompt = 3952;
constexpr int kTextRetryPrompt = 3953;
constexpr int kTextResults = 3962;  // Verified .. Cancelled, in FleetResult order
constexpr int kTextTooLong = 3970;
constexpr int kTextBadChar = 3971;
constexpr int kTextTwoCounters = 3972;
constexpr int kTextOutgrown = 3973;
constexpr int kTextEnded = 3974;
constexpr int kTextLogFailed = 3976;
constexpr int kTextCheckConnection = 3977;
constexpr std::size_t kMessageChars = 5;

const char* const kResultNames[] = {"verified", "written",   "failed",      "differs",
                                    "refused",  "no-answer", "port-failed", "cancelled"};

// The first and one-past-last position of the '#' group; npos when none.
void CounterGroup(const std::string& text, std::size_t& first, std::size_t& end) {
    first = text.find('#');
    end = first == std::string::npos ? first : text.find_first_not_of('#', first);
    if (first != std::string::npos && end == std::string::npos) end = text.size();
}

std::string Quoted(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string q = "\"";
    for (char c : field) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string Hex(const Bytes& bytes) {
    std::string s;
    char b[4];
    for (std::uint8_t c : bytes) {
        std::snprintf(b, sizeof b, "%s%02X", s.empty() ? "" : " ", c);
        s += b;
    }
    return s;
}

std::string LocalTime() {
    const HistoryTime t = HistoryTime::Now();
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return b;
}
}  // namespace

std::string CheckMessagePattern(int language, const MessagePattern& p, int count) {
    if (p.text.empty()) return {};
    if (p.text.size() > kMessageChars) return FillText(LoadText(language, kTextTooLong), {p.text});
    for (char c : p.text)
        if (c != '#' && !IsPowerOnMessageChar(c))
            return FillText(LoadText(language, kTextBadChar), {std::string(1, c)});
    std::size_t first = 0, end = 0;
    CounterGroup(p.text, first, end);
    if (first == std::string::npos) return {};
    if (p.text.find('#', end) != std::string::npos)
        return FillText(LoadText(language, kTextTwoCounters), {p.text});
    const long long last = static_cast<long long>(p.start) + count - 1;
    if (p.start < 0 || std::to_string(last).size() > end - first)
        return FillText(
            LoadText(language, kTextOutgrown),
            {p.text, std::to_string(end - first), std::to_string(count), std::to_string(last)});
    return {};
}

std::string PatternMessage(const MessagePattern& p, int index) {
    std::size_t first = 0, end = 0;
    CounterGroup(p.text, first, end);
    if (first == std::string::npos) return p.text;
    std::string n = std::to_string(static_cast<long long>(p.start) + index);
    if (n.size() < end - first) n.insert(0, end - first - n.size(), '0');
    return p.text.substr(0, first) + n + p.text.substr(end);
}

CodeplugImage WithPowerOnMessage(const CodeplugImage& image, const std::string& message) {
    CodeplugImage out = image;
    const auto bytes = PackPowerOnMessage(message);
    std::copy(bytes.begin(), bytes.end(), out.begin() + settings::kMessage);
    return out;
}

const char* FleetResultName(FleetResult result) { return kResultNames[static_cast<int>(result)]; }

std::string FleetResultText(int language, FleetResult result) {
    return LoadText(language, kTextResults + static_cast<int>(result));
}

std::string FleetLogHeader() {
    return "time,unit,attempt,port,band,identification,message,result,seconds,codeplug,reason";
}

std::string FleetLogLine(const FleetRadio& r, const std::string& port, const std::string& codeplug) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", r.seconds);
    const std::string band = r.high > 0 ? BandText(r.low, r.high) : std::string();
    const std::string fields[] = {r.time,
                                  std::to_string(r.unit),
                                  std::to_string(r.attempt),
                                  port,
                                  band,
                                  r.identification,
                                  r.message,
                                  FleetResultName(r.result),
                                  seconds,
                                  codeplug,
                                  r.reason};
    std::string line;
    for (std::size_t i = 0; i < std::size(fields); ++i) line += (i ? "," : "") + Quoted(fields[i]);
    return line;
}

FleetLogSummary SummarizeFleetLog(const std::string& path) {
    FleetLogSummary sum;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error, std::size_t(64) << 20)) return sum;
    sum.ok = true;
    std::set<std::string> units;
    std::string line;
    bool header = true;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n') {
            line += static_cast<char>(bytes[i]);
            continue;
        }
        // time and unit come first and are never quoted; the result is the
        // 8th field, a plain word.
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) fields.emplace_back();
            else fields.back() += c;
        }
        if (!header && fields.size() >= 8) {
            units.insert(fields[1]);
            sum.verified += fields[7] == FleetResultName(FleetResult::Verified);
        }
        header = false;
        line.clear();
    }
    sum.radios = static_cast<int>(units.size());
    return sum;
}

bool AppendDurably(const std::string& path, const std::string& text, std::string& error) {
#ifdef _WIN32
    const int fd = ::_wopen(std::filesystem::u8path(path).wstring().c_str(),
                            _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
#endif
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
#ifdef _WIN32
        const int n = ::_write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
#else
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
#ifdef _WIN32
    ok = ok && ::_commit(fd) == 0;
#else
    ok = ok && ::fsync(fd) == 0;
#endif
    if (!ok) error = std::strerror(errno);
#ifdef _WIN32
    if (::_close(fd) != 0 && ok) {
#else
    if (::close(fd) != 0 && ok) {
#endif
        error = std::strerror(errno);
        ok = false;
    }
    return ok;
}

FleetRun::FleetRun(SerialPort& port, TimerFactory& timers, int comPort, const CodeplugImage& image,
                   Options options, Callbacks callbacks, CloneTiming timing)
    : port_(port),
      timers_(timers),
      comPort_(comPort),
      image_(image),
      opt_(std::move(options)),
      cb_(std::move(callbacks)),
      timing_(timing) {
    // The job that calls back cannot be destroyed inside its call: the
    // radio's end is taken from the event loop.
    later_ = timers_.CreateTimer([this] { RadioFinished(last_); });
}

FleetRun::~FleetRun() { job_.reset(); }

void FleetRun::SetState(State s) {
    state_ = s;
    if (cb_.state) cb_.state(s);
}

std::string FleetRun::Begin() {
    if (state_ != State::Setup) return {};
    const int lang = opt_.language;
    std::string refusal = CheckMessagePattern(lang, opt_.pattern, opt_.count);
    if (!refusal.empty()) return refusal;
    std::string error;
    if (!opt_.logFile.empty()) {
        std::error_code ec;
        const bool fresh = !std::filesystem::exists(std::filesystem::u8path(opt_.logFile), ec) ||
                           std::filesystem::file_size(std::filesystem::u8path(opt_.logFile), ec) == 0;
        if (!AppendDurably(opt_.logFile, fresh ? FleetLogHeader() + "\n" : std::string(), error))
            return FillText(LoadText(lang, kTextLogFailed), {opt_.logFile, error});
    }
    if (!opt_.historyFolder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::u8path(opt_.historyFolder), ec);
        const std::string path = (std::filesystem::u8path(opt_.historyFolder) /
                                  std::filesystem::u8path(HistoryEntryName(
                                      HistoryTime::Now(), HistoryKind::Fleet, opt_.codeplugName)))
                                     .u8string();
        if (AppendDurably(path, FleetLogHeader() + "\n", error)) {
            historyLog_ = path;
            PruneHistory(opt_.historyFolder, kHistoryKeep, path);
        } else if (cb_.logWarning) {
            cb_.logWarning(FillText(LoadText(lang, kTextLogFailed), {path, error}));
        }
    }
    SetState(State::Waiting);
    return {};
}

void FleetRun::Go() {
    if (state_ != State::Waiting) return;
    const bool retry = LastFailed();
    attempt_ = retry ? attempt_ + 1 : 1;
    message_ = opt_.pattern.text.empty() ? UnpackPowerOnMessage(&image_[settings::kMessage])
                                         : PatternMessage(opt_.pattern, unit_ - 1);
    const CodeplugImage image =
        opt_.pattern.text.empty() ? image_ : WithPowerOnMessage(image_, message_);
    WriteJob::Options o;
    o.backup = opt_.backup;
    o.verify = opt_.verify;
    o.confirm = false;
    o.language = opt_.language;
    WriteJob::Callbacks cb;
    cb.stage = [this](WriteJob::Stage s) {
        if (cb_.stage) cb_.stage(s);
    };
    cb.progress = [this](int v, int max) {
        if (cb_.progress) cb_.progress(v, max);
    };
    cb.askRetry = [this] { return !ending_ && cb_.askRetry && cb_.askRetry(); };
    cb.confirmCheck = [this](const std::vector<CheckLine>& lines, bool errors) {
        if (cb_.confirmCheck) return cb_.confirmCheck(lines, errors);
        return !errors;
    };
    cb.backupTaken = [this](const CodeplugImage& copy) {
        if (cb_.backupTaken) cb_.backupTaken(copy);
    };
    cb.finished = [this](const WriteJob::Result& r) {
        last_ = r;
        later_->Start(0);
    };
    startedMs_ = timers_.NowMs();
    job_ = std::make_unique<WriteJob>(port_, timers_, comPort_, opt_.portName, image, o, cb, timing_);
    SetState(State::Running);
    job_->Start();
}

void FleetRun::End() {
    if (state_ == State::Running) {
        ending_ = true;
        if (job_) job_->Cancel();
        return;
    }
    if (state_ != State::Ended) SetState(State::Ended);
}

void FleetRun::RadioFinished(const WriteJob::Result& r) {
    using O = WriteJob::Outcome;
    const int lang = opt_.language;
    job_.reset();
    FleetRadio radio;
    radio.unit = unit_;
    radio.attempt = attempt_;
    radio.time = LocalTime();
    radio.message = message_;
    radio.seconds = static_cast<double>(timers_.NowMs() - startedMs_) / 1000.0;
    if (r.probe.answered) {
        radio.low = r.probe.low;
        radio.high = r.probe.high;
        radio.identification = Hex(r.probe.identification);
    }
    const std::string connection = LoadText(lang, kTextCheckConnection);
    const std::string unchanged = LoadText(lang, 3603);
    const std::string space = lang == 1 ? "" : " ";
    switch (r.outcome) {
    case O::Written: radio.result = opt_.verify ? FleetResult::Verified : FleetResult::Written; break;
    case O::NothingToWrite: radio.result = FleetResult::Verified; break;
    case O::VerifyDiffers:
        radio.result = FleetResult::Differs;
        radio.reason = VerifySummary(lang, r.verifyDiffs.size());
        break;
    case O::VerifyFailed: radio.reason = LoadText(lang, 3207); break;
    case O::NoAnswer:
        radio.result = FleetResult::NoAnswer;
        radio.reason = r.check.empty() ? connection : r.check.front().text;
        break;
    case O::PortFailed:
        radio.result = FleetResult::PortFailed;
        radio.reason = r.error;
        break;
    case O::Refused:
        radio.result = FleetResult::Refused;
        for (const CheckLine& l : r.check)
            if (l.severity == CheckSeverity::Error)
                radio.reason += (radio.reason.empty() ? "" : space) + l.text;
        break;
    case O::Cancelled:
        radio.result = FleetResult::Cancelled;
        radio.reason = LoadText(lang, 3601) + space + unchanged;
        break;
    default:  // the copy or the write failed, or was stopped by End
        if (ending_) {
            radio.result = FleetResult::Cancelled;
            radio.reason =
                LoadText(lang, 3601) + space + (r.radioTouched ? LoadText(lang, 3602) : unchanged);
            break;
        }
        radio.reason = connection;
        if (r.lineLost) radio.reason += space + LoadText(lang, 3860);
        radio.reason += space + (r.radioTouched ? LoadText(lang, 3602) : unchanged);
        break;
    }
    radios_.push_back(radio);
    Log(radio);
    const bool ok = radio.result == FleetResult::Verified || radio.result == FleetResult::Written;
    if (ok) {
        ++done_;
        ++unit_;
        attempt_ = 1;
    }
    if (cb_.radioDone) cb_.radioDone(radio);
    SetState(ending_ || unit_ > opt_.count ? State::Ended : State::Waiting);
}

void FleetRun::Log(const FleetRadio& radio) {
    const std::string line = FleetLogLine(radio, opt_.portName, opt_.codeplugName) + "\n";
    std::string error;
    for (const std::string& path : {historyLog_, opt_.logFile}) {
        if (path.empty()) continue;
        if (!AppendDurably(path, line, error) && cb_.logWarning)
            cb_.logWarning(FillText(LoadText(opt_.language, kTextLogFailed), {path, error}));
    }
}

std::string FleetRun::Prompt() const {
    const int lang = opt_.language;
    if (state_ == State::Ended)
        return FillText(LoadText(lang, kTextEnded), {std::to_string(done_), std::to_string(opt_.count)});
    if (state_ == State::Waiting && LastFailed())
        return FillText(LoadText(lang, kTextRetryPrompt),
                        {std::to_string(unit_), radios_.back().reason});
    return FillText(LoadText(lang, kTextPrompt), {std::to_string(unit_)});
}

}  // namespace rm427
