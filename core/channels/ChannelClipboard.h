// Channels on the clipboard. Copying puts two forms there: tab-separated
// text of the grid's cells in the current language (a spreadsheet takes it
// as columns), with the column titles as its first line, and the program's
// own CSV layout (English, language independent). Pasting takes either, and
// also the common CSV channel layout of repeater lists, with the rules of
// Import Channels; the pasted channels go in from a given channel on.
#pragma once

#include <string>
#include <vector>

#include "channels/ChannelCsv.h"
#include "channels/ChannelRowOps.h"
#include "channels/ChannelRows.h"
#include "channels/ImportPlan.h"
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
    // What the lines said, as Import Channels reports a file: the lines
    // left out and why, what was fitted, how the text was read; lineOf
    // holds the line of each pasted channel (index 0 the first one).
    CsvReport report;
    // "line N: what; what", the repairs last, in `language`.
    std::vector<std::string> Notes(int language) const;
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

// A paste as the import preview takes it: the pasted channels as the
// file's channels (index 0 the first one) with the paste's report, and
// "from channel N" on where PlaceChannelPaste would put the first
// programmed one (empty channels before it and after the last one are
// not part of the block the preview places).
struct PasteImport {
    std::vector<Channel> incoming;
    CsvReport report;
    ImportOptions options;
};
PasteImport PasteAsImport(const ChannelPaste& paste, int at, int language);

// Up to this many channels go in at once when they only fill empty ones.
constexpr int kQuietPaste = 5;
// Whether the paste goes through the import preview before it changes
// anything: more than one channel, and either more than kQuietPaste of
// them or one that changes or empties a programmed channel. A single
// channel (a cell or a row pasted into the grid) never does.
bool PasteNeedsPreview(const std::vector<Channel>& current, const PasteImport& paste, int language);

}  // namespace rm427
