#include "settings/SettingsRow.h"

#include <algorithm>

#include "channels/ChannelRecord.h"
#include "image/ImageLayout.h"

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

using namespace settings;

// What the window shows for a value out of range (the new image's value for
// the fields whose every stored value is valid).
constexpr std::array<int, kSettingsLists> kFallback = {2, 1, 3, 1, 1, 0, 0, 0, 2, 1, 1};

int Checked(const SettingsSelections& sel, int list) {
    const int v = sel.list[list];
    return (v >= 0 && v < kSettingsListSizes[list]) ? v : kFallback[list];
}

// A field's value, or `fallback` when it is not below `limit`.
int Within(const CodeplugImage& img, ImageField f, int limit, int fallback) {
    const int v = FieldValue(img.data(), f);
    return v < limit ? v : fallback;
}

}  // namespace

SettingsSelections ShowSettings(const CodeplugImage& img) {
    const std::uint8_t* b = img.data();
    SettingsSelections s;
    s.list[setSquelch] = Within(img, kSquelch, 10, 2);
    s.list[setTimeOut] = Within(img, kTimeOut, 8, 3);
    s.list[setPowerOff] = FieldValue(b, kPowerOff);
    s.list[setWorkingMode] = Within(img, kWorkingMode, 3, 0);
    s.list[setVoxGain] = Within(img, kVoxGain, 8, 2);
    s.list[setVoxDelay] = Within(img, kVoxDelay, 4, 1);
    s.list[setBatterySave] = FieldValue(b, kBatterySave);
    s.list[setBeep] = FieldValue(b, kBeep);
    s.list[setScanMode] = FieldValue(b, kScanMode);
    s.list[setVoice] = FieldValue(b, kVoice);
    s.list[setChannelDisplay] = FieldValue(b, kChannelDisplay);
    s.voxInhibit = FieldValue(b, kVoxAllowed) == 0;
    s.message = UnpackPowerOnMessage(b + kMessage);
    switch (FieldValue(b, kPowerOnDisplay)) {
    case kDisplayOff: s.powerOnDisplay = powerOnOff; break;
    case kDisplayMessage: s.powerOnDisplay = powerOnMessage; break;
    case kDisplayBattery: s.powerOnDisplay = powerOnBattery; break;
    default: s.powerOnDisplay = powerOnNone; break;
    }
    return s;
}

void StoreSettings(CodeplugImage& img, const SettingsSelections& sel) {
    std::uint8_t* b = img.data();
    // 1 .. 12: each field into its own bits, in this order.
    SetField(b, kSquelch, Checked(sel, setSquelch));
    SetField(b, kSquelchCopy, Checked(sel, setSquelch));
    SetField(b, kBatterySave, Checked(sel, setBatterySave));
    SetField(b, kTimeOut, Checked(sel, setTimeOut));
    SetField(b, kScanMode, Checked(sel, setScanMode));
    SetField(b, kBeep, Checked(sel, setBeep));
    SetField(b, kVoice, Checked(sel, setVoice));
    SetField(b, kPowerOff, Checked(sel, setPowerOff));
    SetField(b, kWorkingMode, Checked(sel, setWorkingMode));
    SetField(b, kVoxGain, Checked(sel, setVoxGain));
    SetField(b, kVoxDelay, Checked(sel, setVoxDelay));
    SetField(b, kChannelDisplay, Checked(sel, setChannelDisplay));
    SetField(b, kVoxAllowed, sel.voxInhibit ? 0 : 1);
    // 13: the second row gets the mirrored bytes before the power-on display bits change.
    std::copy(img.begin() + kMirrorFirst, img.begin() + kMirrorLast + 1, img.begin() + kMirror);
    // 14: the message.
    const auto msg = PackPowerOnMessage(sel.message);
    std::copy(msg.begin(), msg.end(), img.begin() + kMessage);
    // 15: power-on display; no selection leaves "off".
    int bits = kDisplayOff;
    if (sel.powerOnDisplay == powerOnBattery) bits = kDisplayBattery;
    if (sel.powerOnDisplay == powerOnMessage) bits = kDisplayMessage;
    SetField(b, kPowerOnDisplay, bits);
}

}  // namespace rm427
