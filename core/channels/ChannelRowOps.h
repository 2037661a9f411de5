// Operations on many channels at once: insert, remove, move a block, sort,
// compact and find. They work on the channel list as typed channels
// (channel n at index n - 1); a channel moves with its whole record, the
// bits the program does not model included. A channel's number is its
// memory position in the radio, so every reorder moves the channels
// themselves.
#pragma once

#include <string>
#include <vector>

#include "channels/Channel.h"
#include "channels/ChannelRows.h"

namespace rm427 {

// Channel n of the channel editor at index n - 1.
using ChannelList = std::vector<Channel>;
// Channels 1..CHCount (at most the table's 128) of the image.
ChannelList ChannelListOf(const Module1& state);
// Writes the list back into the image; a channel whose value did not change
// keeps its record byte for byte.
void PutChannelList(Module1& state, const ChannelList& list);

// A row of cell texts is a programmed channel when its receive cell is set.
bool ChannelProgrammed(const ChannelRow& row);
// The channels a table of cell texts holds (rows.size() - 1, at least 0).
int ChannelCount(const ChannelRows& rows);

// How many of the last `count` channels are programmed: those an insert of
// `count` channels would push off the end.
int ChannelsPushedOff(const ChannelList& list, int count);
// Inserts `count` empty channels before channel `at`: channels at.. move
// down by count, the last `count` channels fall off. Out-of-range input
// changes nothing.
void InsertChannels(ChannelList& list, int at, int count);
// Removes channels first..first+count-1: the channels below move up, empty
// channels fill the end.
void RemoveChannels(ChannelList& list, int first, int count);
// Moves the block first..last by `delta` channels (negative: up). False, and
// nothing moves, when the block would leave the list.
bool MoveChannels(ChannelList& list, int first, int last, int delta);

// CH Del, CH Down and CH Up on channel state.CurCHRow: the rules of
// DeleteCurrentChannel and MoveCurrentChannel (ChannelRows.h).
void ChannelDelete(Module1& state, ChannelList& list);
void ChannelDown(Module1& state, ChannelList& list);
void ChannelUp(Module1& state, ChannelList& list);

// Sorts channels first..last by `column` (1..12), ascending or descending.
// Frequencies sort by value, tones by their list order ("None" first, then
// the CTCSS tones, then the DCS codes), everything else by its text in
// `language`. Empty channels go to the end of the range in both
// directions; equal keys keep their order.
void SortChannels(ChannelList& list, int first, int last, int column, bool ascending, int language);
// Moves the programmed channels up, closing the gaps, keeping their order.
// True when anything moved.
bool CompactChannels(ChannelList& list);

struct ChannelMatch {
    int row = 0;  // channel; 0: nothing found
    int col = 0;
};
// The next cell after (row, col), channel by channel and wrapping round to
// (row, col) itself, whose grid text in `language` holds `what` (without
// regard to letter case) in the receive, transmit, tone and name columns. A
// frequency also matches when `what` is part of it with the trailing zeros
// left off ("145.5").
ChannelMatch FindChannel(const ChannelList& list, const std::string& what, int row, int col,
                         int language);

}  // namespace rm427
