// Channels as CSV text (RFC 4180): one header line, then one line per
// programmed channel with the English cell texts of the channel editor:
//   Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name
//
// Reading takes the columns in any order by their header names (matched
// without regard to case; columns with an empty name are ignored); Channel and RxFreq are required, a missing column
// or an empty cell takes the value the channel editor gives a new channel
// (transmit = receive, "None", High, Wide, Yes, Off ...; no name). A
// frequency passes the channel editor's range check and raster rounding;
// where the editor would substitute a limit, the import refuses the line
// instead. Choice texts and tones match without regard to case. Name letters
// are taken in upper case; a name longer than five characters keeps its
// first five (with a warning). Any line that cannot be taken stops the whole
// import with "line N: what is wrong"; nothing is changed then.
#pragma once

#include <string>
#include <vector>

#include "channels/Channel.h"
#include "channels/ChannelRows.h"
#include "image/Module1.h"

namespace rm427 {

struct CsvRecord {
    int line = 0;  // physical line (from 1) on which the record starts
    std::vector<std::string> fields;
};

// Splits RFC 4180 text into records: quoted fields may hold commas, quotes
// ("") and line breaks; CRLF, LF and CR all end a line; a UTF-8 byte order
// mark is skipped; lines with no characters at all are skipped. False with
// "line N: ..." for an unterminated quote or text after a closing quote.
bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, std::string& error);

// A field as the export writes it: quoted when it holds a comma, a quote, a
// line break or leading/trailing blanks.
std::string CsvField(const std::string& value);

// Field helpers shared by the CSV layouts: ASCII lower case, and a field
// without its surrounding blanks and tabs.
std::string CsvLower(std::string s);
std::string CsvTrim(const std::string& s);

// The CSV of the programmed channels of rows (cells in English), CRLF line ends.
std::string ChannelRowsToCsv(const ChannelRows& rows);
// The CSV of the programmed channels of an image (loaded in English).
std::string ExportChannelsCsv(const CodeplugImage& image);

// Fills rows (made fresh: CHCount + 1 rows, titles, every channel empty) from
// CSV text, cells in state.Language, frequencies checked against
// state.EditLimitLow/High. False with error "line N: ..." (rows then
// unspecified). Warnings (shortened names) are appended when given.
bool ChannelRowsFromCsv(const Module1& state, const std::string& csv, ChannelRows& rows,
                        std::string& error, std::vector<std::string>* warnings = nullptr);

// The CSV's channels (index 0 is channel 1; min(CHCount, 128) of them,
// unlisted ones empty), frequencies checked against state.EditLimitLow/High.
// The typed form of ChannelRowsFromCsv.
bool ChannelsFromCsv(const Module1& state, const std::string& csv, std::vector<Channel>& channels,
                     std::string& error, std::vector<std::string>* warnings = nullptr);
// The CSV of the programmed channels among `channels` (index 0 is channel 1).
std::string ChannelsToCsv(const std::vector<Channel>& channels);

// Puts channels 1..128 into image (index 0 is channel 1; missing ones
// empty), each on top of its own record: what both CSV layouts' imports do.
void StoreChannels(CodeplugImage& image, const std::vector<Channel>& channels);

// Replaces every channel record of image by the CSV's channels (unlisted
// channels become empty) and keeps every other byte. The records of listed
// channels are rewritten in place, as the channel editor saves them. On
// failure image is untouched.
bool ImportChannelsCsv(const std::string& csv, CodeplugImage& image, std::string& error,
                       std::vector<std::string>* warnings = nullptr);

}  // namespace rm427
