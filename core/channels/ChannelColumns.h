// The channel columns' vocabulary, in one place: for each of the 13 columns
// of the channel list its title, its header in the program's own CSV layout,
// the texts of its choices in the order the channel editor lists them, the
// choice a new channel gets and the choice a text that matches nothing is
// saved as. The record codec, both CSV layouts, the batch fill, the channel
// editor, the diff and the print-out all read it.
//
// What a new channel's cells show (its rules on the typed channel:
// CommitChannelText in Channel.h).
#pragma once

#include <string>
#include <vector>

#include "channels/ChannelRows.h"
#include "image/Dialogs.h"
#include "image/Module1.h"

namespace rm427 {

// Texts of the choices: a text number of the text table, or one of these two
// for the beat shift texts (text 1131 followed by "1" or "2").
constexpr int kBeatShift1Text = -1;
constexpr int kBeatShift2Text = -2;

// Choice indexes, in the channel editor's list order.
enum PowerChoice { powerHigh, powerMid, powerLow };
enum BandwidthChoice { bandwidthWide, bandwidthNarrow };
enum ScanAddChoice { scanAddNo, scanAddYes };
enum BeatShiftChoice { beatShiftOff, beatShift1, beatShift2 };
enum OnOffChoice { choiceOff, choiceOn };  // BCL and VOX
enum OptionChoice { optionOff, optionCompand, optionScramble };

struct ChannelChoice {
    int text;                // text number (or kBeatShift1Text / kBeatShift2Text)
    const char* csvAlias;    // another word the own CSV layout takes, or nullptr
    const char* commonWord;  // the common layout's word for it, or nullptr
};

struct ChannelColumnInfo {
    int title;                           // text number of the column title
    const char* csvName;                 // header in the program's own CSV layout
    std::vector<ChannelChoice> choices;  // list order; empty for text and tone columns
    int newChannel;                      // choice a new channel gets (-1: none)
    int unmatched;                       // choice a text matching none is saved as
};

// The column's entry (col 0..12).
const ChannelColumnInfo& ChannelColumnOf(int col);
// The column whose own-layout CSV header is `name` (any case); -1 when none.
int ChannelColumnOfCsvName(const std::string& name);

// Text of choice `index` of column `col`; empty for an index outside the list.
std::string ChoiceText(int language, int col, int index);
// All choice texts of the column, in list order.
std::vector<std::string> ChoiceTexts(int language, int col);
// The choice whose text is `text` exactly; -1 when none is.
int FindChoice(int language, int col, const std::string& text);
// The choice a word names in either language, or as an own-layout CSV
// word; -1 when none. Text pasted or typed in from elsewhere is read this
// way, so "Low" is low in the Chinese interface too.
int ChoiceOfWord(int col, const std::string& word);
// The choice a cell stands for when saved: the matching one (in `language`
// first, then as ChoiceOfWord), or the column's choice for a text that
// matches nothing.
int CellChoice(int language, int col, const std::string& text);
// The choice an own-layout CSV word names (English text or alias, any case,
// blanks around ignored); -1 when none.
int ChoiceOfCsvWord(int col, const std::string& word);
// "High, Mid, Low": the English choices, for messages.
std::string CsvChoiceList(int col);
// The choice whose common-layout word is `word` (any case); -1 when none.
int ChoiceOfCommonWord(int col, const std::string& word);
// The common-layout word of choice `choice` of column col ("" for none).
std::string CommonWordOf(int col, int choice);
// The common-layout word of a cell ("" for a column the layout lacks).
std::string CommonWordOfCell(int language, int col, const std::string& text);

// The batch editor's list of a choice column (power, bandwidth, scan add,
// beat shift, BCL, VOX, option): what each item shows and the choice it
// stands for. Its power list has no mid, and BCL and VOX ask "Yes" / "No".
struct BatchItem {
    int text;    // text number shown (or kBeatShift1Text / kBeatShift2Text)
    int choice;  // the column's choice it writes
};
const std::vector<BatchItem>& BatchItems(int col);
// The texts of the batch list, in list order.
std::vector<std::string> BatchItemTexts(int language, int col);
// The column's choice batch item `item` stands for (item 0 for one outside
// the list).
int BatchItemChoice(int col, int item);
// The cell text batch item `item` writes (item 0 for one outside the list).
std::string BatchCellText(int language, int col, int item);

// The text a new channel's cell gets: "None" for the tones, the column's
// new-channel choice for the others, "" for the name and frequencies.
std::string NewChannelText(int language, int col);
// The message of a frequency out of range (channel and batch editors).
void ShowFreqOutOfRange(MessageBoxes& boxes, int language);

}  // namespace rm427
