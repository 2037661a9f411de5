// The channel table of the codeplug image and the 14-byte channel record.
//
// Channel n (1..128), i = n - 1, starts at image offset
// 512 * (i div 18) + 14 * (i mod 18): 18 records in the first 252 bytes of
// each 512-byte block. Bytes 252..511 of a block are not part of the table.
//
// The record layout, field by field, is in image/RecordLayout.h.
#pragma once

#include <cstdint>
#include <string>

#include "channels/ChannelRows.h"
#include "image/Module1.h"
#include "image/RecordLayout.h"

namespace rm427 {

constexpr int kChannelRecordSize = record::kSize;
// The table holds 128 records; larger channel counts are never written
// (record 129 on would run into the settings rows at 0xE90).
constexpr int kMaxChannels = 128;

// Image offset of channel n's record (n = 1..128).
int ChannelOffset(int n);

// Signalling types (record byte 9, bits 2-0): families of decode / encode.
enum SignallingType : std::uint8_t {
    sigNoneCtcss = 0,  // decode none, encode CTCSS
    sigCtcssCtcss = 1,
    sigNoneDcs = 2,
    sigDcsDcs = 3,
    sigDcsCtcss = 4,
    sigCtcssDcs = 5,
    sigNoneNone = 6,  // 7 reads the same
};

// Step of a record: 625 for step codes 0, 2, 4 (byte 9 bits 7-5), else 500.
int RecordStep(std::uint8_t byte9);

// The 6-bit text code of channel names (and of the power-on message):
// 0-9 "0"-"9", 10 "-", 11-36 "A"-"Z", 37 "*", 38 "+", 39 "_", 40 " ".
constexpr const char kNameChars[] = "0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZ*+_ ";
constexpr int kNameCharCount = 41;
constexpr std::uint8_t kNoNameChar = 63;
constexpr int kNameLength = 5;

// Code of a character, case-sensitive; 63 when NameChars has no such character.
std::uint8_t NameCharCode(char c);
// Packs five codes into four bytes: c0 c1 c2 c3 c4 most significant bit
// first, the last two bits 0.
void PackNameCodes(const std::uint8_t codes[5], std::uint8_t out[4]);
void UnpackNameCodes(const std::uint8_t in[4], std::uint8_t codes[5]);
// The text of a name's four bytes: empty when the first byte is 0xFF;
// codes 41..62 (no character) show nothing, like 63.
std::string DecodeName(const std::uint8_t in[4]);
// The four bytes of a name cell: 0xFF x4 for an empty cell; otherwise the
// codes of its first five characters (a UTF-8 sequence counts as one
// character and, like lower case and other punctuation, stores as 63).
// Anything past the fifth character is not stored.
void EncodeName(const std::string& name, std::uint8_t out[4]);

// Writes transmit minus receive (o, in counts) into a record at `step`: the
// direction into bits 7-6 of byte 5 (11 none, 01 plus, 10 minus), the
// fraction of |o| into bits 4-0 of byte 5 and its whole part into bytes 3-4
// (0x00 0x0A for no offset). Touches no other bits.
void PutOffset(std::uint8_t* rec, std::int64_t o, int step);

// Frequency count of channel n as a text of decimal digits, or empty.
// "Rx": empty for an empty record, else the unpacked receive frequency at
// state.FreqStep. "Tx": the row's receive cell (rows[n][1], already loaded)
// normalised, plus or minus the unpacked offset by the shift direction.
std::string GetCHFreq(const Module1& state, const ChannelRows& rows, int n, const std::string& selector);

// Normalises text in place and stores it in channel n at state.FreqStep.
// "Rx": W into bytes 0-1, F into bits 4-0 of byte 2. Any other selector
// ("Tx"): the offset from the row's receive cell (rows[n][1]) into bytes
// 3-5 with its direction. Touches no other bits.
void PutCHFreq(Module1& state, const ChannelRows& rows, int n, const std::string& selector,
               std::string& text);

}  // namespace rm427
