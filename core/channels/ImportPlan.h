// Where imported channels go, and what that changes, channel by channel,
// before anything is changed: the list the import preview shows and the
// command line's --dry-run prints, and the channels an OK stores.
//
//   Replace  every channel becomes the file's channel of the same number
//            (unlisted ones empty): what Import Channels always did;
//   Append   the file's channels, in their order, into the empty channels
//            of the codeplug, from channel 1 on;
//   At       the file's channels from channel N on, in their order and with
//            the gaps between them, overwriting what is there.
// A channel with the receive and transmit frequency and both tones of a
// programmed channel the import keeps is a duplicate; in Append mode it can
// be left out. What does not fit is skipped and says why.
#pragma once

#include <string>
#include <vector>

#include "channels/Channel.h"
#include "channels/ChannelCsv.h"
#include "channels/CsvNotes.h"

namespace rm427 {

enum class ImportMode { Replace, Append, At };

struct ImportOptions {
    ImportMode mode = ImportMode::Replace;
    int at = 1;                   // At: the first channel
    bool skipDuplicates = false;  // Append: leave duplicates out
    bool compact = false;         // close the gaps afterwards
};

// "replace", "append" or "at:N" as the command line takes it; false for
// anything else.
bool ParseImportMode(const std::string& text, ImportOptions& options);

struct FieldChange {
    int col = 0;
    std::string before, after;  // cell texts
};

struct ImportLine {
    enum Kind { New, Changed, Unchanged, Skipped, Emptied };
    Kind kind = New;
    int channel = 0;                   // where it goes (0: nowhere)
    int line = 0;                      // the line of the file (0: an emptied channel)
    std::vector<FieldChange> changes;  // Changed: old -> new per field
    std::vector<CsvNote> notes;        // what was fitted, or why it is skipped
    int duplicateOf = 0;               // the channel it duplicates (0: none)
    Channel after;                     // the channel as it will be
    bool Fitted() const;               // a value was fitted to the radio
};

struct ImportPlan {
    std::vector<ImportLine> lines;  // by channel, then the skipped lines
    std::vector<CsvNote> repairs;   // how the file was read (kind Read)
    std::vector<Channel> channels;  // every channel after the import
    int Count(ImportLine::Kind kind) const;
    int Fitted() const;
    int Duplicates() const;
};

// The plan for `incoming` (index 0 is the file's channel 1, as the readers
// give them, with their report) over `current` (index 0 is channel 1).
// Cell texts in `language`.
ImportPlan PlanImport(const std::vector<Channel>& current, const std::vector<Channel>& incoming,
                      const CsvReport& report, const ImportOptions& options, int language);

// The plan as text, one line per entry (the command line's --dry-run):
// "channel 5: new 145.50000 RPT", "channel 7: changed Rx Freq 145.50000 ->
// 146.00000", "line 9: skipped: ...", then the counts.
std::string PlanText(const ImportPlan& plan, int language);

}  // namespace rm427
