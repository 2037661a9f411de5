// Channels on the clipboard. Copying puts two forms there: tab-separated
// text of the grid's cells in the current language (a spreadsheet takes it
// as columns), with the column titles as its first line, and the program's
// own CSV layout (English, language independent). Pasting takes either, and
// also the common CSV channel layout of repeater lists, with the rules of
// Import Channels; the pasted channels go in from a given channel on.
#pragma once

#include <string>
#include <vector>

#include "channels/ChannelRowOps.h"
#include "channels/ChannelRows.h"
#include "image/Module1.h"

namespace rm427 {

// Tab-separated cells 0..12 of channels first..last (empty channels as
// empty cells), the titles (row 0) as the first line, LF line ends. (The
// program's own CSV of copied channels is ChannelsToCsv.)
std::string ChannelsToTsv(const ChannelRows& rows, int first, int last);

struct ChannelPaste {
    // The channels in the order they go in, cells in the pasting language;
    // an empty row is an empty channel (a gap in the copied block).
    std::vector<ChannelRow> channels;
    int skipped = 0;                 // lines left out
    std::vector<std::string> notes;  // "line N: what"
};

// Reads clipboard text: the own CSV layout or the common one (by the header
// line, as Import Channels does), otherwise tab-separated cells. Cells come
// out in state.Language, frequencies checked against the channel editor's
// limits. Own CSV: any line that cannot be taken refuses the whole paste
// (false, error "line N: ..."), as Import Channels does. Common CSV and
// tab-separated text: lines that cannot become a channel are skipped and
// everything adjusted is noted. False with an empty error when the text
// holds no channel at all.
bool ReadChannelPaste(const Module1& state, const std::string& text, ChannelPaste& paste,
                      std::string& error);

// Puts the pasted channels into the list from channel `at` on, their cells
// read in `language`; each keeps the bits of the record it replaces that
// the cells do not describe. Returns how many programmed channels did not
// fit below the last channel.
int PlaceChannelPaste(ChannelList& list, int at, const ChannelPaste& paste, int language);

}  // namespace rm427
