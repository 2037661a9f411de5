// Operations on many channel rows at once: insert, remove, move a block,
// sort, compact and find. They work on the channel editor's table of display
// texts (row 0 the titles, row n channel n); the channel number column never
// moves, only the cells 1..12 of a channel do. A channel's number is its
// memory position in the radio, so every reorder moves the channels
// themselves.
#pragma once

#include <string>

#include "channels/ChannelRows.h"

namespace rm427 {

// A channel is programmed when its receive cell is set.
bool ChannelProgrammed(const ChannelRow& row);
// Empties cells 1..12.
void ClearChannel(ChannelRow& row);
// The channels the table holds (rows.size() - 1, at least 0).
int ChannelCount(const ChannelRows& rows);

// How many of the last `count` channels are programmed: those an insert of
// `count` channels would push off the end.
int ChannelsPushedOff(const ChannelRows& rows, int count);
// Inserts `count` empty channels before channel `at`: channels at.. move
// down by count, the last `count` channels fall off. Out-of-range input
// changes nothing.
void InsertChannels(ChannelRows& rows, int at, int count);
// Removes channels first..first+count-1: the channels below move up, empty
// channels fill the end.
void RemoveChannels(ChannelRows& rows, int first, int count);
// Moves the block first..last by `delta` rows (negative: up). False, and
// nothing moves, when the block would leave the table.
bool MoveChannels(ChannelRows& rows, int first, int last, int delta);

// Sorts channels first..last by `column` (1..12), ascending or descending.
// Frequencies sort by value, tones by their list order ("None" first, then
// the CTCSS tones, then the DCS codes), everything else by text. Empty
// channels go to the end of the range in both directions; equal keys keep
// their order.
void SortChannels(ChannelRows& rows, int first, int last, int column, bool ascending, int language);
// Moves the programmed channels up, closing the gaps, keeping their order.
// True when anything moved.
bool CompactChannels(ChannelRows& rows);

struct ChannelMatch {
    int row = 0;  // 0: nothing found
    int col = 0;
};
// The next cell after (row, col), row by row and wrapping round to (row,
// col) itself, whose text holds `what` (without regard to letter case) in
// the receive, transmit, tone and name columns. A frequency also matches
// when `what` is part of it with the trailing zeros left off ("145.5").
ChannelMatch FindChannel(const ChannelRows& rows, const std::string& what, int row, int col);

}  // namespace rm427
