// A channel as a value: what one 14-byte record of the channel table says,
// in the program's own terms. Frequencies are counts (10 Hz), signalling is
// the tone list index of each direction, every choice column is its enum,
// the name is text of the radio's character set, and the record the channel
// was read from keeps the bits the program does not model.
//
// One codec turns a record into a Channel and back. A channel whose values
// are those its record says is written back byte for byte; any other is
// encoded as the channel editor saves a row (step by the receive frequency,
// transmit as an offset, the signalling type from the two tones ...).
//
// The display texts (the channel editor's cells, in either language) are
// rendered from a Channel; text is parsed into one only where text comes
// in: the editor's text box, the CSV readers, a paste.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "channels/ChannelColumns.h"
#include "channels/ChannelRows.h"
#include "channels/FreqCodec.h"
#include "image/Module1.h"
#include "image/RecordLayout.h"

namespace rm427 {

using RecordBytes = std::array<std::uint8_t, record::kSize>;

struct Channel {
    bool programmed = false;     // a receive frequency is set
    std::int32_t rx = 0;         // receive frequency, 10 Hz counts
    std::int32_t tx = 0;         // transmit frequency
    int decode = 0, encode = 0;  // tone list indexes: 0 none, 1..50 CTCSS, 51..264 DCS
    PowerChoice power = powerHigh;
    BandwidthChoice bandwidth = bandwidthWide;
    ScanAddChoice scanAdd = scanAddYes;
    BeatShiftChoice beatShift = beatShiftOff;
    OnOffChoice bcl = choiceOff;
    OnOffChoice vox = choiceOff;
    OptionChoice option = optionOff;
    // Up to five characters of the name code. An empty channel may carry
    // one too (a name typed before the frequency): it is stored, not shown.
    std::string name;
    RecordBytes record = Empty();  // the bytes it was read from

    static RecordBytes Empty() {
        RecordBytes r;
        r.fill(record::kEmpty);
        return r;
    }
    // The values the program models are equal (the records may differ).
    bool SameValue(const Channel& o) const;
    bool operator==(const Channel& o) const { return SameValue(o) && record == o.record; }
    // The raster a record of this receive frequency is stored on.
    int Step() const { return rx % kStep5k != 0 ? kStep625 : kStep5k; }
};

// The new channel the channel editor starts when a receive frequency is
// typed into an empty row: transmit = receive, no signalling, High, Wide,
// Yes, everything else off. The name is `name`.
Channel NewChannel(std::int32_t rx, const std::string& name = {});

// Record <-> channel.
Channel DecodeChannel(const std::uint8_t* rec);
void EncodeChannel(const Channel& ch, std::uint8_t* rec);
// Channel n (1..128) of an image, and back.
Channel ChannelAt(const CodeplugImage& image, int n);
void PutChannel(CodeplugImage& image, int n, const Channel& ch);
// Channels 1..128 of an image (index 0 is channel 1).
std::vector<Channel> ImageChannels(const CodeplugImage& image);

// Sets the choice column col (power .. option) to choice index `choice`.
void SetChoice(Channel& ch, int col, int choice);
// The choice index of column col (power .. option); -1 for other columns.
int ChoiceOf(const Channel& ch, int col);

// The text of column col (1..12) as the channel editor shows it in
// `language`; every cell of an empty channel is empty.
std::string ChannelCell(const Channel& ch, int col, int language);
// Cells 1..12 into a row (cell 0 is left as it is).
void RenderChannel(const Channel& ch, int language, ChannelRow& row);
// channels[i] into rows[i + 1], as far as both reach.
void RenderChannels(const std::vector<Channel>& channels, int language, ChannelRows& rows);

// The channel editor's text box commits `text` into column col (receive,
// transmit or name) of a channel: a frequency passes the editor's range check and raster rounding (the text
// is read once, into a count); a receive frequency on an empty channel
// starts a new channel with the name it holds. Emptying the receive cell
// empties the channel; emptying the transmit cell transmits on the receive
// frequency without an encoder (what the record stores for an empty
// transmit cell). The record's other bits are kept. True when the
// frequency was out of range and was replaced by a limit.
bool CommitChannelText(const Module1& state, Channel& ch, int col, const std::string& text);

// A row of cell texts (in `language`) as a channel, as saving the row
// stores it: frequencies normalised and counted, an empty transmit cell as
// transmit = receive, tones and choices by their texts (a text that matches
// none as its column says), the name as its record will hold it. `base`
// gives the record whose other bits are kept.
Channel ParseRow(const ChannelRow& row, int language, const Channel& base);

// The channel as its record will read back: frequencies on the raster the
// record stores, a decode tone alone with its 67.0 Hz encode tone ...
Channel StoredChannel(const Channel& ch);

// The name as a record holds it: characters outside the name code dropped,
// at most five.
std::string StoredName(const std::string& name);

}  // namespace rm427
