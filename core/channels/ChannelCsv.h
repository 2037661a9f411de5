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

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "channels/Channel.h"
#include "channels/CsvNotes.h"
#include "channels/ChannelRows.h"
#include "image/Module1.h"

namespace rm427 {

struct CsvRecord {
    int line = 0;  // physical line (from 1) on which the record starts
    std::vector<std::string> fields;
};

// A CSV file's text as the readers take it: UTF-8 whatever the file was
// (a UTF-16 file, with or without its byte order mark, is converted; a
// UTF-8 byte order mark is left out) and the field separator its header
// line uses (comma, semicolon or tab: the one it holds most of, a comma
// when it holds none). Each of those repairs is noted (kind Read, line 1).
struct CsvSource {
    std::string text;
    char separator = ',';
    std::vector<CsvNote> notes;
};
CsvSource DecodeCsv(const std::string& raw);

// Splits RFC 4180 text into records: quoted fields may hold the separator,
// quotes ("") and line breaks; CRLF, LF and CR all end a line; a UTF-8 byte
// order mark is skipped; lines with no characters at all are skipped. False
// with the error for an unterminated quote or text after a closing quote.
bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, CsvNote& error,
             char separator = ',');
// The same with the error as English text "line N: ...".
bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, std::string& error);

// How a CSV is written: the field separator, and whether number fields
// take a decimal comma (only with a separator other than a comma).
struct CsvStyle {
    char separator = ',';
    bool decimalComma = false;
};

// A field as the export writes it: quoted when it holds the separator, a
// quote, a line break or leading/trailing blanks.
std::string CsvField(const std::string& value, char separator = ',');
// One line of fields, CRLF at its end; the fields marked as numbers get a
// decimal comma when the style asks for one.
std::string CsvLine(const std::vector<std::string>& fields, const std::vector<bool>& numbers,
                    const CsvStyle& style);

// Field helpers shared by the CSV layouts: ASCII lower case, and a field
// without its surrounding blanks and tabs.
std::string CsvLower(std::string s);
std::string CsvTrim(const std::string& s);
// A decimal number of digits with at most one point, as an integer in units
// of 10^-decimals, rounded half up. False for anything else or absurd sizes.
bool CsvFixed(const std::string& text, int decimals, std::int64_t& out);

// Repairs a spreadsheet makes necessary on many lines are noted once each
// (kind Read), on the line first met, with how many there were.
enum : int {
    kRepairDecimalComma = 3360,
    kRepairDcsZeros = 3361,
    kRepairChinese = 3363,
    kShortenedName = 3318,  // name "X" shortened to "Y"
};
class CsvRepairs {
public:
    void Add(int text, int line);
    void AddTo(std::vector<CsvNote>& notes) const;

private:
    std::map<int, std::pair<int, int>> seen_;  // text -> count, first line
};

// A number field without its blanks; with a separator other than a comma, a
// decimal comma is read as the point (and counted).
std::string CsvNumber(const std::string& field, char separator, CsvRepairs& repairs, int line);

// What a reading of either layout found, and where its channels came from.
struct CsvReport {
    int channels = 0;            // lines taken as channels
    int skipped = 0;             // lines left out
    std::vector<CsvNote> notes;  // in the order found
    std::vector<int> lineOf;     // per channel (index 0 is channel 1): its line, 0 unlisted
    // Nothing was fitted, skipped or warned of (repairs of the reading aside).
    bool Fits() const;
    // "line N: what; what" for the notes other than repairs, and for the repairs.
    std::vector<std::string> Lines(int language) const;
    std::vector<std::string> RepairLines(int language) const;
    // A count line, the notes, then (when asked) the repairs.
    std::string Summary(int language = 0, bool repairs = true) const;
};

// The CSV of the programmed channels of rows (cells in English), CRLF line ends.
std::string ChannelRowsToCsv(const ChannelRows& rows, const CsvStyle& style = {});
// The CSV of the programmed channels of an image (loaded in English).
std::string ExportChannelsCsv(const CodeplugImage& image, const CsvStyle& style = {});

// Reads own-layout CSV text into channels (index 0 is channel 1;
// min(CHCount, 128) of them, unlisted ones empty), frequencies checked
// against state.EditLimitLow/High. Besides the exact layout it takes what
// a spreadsheet makes of it: the separators and encodings of DecodeCsv,
// decimal commas in the number fields when the separator is not a comma,
// DCS codes without their leading zeros ("D23N"), frequencies with any
// number of decimals, and the Chinese column titles, choice texts and
// "None" of the channel editor. Every repair and every value fitted
// (rounded to the raster, upper-cased, cut) is noted. False with error
// when any line cannot be taken (channels then unspecified).
bool ReadOwnCsv(const Module1& state, const std::string& csv, std::vector<Channel>& channels,
                CsvReport& report, CsvNote& error);

// The same with error as English text and the notes as English lines.
bool ChannelRowsFromCsv(const Module1& state, const std::string& csv, ChannelRows& rows,
                        std::string& error, std::vector<std::string>* warnings = nullptr);
bool ChannelsFromCsv(const Module1& state, const std::string& csv, std::vector<Channel>& channels,
                     std::string& error, std::vector<std::string>* warnings = nullptr);
// The CSV of the programmed channels among `channels` (index 0 is channel 1).
std::string ChannelsToCsv(const std::vector<Channel>& channels, const CsvStyle& style = {});

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
