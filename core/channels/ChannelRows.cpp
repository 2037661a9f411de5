#include "channels/ChannelRows.h"

#include <algorithm>

#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"
#include "text/TextTable.h"

namespace rm427 {

namespace {

// Text numbers of the cell texts.
enum : int {
    txtNone = 1137, txtWide = 1145, txtNarrow = 1146, txtHigh = 1147, txtLow = 1148,
    txtOn = 1149, txtOff = 1150, txtYes = 1151, txtNo = 1152, txtBeatShift = 1131,
    txtMid = 1399, txtCompand = 1384, txtScramble = 1385
};

constexpr int kTitleNumbers[kChannelColumns] = {1120, 1121, 1122, 1123, 1124, 1127, 1128,
                                                1132, 1131, 1129, 1382, 1383, 1349};

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
    switch (rec[9] & 7) {
        case sigNoneCtcss: enc = CtcssIndexOfCode(rec[7]); break;
        case sigCtcssCtcss: dec = CtcssIndexOfCode(rec[6]); enc = CtcssIndexOfCode(rec[7]); break;
        case sigNoneDcs: enc = DcsIndexOfCode(rec[7]); break;
        case sigDcsDcs: dec = DcsIndexOfCode(rec[6]); enc = DcsIndexOfCode(rec[7]); break;
        case sigDcsCtcss: dec = DcsIndexOfCode(rec[6]); enc = CtcssIndexOfCode(rec[7]); break;
        case sigCtcssDcs: dec = CtcssIndexOfCode(rec[6]); enc = DcsIndexOfCode(rec[7]); break;
        default: break;
    }
    row[colDecode] = tones[dec];
    row[colEncode] = tones[enc];
}

void SaveTones(int language, const ChannelRow& row, std::uint8_t* rec) {
    const int d = ToneIndex(language, row[colDecode]);
    int e = ToneIndex(language, row[colEncode]);
    std::uint8_t& b9 = rec[9];
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
        if (isCtcss(d))
            b9 = static_cast<std::uint8_t>((b9 & 0xF1) | 1);
        else
            b9 = static_cast<std::uint8_t>((b9 & 0xFC) | 4);
    } else if (isCtcss(d) && isCtcss(e)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xF1) | 1);
    } else if (isCtcss(e)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFC) | 4);
    } else if (isCtcss(d)) {
        b9 = static_cast<std::uint8_t>((b9 & 0xFD) | 5);
    } else {
        b9 = static_cast<std::uint8_t>((b9 & 0xFB) | 3);
    }
    rec[6] = ToneCodeOfIndex(d);
    rec[7] = ToneCodeOfIndex(e);
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
    for (int c = 0; c < kChannelColumns; ++c) rows[0][c] = LoadText(state.Language, kTitleNumbers[c]);
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
        state.FreqStep = static_cast<std::int16_t>(RecordStep(rec[9]));
        const std::string rx = GetCHFreq(state, rows, n, "Rx");
        if (rx.empty()) {
            ClearCells(row);
            continue;
        }
        row[colRxFreq] = FormatCount(std::stoll(rx));
        row[colTxFreq] = FormatCount(std::stoll(GetCHFreq(state, rows, n, "Tx")));
        LoadTones(lang, rec, row);

        row[colVOX] = LoadText(lang, (rec[2] & 0x80) ? txtOff : txtOn);
        row[colBandwidth] = LoadText(lang, (rec[2] & 0x40) ? txtWide : txtNarrow);
        row[colScanAdd] = LoadText(lang, (rec[2] & 0x20) ? txtYes : txtNo);

        const std::uint8_t b8 = rec[8];
        switch (b8 >> 6) {
            case 1: row[colOption] = LoadText(lang, txtCompand); break;
            case 2: row[colOption] = LoadText(lang, txtScramble); break;
            default: row[colOption] = LoadText(lang, txtOff); break;
        }
        if (!(b8 & 0x20))
            row[colBeatShift] = LoadText(lang, txtBeatShift) + "1";
        else if (b8 & 0x08)
            row[colBeatShift] = LoadText(lang, txtOff);
        else
            row[colBeatShift] = LoadText(lang, txtBeatShift) + "2";
        row[colBCL] = LoadText(lang, (b8 & 0x10) ? txtOff : txtOn);
        switch (b8 & 3) {
            case 0: row[colPower] = LoadText(lang, txtLow); break;
            case 1: row[colPower] = LoadText(lang, txtMid); break;
            default: row[colPower] = LoadText(lang, txtHigh); break;
        }
        row[colName] = DecodeName(rec + 10);
    }
}

void SaveChannelRows(Module1& state, const ChannelRows& rows) {
    const int lang = state.Language;
    const int count = ChannelsIn(state, rows);
    for (int n = 1; n <= count; ++n) {
        const ChannelRow& row = rows[n];
        std::uint8_t* rec = state.Image.data() + ChannelOffset(n);
        if (row[colRxFreq].empty()) {
            std::fill(rec, rec + kChannelRecordSize, 0xFF);
        } else {
            std::string rx = row[colRxFreq];
            if (FreqCount(NormaliseFreq(rx)) % kStep5k != 0) {
                state.FreqStep = kStep625;
                rec[9] = static_cast<std::uint8_t>((rec[9] & 0x0F) | 0x40);
            } else {
                state.FreqStep = kStep5k;
                rec[9] = static_cast<std::uint8_t>((rec[9] & 0x0F) | 0x60);
            }
            PutCHFreq(state, rows, n, "Rx", rx);
            // A row without a transmit frequency transmits on its receive
            // frequency: the record has no "no transmit" form, so it is
            // stored as a zero offset.
            std::string tx = row[colTxFreq].empty() ? row[colRxFreq] : row[colTxFreq];
            PutCHFreq(state, rows, n, "Tx", tx);
            SaveTones(lang, row, rec);

            std::uint8_t b2 = rec[2] & 0x1F;
            if (row[colVOX] != LoadText(lang, txtOn)) b2 |= 0x80;
            if (row[colBandwidth] != LoadText(lang, txtNarrow)) b2 |= 0x40;
            if (row[colScanAdd] != LoadText(lang, txtNo)) b2 |= 0x20;
            rec[2] = b2;

            std::uint8_t b8 = rec[8] & 0x2C;  // beat shift bits 5, 3 and bit 2 kept for now
            if (row[colOption] == LoadText(lang, txtCompand))
                b8 |= 0x40;
            else if (row[colOption] == LoadText(lang, txtScramble))
                b8 |= 0x80;
            else
                b8 |= 0xC0;
            const std::string shift = LoadText(lang, txtBeatShift);
            if (row[colBeatShift] == shift + "1")
                b8 &= static_cast<std::uint8_t>(~0x20);
            else if (row[colBeatShift] == shift + "2")
                b8 = static_cast<std::uint8_t>((b8 | 0x20) & ~0x08);
            else
                b8 |= 0x28;
            if (row[colBCL] != LoadText(lang, txtOn)) b8 |= 0x10;
            if (row[colPower] == LoadText(lang, txtLow))
                b8 |= 0;
            else if (row[colPower] == LoadText(lang, txtHigh))
                b8 |= 2;
            else
                b8 |= 1;
            rec[8] = b8;
        }
        EncodeName(row[colName], rec + 10);
    }
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
