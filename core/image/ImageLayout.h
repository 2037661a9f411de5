// Every field of the codeplug image the program reads or writes, by name:
// the model and band bytes, the function settings row with its bytes and
// masks, the rows a new image starts with, and the table of settings fields
// the diff walks. The channel record and the identification block are in
// image/RecordLayout.h. Codecs, the diff and `info` read these names; no
// other code spells an address or a mask of these fields.
#pragma once

#include <cstdint>

#include "image/RecordLayout.h"

namespace rm427 {

// A field of the image: the bits `mask` of the byte at `offset`.
struct ImageField {
    int offset;
    std::uint8_t mask;
};

// The lowest bit of a mask: a field's value is (byte & mask) >> FieldShift.
constexpr int FieldShift(std::uint8_t mask) {
    int s = 0;
    while (s < 8 && !((mask >> s) & 1)) ++s;
    return s;
}
inline int FieldValue(const std::uint8_t* image, ImageField f) {
    return (image[f.offset] & f.mask) >> FieldShift(f.mask);
}
// Replaces the field's bits by value (cut to the field's width); the other
// bits of the byte are kept.
inline void SetField(std::uint8_t* image, ImageField f, int value) {
    std::uint8_t& b = image[f.offset];
    b = static_cast<std::uint8_t>((b & ~f.mask) | ((value << FieldShift(f.mask)) & f.mask));
}

// --- Model and band (the model window) --------------------------------------
namespace model {
constexpr int kModelByte = 0x3D2;                // 0xF0 | model code
constexpr ImageField kMarker{kModelByte, 0xF0};  // 0xF when a model is set
constexpr int kMarkerSet = 0xF;
constexpr ImageField kCode{kModelByte, 0x0F};  // 0..15
constexpr int kBandByte = 0x3D6;
constexpr ImageField kUhf{kBandByte, 0x01};  // 0 VHF, 1 UHF; other bits kept
}  // namespace model

// --- The function settings row (0xE90-0xE9F) --------------------------------
namespace settings {
constexpr int kRow = 0xE90;
constexpr int kRowSize = 16;
constexpr ImageField kWorkingMode{0xE91, 0x03};  // 0 VFO, 1 frequency, 2 channel
constexpr ImageField kSquelch{0xE95, 0xFF};      // 0..9
constexpr ImageField kSquelchCopy{0xE96, 0xFF};  // written with the squelch
constexpr ImageField kTimeOut{0xE98, 0xF0};      // 0 off, 1..7 minutes
constexpr ImageField kPowerOff{0xE98, 0x0F};     // 0 off, 1..15 hours
constexpr ImageField kVoxGain{0xE99, 0x0F};      // 0..7 shows "1".."8"
constexpr ImageField kVoxDelay{0xE99, 0xF0};     // 0..3 shows 1s..4s
constexpr ImageField kScanMode{0xE9A, 0x08};     // 0 carrier, 1 time
constexpr ImageField kVoxAllowed{0xE9A, 0x10};   // 0: VOX inhibited
constexpr ImageField kVoice{0xE9A, 0x20};
constexpr ImageField kPowerOnDisplay{0xE9A, 0xC0};
constexpr int kDisplayOff = 3, kDisplayMessage = 2, kDisplayBattery = 1;  // 0: none chosen
constexpr ImageField kBatterySave{0xE9B, 0x01};
constexpr ImageField kBeep{0xE9B, 0x02};
constexpr ImageField kChannelDisplay{0xE9B, 0x40};  // 0 alias, 1 frequency
constexpr int kMessage = 0xE9C;                     // to 0xE9F: the power-on message
constexpr int kMessageSize = 4;
// Every store copies 0xE95..0xE9B to the second settings row at 0xEB5.
constexpr int kMirrorFirst = 0xE95, kMirrorLast = 0xE9B;
constexpr int kSecondRow = 0xEB0;
constexpr int kMirror = 0xEB5;
constexpr int kFurtherRow = 0xEC0;  // read with the second row, never edited
constexpr int kSecondRowsEnd = 0xECF;

// The settings window's fields in the order of its listing (the lists 0 to
// 10, the VOX inhibit box, the power-on display, the message): the bytes
// each is read from, for the diff. `bytes` consecutive bytes from `first`,
// each with the same mask.
struct ListedField {
    ImageField first;
    int bytes;
};
constexpr ListedField kListed[] = {
    {kSquelch, 1},        {kBatterySave, 1},
    {kTimeOut, 1},        {kScanMode, 1},
    {kBeep, 1},           {kVoice, 1},
    {kPowerOff, 1},       {kWorkingMode, 1},
    {kVoxGain, 1},        {kVoxDelay, 1},
    {kChannelDisplay, 1}, {kVoxAllowed, 1},
    {kPowerOnDisplay, 1}, {{kMessage, 0xFF}, kMessageSize},
};
constexpr int kListedCount = static_cast<int>(sizeof(kListed) / sizeof(kListed[0]));
}  // namespace settings

// --- What a new image holds besides 0xFF ------------------------------------
namespace defaults {
constexpr std::uint8_t kSettingsRow[] = {0xA5, 0x00, 0x00, 0x47, 0xFF, 0x02,
                                         0x02, 0x4E, 0x30, 0x12, 0x5F};  // at 0xE90
constexpr std::uint8_t kSecondRow[] = {0x20, 0xAE, 0xB0, 0x47, 0xFF, 0x02,
                                       0x02, 0x4E, 0x30, 0x12, 0x5F};  // at 0xEB0
constexpr std::uint8_t kFurtherRowFirst = 0x5C;                        // 0xEC0, then fifteen 0x00
}  // namespace defaults

}  // namespace rm427
