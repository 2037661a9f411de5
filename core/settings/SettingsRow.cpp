#include "settings/SettingsRow.h"

#include <algorithm>

#include "channels/ChannelRecord.h"

namespace rm427 {

// The message uses the 6-bit text code of the channel names.
bool IsPowerOnMessageChar(char c) { return c != '\0' && NameCharCode(c) != kNoNameChar; }

std::string UnpackPowerOnMessage(const std::uint8_t* bytes) { return DecodeName(bytes); }

std::array<std::uint8_t, 4> PackPowerOnMessage(const std::string& text) {
    std::array<std::uint8_t, 4> out{};
    EncodeName(text, out.data());
    return out;
}

namespace {

constexpr int kE91 = 0xE91, kE95 = 0xE95, kE96 = 0xE96, kE98 = 0xE98, kE99 = 0xE99, kE9A = 0xE9A,
              kE9B = 0xE9B, kE9C = 0xE9C, kEB5 = 0xEB5;

// What the window shows for a value out of range (the new image's value for
// the fields whose every stored value is valid).
constexpr std::array<int, kSettingsLists> kFallback = {2, 1, 3, 1, 1, 0, 0, 0, 2, 1, 1};

int Checked(const SettingsSelections& sel, int list) {
    const int v = sel.list[list];
    return (v >= 0 && v < kSettingsListSizes[list]) ? v : kFallback[list];
}

int Bit(std::uint8_t b, int bit) { return (b >> bit) & 1; }

}  // namespace

SettingsSelections ShowSettings(const CodeplugImage& img) {
    SettingsSelections s;
    s.list[setSquelch] = img[kE95] < 10 ? img[kE95] : 2;
    const int tot = img[kE98] >> 4;
    s.list[setTimeOut] = tot < 8 ? tot : 3;
    s.list[setPowerOff] = img[kE98] & 0x0F;
    const int mode = img[kE91] & 0x03;
    s.list[setWorkingMode] = mode < 3 ? mode : 0;
    const int gain = img[kE99] & 0x0F;
    s.list[setVoxGain] = gain < 8 ? gain : 2;
    const int delay = img[kE99] >> 4;
    s.list[setVoxDelay] = delay < 4 ? delay : 1;
    s.list[setBatterySave] = Bit(img[kE9B], 0);
    s.list[setBeep] = Bit(img[kE9B], 1);
    s.list[setScanMode] = Bit(img[kE9A], 3);
    s.list[setVoice] = Bit(img[kE9A], 5);
    s.list[setChannelDisplay] = Bit(img[kE9B], 6);
    s.voxInhibit = Bit(img[kE9A], 4) == 0;
    s.message = UnpackPowerOnMessage(&img[kE9C]);
    switch (img[kE9A] >> 6) {
    case 3: s.powerOnDisplay = powerOnOff; break;
    case 2: s.powerOnDisplay = powerOnMessage; break;
    case 1: s.powerOnDisplay = powerOnBattery; break;
    default: s.powerOnDisplay = powerOnNone; break;
    }
    return s;
}

void StoreSettings(CodeplugImage& img, const SettingsSelections& sel) {
    auto set = [&](int offset, int value) { img[offset] = static_cast<std::uint8_t>(value); };
    // 1 .. 12: each field into its own bits, in this order.
    set(kE95, Checked(sel, setSquelch));
    set(kE96, Checked(sel, setSquelch));
    set(kE9B, (img[kE9B] & 0xFE) | Checked(sel, setBatterySave));
    set(kE98, (Checked(sel, setTimeOut) * 16) | (img[kE98] & 0x0F));
    set(kE9A, (Checked(sel, setScanMode) * 8) | (img[kE9A] & 0xF7));
    set(kE9B, (Checked(sel, setBeep) * 2) | (img[kE9B] & 0xFD));
    set(kE9A, (Checked(sel, setVoice) * 32) | (img[kE9A] & 0xDF));
    set(kE98, (img[kE98] & 0xF0) | Checked(sel, setPowerOff));
    set(kE91, (img[kE91] & 0xFC) | Checked(sel, setWorkingMode));
    set(kE99, (img[kE99] & 0xF0) | Checked(sel, setVoxGain));
    set(kE99, (Checked(sel, setVoxDelay) * 16) | (img[kE99] & 0x0F));
    set(kE9B, (Checked(sel, setChannelDisplay) * 64) | (img[kE9B] & 0xBF));
    set(kE9A, ((sel.voxInhibit ? 0 : 1) * 16) | (img[kE9A] & 0xEF));
    // 13: the second row gets 0xE95..0xE9B before the power-on display bits change.
    std::copy(img.begin() + kE95, img.begin() + kE9B + 1, img.begin() + kEB5);
    // 14: the message.
    const auto msg = PackPowerOnMessage(sel.message);
    std::copy(msg.begin(), msg.end(), img.begin() + kE9C);
    // 15: power-on display; no selection leaves "off".
    int bits = 3;
    if (sel.powerOnDisplay == powerOnBattery) bits = 1;
    if (sel.powerOnDisplay == powerOnMessage) bits = 2;
    set(kE9A, (img[kE9A] & 0x3F) | (bits << 6));
}

}  // namespace rm427
