// The history: a copy of the codeplug kept at every successful read (what was
// read), every write (what was sent), every save and every copy of the radio
// taken before a write, one data file each in a
// folder the caller names (the program and rm427-cli use the user's data
// folder). Entries are named by local time and kind,
//
//   20261207-004512-123_write_radio.dat
//
// (date, time, milliseconds, kind, the name of the data file concerned), so
// the folder lists in time order; the oldest beyond kHistoryKeep are removed
// whenever an entry is added.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "image/Module1.h"

namespace rm427 {

constexpr std::size_t kHistoryKeep = 500;

// BeforeWrite: what the radio held, read just before a write. Fleet: the log
// of a run of Program Many Radios, a CSV file (".csv", not a data file).
enum class HistoryKind { Read, Write, Save, BeforeWrite, Fleet };

// "read", "write", "save", "before-write", "fleet".
const char* HistoryKindName(HistoryKind kind);

struct HistoryEntry {
    std::string path;  // the entry's data file
    std::string time;  // "2026-12-07 00:45:12"
    HistoryKind kind = HistoryKind::Read;
    std::string source;  // name of the data file concerned ("" if none)
};

// Local time broken down, with milliseconds.
struct HistoryTime {
    int year, month, day, hour, minute, second, millisecond;
    static HistoryTime Now();
};

// The entry's file name (".csv" for a fleet log, ".dat" otherwise). source is reduced to its last path component, and
// to characters safe in a file name on every system.
std::string HistoryEntryName(const HistoryTime& t, HistoryKind kind, const std::string& source);
// Reads a name made by HistoryEntryName; false for any other file.
bool ParseHistoryEntryName(const std::string& name, HistoryEntry& entry);

// The entries of folder, newest first. A missing folder has none.
std::vector<HistoryEntry> ListHistory(const std::string& folder);

// Keeps a copy of image. Creates the folder when needed and removes the
// oldest entries beyond keep. False (error set) when the copy could not be
// written; the caller warns and carries on.
// written, when given, receives the entry's path.
bool AddHistoryEntry(const std::string& folder, HistoryKind kind, const std::string& source,
                     const CodeplugImage& image, std::string& error,
                     const HistoryTime& when = HistoryTime::Now(), std::size_t keep = kHistoryKeep,
                     std::string* written = nullptr);

// The image kept in an entry; false when the file cannot be read or decoded.
bool LoadHistoryEntry(const HistoryEntry& entry, CodeplugImage& image);

// Removes the oldest entries beyond keep, never the entry `newest` (the one
// just added); with a clock set back, entries stamped after it go first.
void PruneHistory(const std::string& folder, std::size_t keep = kHistoryKeep,
                  const std::string& newest = "");

// Keeps entries in one folder for a whole run of a program and says when
// one could not be kept - once: later failures are silent, and a failure
// never stops the command that asked for the copy.
class HistoryRecorder {
public:
    explicit HistoryRecorder(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const { return folder_; }
    // Empty, or (the first time only) the warning to show, in the given language.
    std::string Record(int language, HistoryKind kind, const std::string& source,
                       const CodeplugImage& image);
    // The path of the entry the last Record made ("" when it made none).
    const std::string& LastEntry() const { return lastEntry_; }

private:
    std::string folder_;
    std::string lastEntry_;
    bool warned_ = false;
};

// What the history window shows of an image: its band text
// ("136 - 174(MHz)"). The programmed channels: ProgrammedChannels
// (channels/ChannelRows.h).
std::string ImageBandText(const CodeplugImage& image);

}  // namespace rm427
