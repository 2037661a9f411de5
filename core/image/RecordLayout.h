// The radio's byte layouts by name: the 14-byte channel record, the
// identification block the radio answers the access word with, and what the
// clone and test-mode exchanges share on the line.
#pragma once

#include <cstdint>

namespace rm427 {

// --- The channel record (14 bytes; bit 7 the most significant) --------------
//
//  byte  bits  field
//  0-1   all   receive frequency, whole part W, big-endian (0xFF in byte 0:
//              empty channel)
//  2     7     VOX: 0 on, 1 off
//  2     6     bandwidth: 1 wide, 0 narrow
//  2     5     scan add: 1 yes, 0 no
//  2     4-0   receive frequency, fraction F
//  3-4   all   transmit offset, whole part W, big-endian (0x00 0x0A: none)
//  5     7-6   shift: 01 tx = rx + offset, 10 tx = rx - offset, 11/00 tx = rx
//  5     5     not used (kept)
//  5     4-0   transmit offset, fraction F
//  6     all   decode tone code
//  7     all   encode tone code (families by the signalling type)
//  8     7-6   option: 01 compander, 10 scrambler, 00/11 off (11 written)
//  8     5     beat shift: 0 shift 1; 1 shift 2 or off by bit 3
//  8     4     BCL: 0 on, 1 off
//  8     3     beat shift off (with bit 5 set): 1 off, 0 shift 2
//  8     2     not used (kept)
//  8     1-0   power: 0 low, 1 mid, 2 high (written), 3 read as high
//  9     7-5   step code: 0/2/4 6.25 kHz, others 5 kHz (2 or 3 written)
//  9     4     written 0
//  9     3     not used (kept; cleared for a CTCSS decode with CTCSS encode)
//  9     2-0   signalling type
//  10-13 all   name: five 6-bit character codes (0xFF in byte 10: no name)
namespace record {

constexpr int kSize = 14;
constexpr std::uint8_t kEmpty = 0xFF;  // byte 0 of an empty channel, every byte when saved empty

constexpr int kRxWhole = 0;  // and 1
constexpr int kRxFlags = 2;
constexpr std::uint8_t kVoxOff = 0x80;
constexpr std::uint8_t kWide = 0x40;
constexpr std::uint8_t kScanAdd = 0x20;
constexpr std::uint8_t kFraction = 0x1F;  // also of byte 5

constexpr int kOffsetWhole = 3;  // and 4
constexpr int kShift = 5;
constexpr std::uint8_t kShiftMask = 0xC0;
constexpr std::uint8_t kShiftPlus = 0x40;
constexpr std::uint8_t kShiftMinus = 0x80;
constexpr std::uint8_t kShiftNone = 0xC0;
constexpr std::uint8_t kNoOffsetLow = 0x0A;  // byte 4 of a zero offset (byte 3 is 0)

constexpr int kDecodeTone = 6;
constexpr int kEncodeTone = 7;

constexpr int kOptions = 8;
constexpr std::uint8_t kOptionMask = 0xC0;
constexpr std::uint8_t kOptionCompand = 0x40;
constexpr std::uint8_t kOptionScramble = 0x80;
constexpr std::uint8_t kOptionOff = 0xC0;
constexpr std::uint8_t kBeatShiftNot1 = 0x20;
constexpr std::uint8_t kBclOff = 0x10;
constexpr std::uint8_t kBeatShiftOff = 0x08;
constexpr std::uint8_t kOptionsKept = 0x04;
constexpr std::uint8_t kPowerMask = 0x03;
constexpr std::uint8_t kPowerLow = 0, kPowerMid = 1, kPowerHigh = 2;

constexpr int kStepSignalling = 9;
constexpr std::uint8_t kStepMask = 0xE0;
constexpr int kStepShift = 5;                // step code = byte 9 >> 5
constexpr std::uint8_t kStep625 = 0x40;      // bits 7-4 written for 6.25 kHz
constexpr std::uint8_t kStep5k = 0x60;       // and for 5 kHz
constexpr std::uint8_t kLowNibble = 0x0F;    // kept when the step is written
constexpr std::uint8_t kStepKeptBit = 0x08;  // cleared for a CTCSS / CTCSS pair only
constexpr std::uint8_t kSignallingMask = 0x07;

constexpr int kName = 10;  // to 13

}  // namespace record

// --- Identification block (18 bytes, the answer to the access word) ---------
namespace ident {
constexpr int kSize = 18;
constexpr int kLowLimit = 14;   // and 15: lowest frequency, 0.1 MHz, big-endian
constexpr int kHighLimit = 16;  // and 17: highest frequency
}  // namespace ident

// The radio's acknowledgement of a frame (first byte of every answer after
// the identification).
constexpr std::uint8_t kAckByte = 0x06;

// Line settings of the clone and the test-mode exchanges.
constexpr char kRadioLineSettings[] = "2400,N,8,2";

}  // namespace rm427
