#include "settings/BatchFill.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/FreqCodec.h"
#include "settings/SettingsRow.h"

namespace rm427 {

// ---- Numbers and frequency texts -----------------------------------------

std::string SingleText(float value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(value));
    if (std::strchr(buf, 'e') == nullptr) return buf;
    // Tiny or huge values: plain digits rather than an exponent.
    std::snprintf(buf, sizeof buf, "%.7f", static_cast<double>(value));
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

namespace {

long long OnRaster(long long count, int step) { return (2 * count + step) / (2 * step) * step; }

// The nearer of the 5 kHz and 6.25 kHz candidates; a tie goes to 5 kHz.
long long NearestRaster(long long count) {
    const long long c5 = OnRaster(count, kStep5k), c625 = OnRaster(count, kStep625);
    return std::llabs(count - c625) < std::llabs(count - c5) ? c625 : c5;
}

// Receive frequencies take the nearer raster; a transmit frequency follows
// the raster of its own channel's receive frequency.
std::string RoundRx(const std::string& text) { return RoundFreq(text, colRxFreq, std::string()); }
std::string RoundTx(const std::string& text, const std::string& rxText) {
    return RoundFreq(text, colTxFreq, rxText);
}

float Wrap(float f, const Module1& s) {
    if (f > s.FreqLimitHigh) return static_cast<float>(s.FreqLimitLow);
    if (f < s.FreqLimitLow) return static_cast<float>(s.FreqLimitHigh);
    return f;
}

int StepIndex(int index, int dir, int interval) {
    index += dir * interval;
    if (index > kBatchToneMax) return 0;
    if (index < 0) return kBatchToneMax;
    return index;
}

}  // namespace

// ---- Random choice --------------------------------------------------------

double BatchRandom::Next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return state_ / 16777216.0;
}

int BatchRandom::NextIndex() { return static_cast<int>(std::floor(Next() * 261)); }

// ---- ApplyBatch -----------------------------------------------------------

namespace {

// The channels of the range, one after the other: put(n, channel) for each
// channel n of 1..min(count, CHCount).
template <typename Put>
void FillBatch(const Module1& state, const BatchInputs& in, BatchRandom& random, int count, Put put) {
    if (in.toChannel < in.fromChannel) return;

    std::string rxText = in.rxText;
    float rx = static_cast<float>(NumericValue(rxText));
    const float rxStep = static_cast<float>(NumericValue(in.rxStepText) / 1000.0);
    const int rxDir = in.rxAscending ? 1 : -1;
    std::string txText = in.txText;
    float tx = static_cast<float>(NumericValue(txText));
    const float txStep = static_cast<float>(NumericValue(in.txStepText) / 1000.0);
    const int txDir = in.txAscending ? 1 : -1;
    const double offset = NumericValue(in.offsetText);
    const int sign = in.offsetPlus ? 1 : -1;
    int dec = in.decodeIndex;
    const int decInterval = static_cast<int>(NumericValue(in.decodeIntervalText));
    const int decDir = in.decodeAscending ? 1 : -1;
    int enc = in.encodeIndex;
    const int encInterval = static_cast<int>(NumericValue(in.encodeIntervalText));
    const int encDir = in.encodeAscending ? 1 : -1;

    // Every channel of the range gets the same options and name.
    Channel options = NewChannel(0, CleanBatchName(in.name));
    const std::pair<int, int> items[] = {{colBandwidth, in.bandwidth},
                                         {colScanAdd, in.scanAdd},
                                         {colPower, in.power},
                                         {colBCL, in.bcl},
                                         {colVOX, in.vox},
                                         {colBeatShift, in.beatShift},
                                         {colOption, in.option}};
    for (const auto& [col, item] : items) SetChoice(options, col, BatchItemChoice(col, item));

    for (int k = 0; k <= in.toChannel - in.fromChannel; ++k) {
        const int n = in.fromChannel + k;
        const bool inTable = n >= 1 && n <= state.CHCount && n <= count;

        if (k > 0) {
            rx = Wrap(static_cast<float>(static_cast<double>(rx) + rxDir * static_cast<double>(rxStep)),
                      state);
            rxText = RoundRx(SingleText(rx));
            rx = static_cast<float>(NumericValue(rxText));
        }
        const std::string rxCell = FormatCount(FreqCount(rxText));

        if (in.txMode == txOffset) {
            tx = Wrap(static_cast<float>(sign * offset + static_cast<double>(rx)), state);
            txText = RoundTx(SingleText(tx), rxCell);
        } else if (in.txMode == txOwnStart) {
            if (k > 0) {
                tx = Wrap(
                    static_cast<float>(static_cast<double>(tx) + txDir * static_cast<double>(txStep)),
                    state);
                txText = RoundTx(SingleText(tx), rxCell);
                tx = static_cast<float>(NumericValue(txText));
            }
        } else {
            txText = rxText;
        }

        if (in.decodeRandom) dec = random.NextIndex();
        else if (k > 0) dec = StepIndex(dec, decDir, decInterval);
        if (in.encodeSameAsDecode) enc = dec;
        else if (in.encodeRandom) enc = random.NextIndex();
        else if (k > 0) enc = StepIndex(enc, encDir, encInterval);

        if (!inTable) continue;
        Channel ch = options;
        ch.rx = FreqCount(rxCell);
        ch.tx = FreqCount(txText);
        ch.decode = dec;
        ch.encode = enc;
        put(n, ch);
    }
}

}  // namespace

void ApplyBatch(const Module1& state, const BatchInputs& in, BatchRandom& random, ChannelRows& rows) {
    FillBatch(state, in, random, static_cast<int>(rows.size()) - 1, [&](int n, const Channel& ch) {
        RenderChannel(ch, state.Language, rows[std::size_t(n)]);
    });
}

void ApplyBatch(const Module1& state, const BatchInputs& in, BatchRandom& random, ChannelList& list) {
    FillBatch(state, in, random, static_cast<int>(list.size()), [&](int n, const Channel& ch) {
        Channel& to = list[std::size_t(n - 1)];
        const RecordBytes record = to.record;
        to = ch;
        to.record = record;
    });
}

// ---- Field rules ----------------------------------------------------------

FieldCheck ValidateBatchStartFreq(const Module1& s, const std::string& text) {
    const FreqCheckResult r = CheckFreqBatch(s, text, colRxFreq, std::string());
    return {r.text, r.outOfRange};
}

double BatchOffsetLimit(const Module1& s) { return s.FreqLimitHigh - s.FreqLimitLow; }

FieldCheck ValidateBatchOffset(const Module1& s, const std::string& text) {
    const long long limit = static_cast<long long>(s.FreqLimitHigh - s.FreqLimitLow) * 100000;
    const long long count = FreqCount(text);
    if (count >= limit) return {FormatCount(limit - 500), true};
    return {FormatCount(NearestRaster(count)), false};
}

std::string BatchStepChanged(const std::string& text) {
    return NumericValue(text) > 1000 ? "1000" : text;
}

std::string ValidateBatchStep(const std::string& text) {
    double v = NumericValue(text);
    if (v > 1000) v = 1000;
    if (v > 0 && v < 5) v = 5;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

namespace {
long WholeNumber(const std::string& text) {
    const double v = NumericValue(text);
    return v > 1e6 ? 1000000L : static_cast<long>(v);
}
}  // namespace

std::string RangeFieldChanged(const std::string& text, int chCount) {
    if (text.empty()) return text;
    const long v = WholeNumber(text);
    return std::to_string(v > chCount ? chCount : v);
}

std::string RangeFieldKeyDown(const std::string& text, FieldKey key, int chCount) {
    long v = WholeNumber(text);
    if (key == FieldKey::Up) {
        if (--v < 1) v = chCount;
    } else if (key == FieldKey::Down) {
        if (++v > chCount) v = 1;
    }
    return std::to_string(v);
}

std::string ClampChannelField(const std::string& text, int chCount) {
    long v = WholeNumber(text);
    if (v == 0) v = 1;
    if (v > chCount) v = chCount;
    return std::to_string(v);
}

void ValidateRangeFields(std::string& from, std::string& to, bool isFrom, int chCount) {
    std::string& self = isFrom ? from : to;
    std::string& other = isFrom ? to : from;
    self = ClampChannelField(self, chCount);
    const long v = WholeNumber(self);
    const long o = WholeNumber(other);
    if (isFrom ? o < v : o > v) other = self;
}

std::string IntervalChanged(const std::string& text) { return NumericValue(text) > 20 ? "20" : text; }

std::string IntervalKeyDown(const std::string& text, FieldKey key) {
    long v = WholeNumber(text);
    if (v > 20) v = 20;
    if (key == FieldKey::Up) {
        if (--v < 0) v = 20;
    } else if (key == FieldKey::Down) {
        if (++v > 20) v = 0;
    }
    return std::to_string(v);
}

std::string ValidateInterval(const std::string& text) {
    const long v = WholeNumber(text);
    return std::to_string(v > 20 ? 20 : v);
}

bool BatchNameCharAllowed(char c) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u != '\0' && IsPowerOnMessageChar(u);
}

std::string CleanBatchName(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (out.size() == 5) break;
        if (static_cast<unsigned char>(c) < 0x80 && BatchNameCharAllowed(c))
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace rm427
