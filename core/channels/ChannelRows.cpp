#include "channels/ChannelRows.h"

#include <algorithm>

#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"
#include "image/RecordLayout.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {

// Channels the table and the rows both hold.
int ChannelsIn(const Module1& state, const ChannelRows& rows) {
    int n = std::min<int>(state.CHCount, kMaxChannels);
    if (rows.empty()) return 0;
    return std::min<int>(n, static_cast<int>(rows.size()) - 1);
}

void ClearCells(ChannelRow& row) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) row[c].clear();
}

void LoadTones(int language, const std::uint8_t* rec, ChannelRow& row) {
    const std::vector<std::string> tones = ToneList(language);
    int dec = 0, enc = 0;
    const std::uint8_t d = rec[record::kDecodeTone], e = rec[record::kEncodeTone];
    switch (rec[record::kStepSignalling] & record::kSignallingMask) {
    case sigNoneCtcss: enc = CtcssIndexOfCode(e); break;
    case sigCtcssCtcss:
        dec = CtcssIndexOfCode(d);
        enc = CtcssIndexOfCode(e);
        break;
    case sigNoneDcs: enc = DcsIndexOfCode(e); break;
    case sigDcsDcs:
        dec = DcsIndexOfCode(d);
        enc = DcsIndexOfCode(e);
        break;
    case sigDcsCtcss:
        dec = DcsIndexOfCode(d);
        enc = CtcssIndexOfCode(e);
        break;
    case sigCtcssDcs:
        dec = CtcssIndexOfCode(d);
        enc = DcsIndexOfCode(e);
        break;
    default: break;
    }
    row[colDecode] = tones[dec];
    row[colEncode] = tones[enc];
}

void SaveTones(int language, const ChannelRow& row, std::uint8_t* rec) {
    const int d = ToneIndex(language, row[colDecode]);
    int e = ToneIndex(language, row[colEncode]);
    std::uint8_t& b9 = rec[record::kStepSignalling];
    const auto isCtcss = [](int i) { return i >= kFirstCtcss && i <= kLastCtcss; };
    if (d == 0 && e == 0) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFE) | 6);
    } else if (d == 0 && isCtcss(e)) {
        b9 = static_cast<std::uint8_t>(b9 & 0xF8);
    } else if (d == 0) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFA) | 2);
    } else if (e == 0) {
        // A decode tone alone transmits 67.0 Hz. With a CTCSS decode this is
        // the CTCSS / CTCSS pair and is stored as one (bit 3 cleared), so the
        // record does not change again when the row is loaded and saved.
        e = kFirstCtcss;
        if (isCtcss(d)) b9 = static_cast<std::uint8_t>((b9 & 0xF1) | 1);
        else b9 = static_cast<std::uint8_t>((b9 & 0xFC) | 4);
    } else if (isCtcss(d) && isCtcss(e)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xF1) | 1);
    } else if (isCtcss(e)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFC) | 4);
    } else if (isCtcss(d)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFD) | 5);
    } else {
        b9 = static_cast<std::uint8_t>((b9 & 0xFB) | 3);
    }
    rec[record::kDecodeTone] = ToneCodeOfIndex(d);
    rec[record::kEncodeTone] = ToneCodeOfIndex(e);
}

}  // namespace

ChannelRows MakeChannelRows(const Module1& state) {
    ChannelRows rows(static_cast<std::size_t>(state.CHCount) + 1);
    SetColumnTitles(state, rows);
    for (std::size_t n = 1; n < rows.size(); ++n) rows[n][colChannel] = std::to_string(n);
    return rows;
}

void SetColumnTitles(const Module1& state, ChannelRows& rows) {
    if (rows.empty()) rows.resize(1);
    for (int c = 0; c < kChannelColumns; ++c)
        rows[0][c] = LoadText(state.Language, ChannelColumnOf(c).title);
}

void LoadChannelRows(Module1& state, ChannelRows& rows) {
    const int lang = state.Language;
    if (rows.size() < static_cast<std::size_t>(state.CHCount) + 1) {
        const std::size_t old = rows.size();
        rows.resize(static_cast<std::size_t>(state.CHCount) + 1);
        if (old == 0) SetColumnTitles(state, rows);
        for (std::size_t n = std::max<std::size_t>(old, 1); n < rows.size(); ++n)
            rows[n][colChannel] = std::to_string(n);
    }
    const int count = ChannelsIn(state, rows);
    for (int n = 1; n <= count; ++n) {
        ChannelRow& row = rows[n];
        const std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
        state.FreqStep = static_cast<std::int16_t>(RecordStep(rec[record::kStepSignalling]));
        const std::string rx = GetCHFreq(state, rows, n, "Rx");
        if (rx.empty()) {
            ClearCells(row);
            continue;
        }
        row[colRxFreq] = FormatCount(std::stoll(rx));
        row[colTxFreq] = FormatCount(std::stoll(GetCHFreq(state, rows, n, "Tx")));
        LoadTones(lang, rec, row);

        const std::uint8_t flags = rec[record::kRxFlags];
        row[colVOX] = ChoiceText(lang, colVOX, (flags & record::kVoxOff) ? choiceOff : choiceOn);
        row[colBandwidth] =
            ChoiceText(lang, colBandwidth, (flags & record::kWide) ? bandwidthWide : bandwidthNarrow);
        row[colScanAdd] =
            ChoiceText(lang, colScanAdd, (flags & record::kScanAdd) ? scanAddYes : scanAddNo);

        const std::uint8_t b8 = rec[record::kOptions];
        const std::uint8_t option = b8 & record::kOptionMask;
        row[colOption] = ChoiceText(lang, colOption,
                                    option == record::kOptionCompand    ? optionCompand
                                    : option == record::kOptionScramble ? optionScramble
                                                                        : optionOff);
        row[colBeatShift] = ChoiceText(lang, colBeatShift,
                                       !(b8 & record::kBeatShiftNot1) ? beatShift1
                                       : (b8 & record::kBeatShiftOff) ? beatShiftOff
                                                                      : beatShift2);
        row[colBCL] = ChoiceText(lang, colBCL, (b8 & record::kBclOff) ? choiceOff : choiceOn);
        const std::uint8_t power = b8 & record::kPowerMask;
        row[colPower] = ChoiceText(lang, colPower,
                                   power == record::kPowerLow   ? powerLow
                                   : power == record::kPowerMid ? powerMid
                                                                : powerHigh);
        row[colName] = DecodeName(rec + record::kName);
    }
}

void SaveChannelRows(Module1& state, const ChannelRows& rows) {
    const int lang = state.Language;
    const int count = ChannelsIn(state, rows);
    for (int n = 1; n <= count; ++n) {
        const ChannelRow& row = rows[n];
        std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
        if (row[colRxFreq].empty()) {
            std::fill(rec, rec + record::kSize, record::kEmpty);
        } else {
            std::string rx = row[colRxFreq];
            std::uint8_t& b9 = rec[record::kStepSignalling];
            if (FreqCount(NormaliseFreq(rx)) % kStep5k != 0) {
                state.FreqStep = kStep625;
                b9 = static_cast<std::uint8_t>((b9 & record::kLowNibble) | record::kStep625);
            } else {
                state.FreqStep = kStep5k;
                b9 = static_cast<std::uint8_t>((b9 & record::kLowNibble) | record::kStep5k);
            }
            PutCHFreq(state, rows, n, "Rx", rx);
            // A row without a transmit frequency transmits on its receive
            // frequency: the record has no "no transmit" form, so it is
            // stored as a zero offset.
            std::string tx = row[colTxFreq].empty() ? row[colRxFreq] : row[colTxFreq];
            PutCHFreq(state, rows, n, "Tx", tx);
            SaveTones(lang, row, rec);

            // A text that matches no choice is saved as its column says.
            const auto choice = [&](int col) { return CellChoice(lang, col, row[col]); };
            std::uint8_t flags = rec[record::kRxFlags] & record::kFraction;
            if (choice(colVOX) == choiceOff) flags |= record::kVoxOff;
            if (choice(colBandwidth) == bandwidthWide) flags |= record::kWide;
            if (choice(colScanAdd) == scanAddYes) flags |= record::kScanAdd;
            rec[record::kRxFlags] = flags;

            // The beat shift bits and the unused bit are kept for now.
            std::uint8_t b8 = rec[record::kOptions] &
                              (record::kBeatShiftNot1 | record::kBeatShiftOff | record::kOptionsKept);
            switch (choice(colOption)) {
            case optionCompand: b8 |= record::kOptionCompand; break;
            case optionScramble: b8 |= record::kOptionScramble; break;
            default: b8 |= record::kOptionOff; break;
            }
            switch (choice(colBeatShift)) {
            case beatShift1: b8 &= static_cast<std::uint8_t>(~record::kBeatShiftNot1); break;
            case beatShift2:
                b8 = static_cast<std::uint8_t>((b8 | record::kBeatShiftNot1) & ~record::kBeatShiftOff);
                break;
            default: b8 |= record::kBeatShiftNot1 | record::kBeatShiftOff; break;
            }
            if (choice(colBCL) == choiceOff) b8 |= record::kBclOff;
            switch (choice(colPower)) {
            case powerLow: b8 |= record::kPowerLow; break;
            case powerHigh: b8 |= record::kPowerHigh; break;
            default: b8 |= record::kPowerMid; break;
            }
            rec[record::kOptions] = b8;
        }
        EncodeName(row[colName], rec + record::kName);
    }
}

ChannelRows EnglishChannelRows(const CodeplugImage& image) {
    Module1 s;
    s.Language = 0;
    s.Image = image;
    ChannelRows rows = MakeChannelRows(s);
    LoadChannelRows(s, rows);
    return rows;
}

int ProgrammedChannels(const CodeplugImage& image) {
    int programmed = 0;
    for (int n = 1; n <= kMaxChannels; ++n) programmed += image[ChannelOffset(n)] != record::kEmpty;
    return programmed;
}

void ChannelDelete(Module1& state, ChannelRows& rows) {
    const int r = state.CurCHRow;
    if (r >= 1 && r <= state.CHCount && static_cast<std::size_t>(r) < rows.size()) ClearCells(rows[r]);
}

namespace {
void SwapCells(ChannelRow& a, ChannelRow& b) {
    for (int c = colRxFreq; c < kChannelColumns; ++c) std::swap(a[c], b[c]);
}
}  // namespace

void ChannelDown(Module1& state, ChannelRows& rows) {
    const int r = state.CurCHRow;
    if (r >= 1 && r < state.CHCount && static_cast<std::size_t>(r) + 1 < rows.size()) {
        SwapCells(rows[r], rows[r + 1]);
        ++state.CurCHRow;
    }
}

void ChannelUp(Module1& state, ChannelRows& rows) {
    const int r = state.CurCHRow;
    if (r >= 2 && r <= state.CHCount && static_cast<std::size_t>(r) < rows.size()) {
        SwapCells(rows[r], rows[r - 1]);
        --state.CurCHRow;
    }
}

}  // namespace rm427
