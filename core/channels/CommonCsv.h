// Channels in the common CSV channel layout of repeater directories and
// open-source radio programming tools:
//   Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,
//   DtcsPolarity,Mode,TStep,Skip,Power,Comment
// (columns by header name in any order, matched without regard to case;
// extra columns are ignored; CrossMode and RxDtcsCode are read when present).
//
// Reading maps each line onto one channel of the radio:
//   Location 1..128       -> channel number
//   Frequency (MHz)       -> receive frequency, rounded to the 5 / 6.25 kHz raster
//   Duplex "" / "+" / "-" -> transmit = receive / receive + Offset / receive - Offset
//   Duplex "split"        -> transmit = Offset (a frequency)
//   Duplex "off"          -> the record cannot forbid transmitting: transmit =
//                            receive, reported
//   Tone "" / "Tone" / "TSQL" / "DTCS" / "Cross" (with CrossMode "A->B",
//   A the transmit side, B the receive side): encode / decode as those tools
//   mean them; DtcsPolarity is transmit then receive, N normal, R reversed
//   Mode "FM" wide, "NFM" narrow; anything else (AM, DV, ...) is skipped
//   Skip "S"              -> not in scan
//   Power High/Mid/Low or watts (5 W high, 2.5 W mid, 1 W low, nearest)
// What the radio cannot hold is collected per line into one summary:
// names are upper-cased, lose characters the radio has no code for and keep
// their first five; lines that cannot become a channel (other modes,
// frequencies outside 100..550 MHz, locations outside 1..128, a location
// listed twice) are skipped. Beat shift, BCL, VOX and option take the
// channel editor's new-channel values.
#pragma once

#include <string>
#include <vector>

#include "channels/Channel.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRows.h"
#include "image/Module1.h"

namespace rm427 {

// The columns the export writes, in order.
extern const char* const kCommonCsvColumns[];
extern const int kCommonCsvColumnCount;

enum class CsvLayout { Unknown, Own, Common };

// The layout of a CSV text by its header line: Common when it names
// Location and Frequency, Own when it names Channel and RxFreq.
CsvLayout DetectCsvLayout(const std::string& csv);

// What a reading found: counts, one note per finding, and per channel
// the line it came from.
using CommonCsvImport = CsvReport;

// Reads common-layout CSV text into channels (index 0 is channel 1,
// unlisted ones empty). Besides the exact layout it takes what a
// spreadsheet makes of it: the separators and encodings of DecodeCsv,
// decimal commas in the number fields when the separator is not a comma
// and DCS codes without their leading zeros, each noted. False with error
// only when the text as a whole cannot be read (malformed CSV, no header,
// no Location or Frequency column); everything per line goes to report.
bool ReadCommonCsv(const Module1& state, const std::string& csv, std::vector<Channel>& channels,
                   CsvReport& report, CsvNote& error);

// Fills rows (made fresh: every channel empty) from common-layout CSV text,
// cells in state.Language. The model's band is taken from the model byte of
// state.Image (a channel outside it is kept and reported). False with error
// only when the text as a whole cannot be read (malformed CSV, no header,
// no Location or Frequency column); everything per line goes to report.
bool ChannelRowsFromCommonCsv(const Module1& state, const std::string& csv, ChannelRows& rows,
                              CommonCsvImport& report, std::string& error);
// The same as channels (index 0 is channel 1, unlisted ones empty).
bool ChannelsFromCommonCsv(const Module1& state, const std::string& csv, std::vector<Channel>& channels,
                           CommonCsvImport& report, std::string& error);

// Replaces every channel record of image by the CSV's channels (unlisted
// channels become empty), keeping every other byte. On failure image is
// untouched.
bool ImportCommonCsv(const std::string& csv, CodeplugImage& image, CommonCsvImport& report,
                     std::string& error);

// The programmed channels of rows (cells in language) in the common layout,
// CRLF line ends.
std::string ChannelRowsToCommonCsv(const ChannelRows& rows, int language);
// index 0 is channel 1
std::string ChannelsToCommonCsv(const std::vector<Channel>& channels, const CsvStyle& style = {});
std::string ExportCommonCsv(const CodeplugImage& image, const CsvStyle& style = {});

// The band [low, high] in MHz that the image's model byte names, or false
// when the byte names no model (a new image holds 0xFF there).
bool ModelBandLimits(const CodeplugImage& image, int& lowMHz, int& highMHz);

}  // namespace rm427
