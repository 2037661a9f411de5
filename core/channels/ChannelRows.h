// The channel list as the channel editor shows it: a table of display texts,
// 13 columns and CHCount + 1 rows (row 0 the column titles, row n channel n,
// column 0 the channel number). The core converts between it and the image;
// the grid widget shows the same table; the batch editor writes into it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

constexpr int kChannelColumns = 13;
using ChannelRow = std::array<std::string, kChannelColumns>;
using ChannelRows = std::vector<ChannelRow>;

// Column numbers of the channel list.
enum ChannelColumn {
    colChannel = 0,
    colRxFreq,
    colTxFreq,
    colDecode,
    colEncode,
    colPower,
    colBandwidth,
    colScanAdd,
    colBeatShift,
    colBCL,
    colVOX,
    colOption,
    colName
};

// A table of CHCount + 1 rows with the column titles (current language) and
// the channel numbers; every other cell empty.
ChannelRows MakeChannelRows(const Module1& state);
// Row 0 from the text table in the current language.
void SetColumnTitles(const Module1& state, ChannelRows& rows);
// Image -> rows 1..CHCount, in the current language (what RefreshChannel does
// after its captions). Never fails; leaves FreqStep at the last channel's step.
// Records the program never writes load without complaint:
//   - name codes 41..62 (no character) show nothing, like code 63;
//   - a tone code past the end of the tone list (CTCSS above 263, DCS above
//     213) shows "None", which is also what the next save stores;
//   - a 5-bit frequency fraction whose product with the step reaches 10000
//     carries into the whole part (W * 10000 + F * step).
// Rows shorter than CHCount + 1 are extended first.
void LoadChannelRows(Module1& state, ChannelRows& rows);
// Rows 1..CHCount -> image (what SaveCHData does after TransferFocus). Writes
// nothing outside each channel's own 14-byte record, and never more than the
// table's 128 records. Bits the rows do not describe are kept.
//   - an empty transmit cell beside a receive frequency is stored as transmit
//     = receive (zero offset): the record cannot say "no transmit";
//   - a name cell longer than five characters stores its first five.
void SaveChannelRows(Module1& state, const ChannelRows& rows);

// The rows of an image as the channel editor shows them in English (what the
// command-line tool prints and the CSV layouts and the diff work from).
ChannelRows EnglishChannelRows(const CodeplugImage& image);
// Channels of the image's table (1..128) whose record is not empty.
int ProgrammedChannels(const CodeplugImage& image);

// The rules of CH Del, CH Down and CH Up on channel state.CurCHRow of a list
// of `count` channels, whatever holds them: clear(r) empties channel r,
// swap(a, b) exchanges two channels, and the current row follows the moved
// channel. Nothing happens outside 1..CHCount.
template <typename Clear>
void DeleteCurrentChannel(const Module1& state, int count, Clear clear) {
    const int r = state.CurCHRow;
    if (r >= 1 && r <= state.CHCount && r <= count) clear(r);
}
template <typename Swap>
void MoveCurrentChannel(Module1& state, int count, int delta, Swap swap) {
    const int r = state.CurCHRow, to = r + delta;
    const int last = count < state.CHCount ? count : state.CHCount;
    if (r < 1 || r > last || to < 1 || to > last) return;
    swap(r, to);
    state.CurCHRow = to;
}

// The row operations behind CH Del, CH Down and CH Up, on row state.CurCHRow.
void ChannelDelete(Module1& state, ChannelRows& rows);
void ChannelDown(Module1& state, ChannelRows& rows);
void ChannelUp(Module1& state, ChannelRows& rows);

}  // namespace rm427
