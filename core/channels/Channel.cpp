#include "channels/Channel.h"

#include <algorithm>

#include "channels/ChannelRecord.h"
#include "channels/ToneCodec.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

std::uint16_t Word(const std::uint8_t* rec, int at) {
    return static_cast<std::uint16_t>((rec[at] << 8) | rec[at + 1]);
}

void PutWord(std::uint8_t* rec, int at, std::uint16_t w) {
    rec[at] = static_cast<std::uint8_t>(w >> 8);
    rec[at + 1] = static_cast<std::uint8_t>(w & 0xFF);
}

// The receive count the transmit offset is taken from: the receive
// frequency as its text reads back. Below 1000 MHz that is the count
// itself; a record holding 1000 MHz or more (never written by the program)
// reads back by the first three digits of its text, as the channel editor
// has always shown such a record.
std::int64_t OffsetBase(std::int32_t rx) {
    constexpr std::int32_t k1000MHz = 100000000;
    return rx < k1000MHz ? rx : FreqCount(NormaliseFreq(FormatCount(rx)));
}

bool IsCtcss(int index) { return index >= kFirstCtcss && index <= kLastCtcss; }

// Decode and encode indexes of a record's signalling type and code bytes.
void DecodeTones(const std::uint8_t* rec, Channel& ch) {
    const std::uint8_t d = rec[record::kDecodeTone], e = rec[record::kEncodeTone];
    switch (rec[record::kStepSignalling] & record::kSignallingMask) {
    case sigNoneCtcss: ch.encode = CtcssIndexOfCode(e); break;
    case sigCtcssCtcss:
        ch.decode = CtcssIndexOfCode(d);
        ch.encode = CtcssIndexOfCode(e);
        break;
    case sigNoneDcs: ch.encode = DcsIndexOfCode(e); break;
    case sigDcsDcs:
        ch.decode = DcsIndexOfCode(d);
        ch.encode = DcsIndexOfCode(e);
        break;
    case sigDcsCtcss:
        ch.decode = DcsIndexOfCode(d);
        ch.encode = CtcssIndexOfCode(e);
        break;
    case sigCtcssDcs:
        ch.decode = CtcssIndexOfCode(d);
        ch.encode = DcsIndexOfCode(e);
        break;
    default: break;
    }
}

void EncodeTones(const Channel& ch, std::uint8_t* rec) {
    const int d = ch.decode;
    int e = ch.encode;
    SignallingType type;
    if (d == 0 && e == 0) type = sigNoneNone;
    else if (d == 0) type = IsCtcss(e) ? sigNoneCtcss : sigNoneDcs;
    else {
        // A decode tone alone transmits 67.0 Hz.
        if (e == 0) e = kFirstCtcss;
        if (IsCtcss(d)) type = IsCtcss(e) ? sigCtcssCtcss : sigCtcssDcs;
        else type = IsCtcss(e) ? sigDcsCtcss : sigDcsDcs;
    }
    std::uint8_t& b9 = rec[record::kStepSignalling];
    // A CTCSS / CTCSS pair also clears the bit beside the type, so that the
    // record does not change again when it is loaded and saved.
    std::uint8_t keep = static_cast<std::uint8_t>(~record::kSignallingMask);
    if (type == sigCtcssCtcss) keep = static_cast<std::uint8_t>(keep & ~record::kStepKeptBit);
    b9 = static_cast<std::uint8_t>((b9 & keep) | type);
    rec[record::kDecodeTone] = ToneCodeOfIndex(d);
    rec[record::kEncodeTone] = ToneCodeOfIndex(e);
}

// The whole record from the channel's values, on top of its kept bits.
void EncodeValues(const Channel& ch, std::uint8_t* rec) {
    std::copy(ch.record.begin(), ch.record.end(), rec);
    if (!ch.programmed) {
        std::fill(rec, rec + record::kSize, record::kEmpty);
        EncodeName(ch.name, rec + record::kName);
        return;
    }
    const int step = ch.Step();
    std::uint8_t& b9 = rec[record::kStepSignalling];
    b9 = static_cast<std::uint8_t>((b9 & record::kLowNibble) |
                                   (step == kStep625 ? record::kStep625 : record::kStep5k));

    const PackedFreq rx = PackFreq(ch.rx, step);
    PutWord(rec, record::kRxWhole, rx.whole);
    // Transmit as an offset from receive, with its direction.
    PutOffset(rec, static_cast<std::int64_t>(ch.tx) - ch.rx, step);

    EncodeTones(ch, rec);

    std::uint8_t flags = rx.fraction;
    if (ch.vox == choiceOff) flags |= record::kVoxOff;
    if (ch.bandwidth == bandwidthWide) flags |= record::kWide;
    if (ch.scanAdd == scanAddYes) flags |= record::kScanAdd;
    rec[record::kRxFlags] = flags;

    // The beat shift bits change only as the choice says; the unused bit stays.
    std::uint8_t b8 =
        rec[record::kOptions] & (record::kBeatShiftNot1 | record::kBeatShiftOff | record::kOptionsKept);
    switch (ch.option) {
    case optionCompand: b8 |= record::kOptionCompand; break;
    case optionScramble: b8 |= record::kOptionScramble; break;
    default: b8 |= record::kOptionOff; break;
    }
    switch (ch.beatShift) {
    case beatShift1: b8 &= static_cast<std::uint8_t>(~record::kBeatShiftNot1); break;
    case beatShift2:
        b8 = static_cast<std::uint8_t>((b8 | record::kBeatShiftNot1) & ~record::kBeatShiftOff);
        break;
    default: b8 |= record::kBeatShiftNot1 | record::kBeatShiftOff; break;
    }
    if (ch.bcl == choiceOff) b8 |= record::kBclOff;
    switch (ch.power) {
    case powerLow: b8 |= record::kPowerLow; break;
    case powerHigh: b8 |= record::kPowerHigh; break;
    default: b8 |= record::kPowerMid; break;
    }
    rec[record::kOptions] = b8;
    EncodeName(ch.name, rec + record::kName);
}

}  // namespace

bool Channel::SameValue(const Channel& o) const {
    if (!programmed || !o.programmed) return programmed == o.programmed && name == o.name;
    return rx == o.rx && tx == o.tx && decode == o.decode && encode == o.encode && power == o.power &&
           bandwidth == o.bandwidth && scanAdd == o.scanAdd && beatShift == o.beatShift &&
           bcl == o.bcl && vox == o.vox && option == o.option && name == o.name;
}

Channel NewChannel(std::int32_t rx, const std::string& name) {
    Channel ch;
    ch.programmed = true;
    ch.rx = ch.tx = rx;
    ch.name = StoredName(name);
    return ch;
}

Channel DecodeChannel(const std::uint8_t* rec) {
    Channel ch;
    std::copy(rec, rec + record::kSize, ch.record.begin());
    ch.name = DecodeName(rec + record::kName);
    if (rec[record::kRxWhole] == record::kEmpty) return ch;
    ch.programmed = true;
    const int step = RecordStep(rec[record::kStepSignalling]);
    PackedFreq p;
    p.whole = Word(rec, record::kRxWhole);
    p.fraction = rec[record::kRxFlags] & record::kFraction;
    ch.rx = static_cast<std::int32_t>(UnpackFreq(p, step));
    const std::int64_t r = OffsetBase(ch.rx);
    p.whole = Word(rec, record::kOffsetWhole);
    p.fraction = rec[record::kShift] & record::kFraction;
    const std::int64_t o = UnpackFreq(p, step);
    switch (rec[record::kShift] & record::kShiftMask) {
    case record::kShiftPlus: ch.tx = static_cast<std::int32_t>(r + o); break;
    case record::kShiftMinus: ch.tx = static_cast<std::int32_t>(r - o); break;
    default: ch.tx = static_cast<std::int32_t>(r); break;
    }
    DecodeTones(rec, ch);

    const std::uint8_t flags = rec[record::kRxFlags];
    ch.vox = (flags & record::kVoxOff) ? choiceOff : choiceOn;
    ch.bandwidth = (flags & record::kWide) ? bandwidthWide : bandwidthNarrow;
    ch.scanAdd = (flags & record::kScanAdd) ? scanAddYes : scanAddNo;

    const std::uint8_t b8 = rec[record::kOptions];
    const std::uint8_t option = b8 & record::kOptionMask;
    ch.option = option == record::kOptionCompand    ? optionCompand
                : option == record::kOptionScramble ? optionScramble
                                                    : optionOff;
    ch.beatShift = !(b8 & record::kBeatShiftNot1) ? beatShift1
                   : (b8 & record::kBeatShiftOff) ? beatShiftOff
                                                  : beatShift2;
    ch.bcl = (b8 & record::kBclOff) ? choiceOff : choiceOn;
    const std::uint8_t power = b8 & record::kPowerMask;
    ch.power = power == record::kPowerLow ? powerLow : power == record::kPowerMid ? powerMid : powerHigh;
    return ch;
}

void EncodeChannel(const Channel& ch, std::uint8_t* rec) {
    // Untouched: the record as it was read, every bit of it.
    if (ch.SameValue(DecodeChannel(ch.record.data())))
        std::copy(ch.record.begin(), ch.record.end(), rec);
    else EncodeValues(ch, rec);
}

Channel ChannelAt(const CodeplugImage& image, int n) {
    return DecodeChannel(image.data() + ChannelOffset(n));
}

void PutChannel(CodeplugImage& image, int n, const Channel& ch) {
    if (n >= 1 && n <= kMaxChannels) EncodeChannel(ch, image.data() + ChannelOffset(n));
}

std::vector<Channel> ImageChannels(const CodeplugImage& image) {
    std::vector<Channel> out;
    out.reserve(kMaxChannels);
    for (int n = 1; n <= kMaxChannels; ++n) out.push_back(ChannelAt(image, n));
    return out;
}

void SetChoice(Channel& ch, int col, int choice) {
    switch (col) {
    case colPower: ch.power = static_cast<PowerChoice>(choice); break;
    case colBandwidth: ch.bandwidth = static_cast<BandwidthChoice>(choice); break;
    case colScanAdd: ch.scanAdd = static_cast<ScanAddChoice>(choice); break;
    case colBeatShift: ch.beatShift = static_cast<BeatShiftChoice>(choice); break;
    case colBCL: ch.bcl = static_cast<OnOffChoice>(choice); break;
    case colVOX: ch.vox = static_cast<OnOffChoice>(choice); break;
    case colOption: ch.option = static_cast<OptionChoice>(choice); break;
    default: break;
    }
}

int ChoiceOf(const Channel& ch, int col) {
    switch (col) {
    case colPower: return ch.power;
    case colBandwidth: return ch.bandwidth;
    case colScanAdd: return ch.scanAdd;
    case colBeatShift: return ch.beatShift;
    case colBCL: return ch.bcl;
    case colVOX: return ch.vox;
    case colOption: return ch.option;
    default: return -1;
    }
}

std::string ChannelCell(const Channel& ch, int col, int language) {
    if (!ch.programmed) return {};
    switch (col) {
    case colRxFreq: return FormatCount(ch.rx);
    case colTxFreq: return FormatCount(ch.tx);
    case colDecode:
    case colEncode: {
        const int i = col == colDecode ? ch.decode : ch.encode;
        if (i <= 0 || i >= kToneCount) return NewChannelText(language, colDecode);
        return ToneTexts()[static_cast<std::size_t>(i)];
    }
    case colName: return ch.name;
    default: return ChoiceText(language, col, ChoiceOf(ch, col));
    }
}

void RenderChannels(const std::vector<Channel>& channels, int language, ChannelRows& rows) {
    for (std::size_t i = 0; i < channels.size() && i + 1 < rows.size(); ++i)
        RenderChannel(channels[i], language, rows[i + 1]);
}

void RenderChannel(const Channel& ch, int language, ChannelRow& row) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) row[c] = ChannelCell(ch, c, language);
}

bool CommitChannelText(const Module1& state, Channel& ch, int col, const std::string& text) {
    if (col == colName) {
        ch.name = StoredName(text);
        return false;
    }
    if (col != colRxFreq && col != colTxFreq) return false;
    if (text.empty()) {
        if (col == colRxFreq) {
            ch.programmed = false;
            ch.name.clear();
        } else {
            ch.tx = ch.rx;
            ch.encode = 0;
        }
        return false;
    }
    // A transmit frequency on an empty channel is nowhere to go.
    if (col == colTxFreq && !ch.programmed) return false;
    const FreqEntry f = EnterFreqEditor(state, text, col, ch.programmed ? ShownCount(ch.rx) : 0);
    if (col == colTxFreq) ch.tx = f.count;
    else if (ch.programmed) ch.rx = f.count;
    else {
        Channel fresh = NewChannel(f.count, ch.name);
        fresh.record = ch.record;
        ch = fresh;
    }
    return f.outOfRange;
}

Channel ParseRow(const ChannelRow& row, int language, const Channel& base) {
    Channel ch = base;
    ch.name = StoredName(row[colName]);
    ch.programmed = !row[colRxFreq].empty();
    if (!ch.programmed) return ch;
    ch.rx = FreqCount(NormaliseFreq(row[colRxFreq]));
    // The record cannot say "no transmit": an empty transmit cell transmits
    // on the receive frequency.
    ch.tx = row[colTxFreq].empty() ? ch.rx : FreqCount(NormaliseFreq(row[colTxFreq]));
    ch.decode = ToneIndex(language, row[colDecode]);
    ch.encode = ToneIndex(language, row[colEncode]);
    for (int c = colPower; c < colName; ++c) SetChoice(ch, c, CellChoice(language, c, row[c]));
    return ch;
}

Channel StoredChannel(const Channel& ch) {
    RecordBytes bytes;
    EncodeChannel(ch, bytes.data());
    return DecodeChannel(bytes.data());
}

std::string StoredName(const std::string& name) {
    std::uint8_t bytes[4];
    EncodeName(name, bytes);
    return DecodeName(bytes);
}

}  // namespace rm427
