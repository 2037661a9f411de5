// The function settings row of the image (offsets 0xE90-0xE9F) and the
// power-on message packed into its last four bytes.
//
// ShowSettings turns the row into the selections of the settings window;
// StoreSettings writes the selections back. Both are pure: the window only
// moves these values into and out of its controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/Module1.h"

namespace rm427 {

// Positions of the CboSet lists of the settings window.
enum SettingsList {
    setSquelch = 0,          // "0".."9"                    0xE95
    setBatterySave = 1,      // Off, On                     0xE9B bit 0
    setTimeOut = 2,          // Off, 1m..7m                 0xE98 bits 7-4
    setScanMode = 3,         // Carrier, Time operation     0xE9A bit 3
    setBeep = 4,             // Off, On                     0xE9B bit 1
    setVoice = 5,            // Off, On                     0xE9A bit 5
    setPowerOff = 6,         // Off, 1H..15H                0xE98 bits 3-0
    setWorkingMode = 7,      // VFO, frequency, channel     0xE91 bits 1-0
    setVoxGain = 8,          // "1".."8"                    0xE99 bits 3-0
    setVoxDelay = 9,         // 1s..4s                      0xE99 bits 7-4
    setChannelDisplay = 10,  // Alias, Frequency         0xE9B bit 6
    kSettingsLists = 11
};

// Number of items in each CboSet list.
constexpr std::array<int, kSettingsLists> kSettingsListSizes = {10, 2, 8, 2, 2, 2, 16, 3, 8, 4, 2};

// Combo1 (power-on display): 0 off, 1 power-on message, 2 battery voltage,
// -1 no selection (stored bits 00).
enum PowerOnDisplay { powerOnNone = -1, powerOnOff = 0, powerOnMessage = 1, powerOnBattery = 2 };

struct SettingsSelections {
    std::array<int, kSettingsLists> list{};  // selected index of CboSet(i)
    bool voxInhibit = false;                 // ChkSet(1) checked
    int powerOnDisplay = powerOnNone;        // Combo1 index
    std::string message;                     // Text1, up to 5 characters
};

// Whether a character has a code in the 41-character table of the 6-bit
// name code (digits, "-", "A"-"Z", "*", "+", "_", space); exact and
// case-sensitive. Others are stored as code 63, "no character".
bool IsPowerOnMessageChar(char c);

// The power-on message text of the four bytes at 0xE9C: empty when the first
// byte is 0xFF; codes without a character (41-63) contribute nothing.
std::string UnpackPowerOnMessage(const std::uint8_t* bytes);
// The four bytes for a message: 0xFF x4 when empty, otherwise the first five
// characters, each one outside the character table stored as code 63.
std::array<std::uint8_t, 4> PackPowerOnMessage(const std::string& text);

// The window's selections for the settings row of the image, with the
// fallbacks for values out of range (squelch 2, time-out 3, working mode 0,
// VOX gain 2, VOX delay 1).
SettingsSelections ShowSettings(const CodeplugImage& image);

// Writes the selections into the settings row in the radio's order of steps:
// each field replaces only its own bits, 0xE95-0xE9B are copied to
// 0xEB5-0xEBB before the power-on display bits are set, then the message.
// An index outside its list (a caller's error) is stored as the fallback the
// window would show for it, so no neighbouring bits are ever touched.
void StoreSettings(CodeplugImage& image, const SettingsSelections& sel);

}  // namespace rm427
