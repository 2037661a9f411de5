#include <gtest/gtest.h>

#include "image/Module1.h"
#include "settings/SettingsRow.h"

using namespace rm427;

namespace {
std::array<std::uint8_t, 4> MessageBytes(const CodeplugImage& img) {
    return {img[0xE9C], img[0xE9D], img[0xE9E], img[0xE9F]};
}
// Bytes from..to of the image.
std::vector<int> Span(const CodeplugImage& img, int from, int to) {
    return std::vector<int>(img.begin() + from, img.begin() + to + 1);
}
}  // namespace

TEST(SettingsRow, NewImageShowsTheDefaultSelections) {
    Module1 s;
    const SettingsSelections sel = ShowSettings(s.Image);
    // Squelch 2, battery save On, time-out 3m, Time Operation, beep On, voice
    // Off, power-off Off, VFO Mode, VOX gain "3", delay 2s, Frequency.
    EXPECT_EQ(sel.list, (decltype(sel.list){2, 1, 3, 1, 1, 0, 0, 0, 2, 1, 1}));
    EXPECT_FALSE(sel.voxInhibit);
    EXPECT_EQ(sel.powerOnDisplay, powerOnBattery);
    EXPECT_EQ(sel.message, "");
}

TEST(SettingsRow, ConfirmingUnchangedSelectionsKeepsEveryByte) {
    Module1 s;
    const CodeplugImage before = s.Image;
    StoreSettings(s.Image, ShowSettings(s.Image));
    EXPECT_EQ(s.Image, before);

    // Also for a row full of arbitrary kept bits and in-range fields.
    for (int a = 0xE90; a <= 0xE9F; ++a) s.Image[a] = static_cast<std::uint8_t>(0x11 * (a & 0xF));
    s.Image[0xE95] = 7;
    s.Image[0xE98] = 0x5A;
    s.Image[0xE99] = 0x37;
    s.Image[0xE9A] = 0x9D;  // power-on display 10 (message)
    s.Image[0xE9C] = 0x2C;
    s.Image[0xE9D] = 0xCF;
    s.Image[0xE9E] = 0xFF;
    s.Image[0xE9F] = 0xFC;
    s.Image[0xE96] = 7;
    std::copy(s.Image.begin() + 0xE95, s.Image.begin() + 0xE9C, s.Image.begin() + 0xEB5);
    const CodeplugImage filled = s.Image;
    StoreSettings(s.Image, ShowSettings(s.Image));
    EXPECT_EQ(s.Image, filled);
}

TEST(SettingsRow, EveryFieldLandsInItsOwnBitsOnly) {
    Module1 s;
    SettingsSelections sel = ShowSettings(s.Image);
    sel.list = {9, 0, 7, 0, 0, 1, 15, 2, 7, 3, 0};
    sel.voxInhibit = true;
    sel.powerOnDisplay = powerOnOff;
    StoreSettings(s.Image, sel);
    // 0xE9A (was 0x5F): scan 0 clears bit 3, voice sets bit 5, inhibit clears
    // bit 4, display 11. 0xE9B (was 0xFF): battery save, beep and channel
    // display cleared. 0xE90, 0xE92-0xE94 are not settings.
    EXPECT_EQ(Span(s.Image, 0xE90, 0xE9B),
              (std::vector<int>{0xA5, 0x02, 0x00, 0x47, 0xFF, 9, 9, 0x4E, 0x7F, 0x37, 0xE7, 0xBC}));

    const SettingsSelections back = ShowSettings(s.Image);
    EXPECT_EQ(back.list, sel.list);
    EXPECT_TRUE(back.voxInhibit);
    EXPECT_EQ(back.powerOnDisplay, powerOnOff);
}

TEST(SettingsRow, SecondRowCopyIsTakenBeforeThePowerOnDisplayChanges) {
    Module1 s;
    SettingsSelections sel = ShowSettings(s.Image);
    sel.powerOnDisplay = powerOnMessage;  // 01 -> 10
    sel.list[setSquelch] = 5;
    StoreSettings(s.Image, sel);
    EXPECT_EQ(s.Image[0xE9A] >> 6, 2);
    EXPECT_EQ(s.Image[0xEBA] >> 6, 1);  // still the old bits
    EXPECT_EQ(s.Image[0xEBA] & 0x3F, s.Image[0xE9A] & 0x3F);
    EXPECT_EQ(s.Image[0xEB5], 5);
    EXPECT_EQ(s.Image[0xEB6], 5);
    for (int a = 0xE95; a <= 0xE99; ++a) EXPECT_EQ(s.Image[a + 0x20], s.Image[a]) << a;
    EXPECT_EQ(s.Image[0xEBB], s.Image[0xE9B]);
    // Nothing else of the second row moves.
    for (int a : {0xEB0, 0xEB1, 0xEB2, 0xEB3, 0xEB4, 0xEBC, 0xEBD, 0xEBE, 0xEBF})
        EXPECT_EQ(s.Image[a], s.SavedImage[a]) << a;
}

TEST(SettingsRow, OutOfRangeValuesShowFallbacksAndStoringRepairsThem) {
    Module1 s;
    s.Image[0xE95] = 0x0C;  // squelch
    s.Image[0xE98] = 0x9F;  // time-out 9, power-off 15
    s.Image[0xE91] = 0xFF;  // working mode 3, kept bits 1
    s.Image[0xE99] = 0xFA;  // delay 15, gain 10
    SettingsSelections sel = ShowSettings(s.Image);
    EXPECT_EQ(sel.list[setSquelch], 2);
    EXPECT_EQ(sel.list[setTimeOut], 3);    // 3m
    EXPECT_EQ(sel.list[setPowerOff], 15);  // 15H
    EXPECT_EQ(sel.list[setWorkingMode], 0);
    EXPECT_EQ(sel.list[setVoxGain], 2);
    EXPECT_EQ(sel.list[setVoxDelay], 1);
    StoreSettings(s.Image, sel);
    EXPECT_EQ(s.Image[0xE91], 0xFC);
    EXPECT_EQ(Span(s.Image, 0xE95, 0xE96), (std::vector<int>{2, 2}));
    EXPECT_EQ(Span(s.Image, 0xE98, 0xE99), (std::vector<int>{0x3F, 0x12}));
}

TEST(SettingsRow, PowerOnDisplayBits) {
    Module1 s;
    for (auto [bits, shown] :
         {std::pair{3, powerOnOff}, {2, powerOnMessage}, {1, powerOnBattery}, {0, powerOnNone}}) {
        s.Image[0xE9A] = static_cast<std::uint8_t>((bits << 6) | 0x1F);
        EXPECT_EQ(ShowSettings(s.Image).powerOnDisplay, shown) << bits;
    }
    // No selection stores "off" (11).
    StoreSettings(s.Image, ShowSettings(s.Image));
    EXPECT_EQ(s.Image[0xE9A], 0xDF);
}

TEST(SettingsRow, InvalidIndicesNeverSpillIntoOtherBits) {
    Module1 s;
    SettingsSelections sel = ShowSettings(s.Image);
    sel.list[setTimeOut] = 12;
    sel.list[setVoxGain] = -1;
    sel.list[setBeep] = 4;
    StoreSettings(s.Image, sel);
    EXPECT_EQ(s.Image[0xE98], 0x30);
    EXPECT_EQ(s.Image[0xE99], 0x12);
    EXPECT_EQ(s.Image[0xE9B], 0xFF);
}

TEST(PowerOnMessage, PacksSixBitCodes) {
    Module1 s;
    SettingsSelections sel = ShowSettings(s.Image);
    sel.message = "AB";
    StoreSettings(s.Image, sel);
    EXPECT_EQ(MessageBytes(s.Image), (std::array<std::uint8_t, 4>{0x2C, 0xCF, 0xFF, 0xFC}));
    EXPECT_EQ(ShowSettings(s.Image).message, "AB");

    sel.message = "7 -_Z";  // codes 7, 40, 10, 39, 36
    StoreSettings(s.Image, sel);
    EXPECT_EQ(MessageBytes(s.Image), (std::array<std::uint8_t, 4>{0x1E, 0x82, 0xA7, 0x90}));
    EXPECT_EQ(ShowSettings(s.Image).message, "7 -_Z");

    sel.message = "";
    StoreSettings(s.Image, sel);
    EXPECT_EQ(MessageBytes(s.Image), (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(PowerOnMessage, EveryCharacterOfTheTableRoundTrips) {
    const std::string all = "0123456789-ABCDEFGHIJKLMNOPQRSTUVWXYZ*+_ ";
    ASSERT_EQ(all.size(), 41u);
    for (std::size_t i = 0; i < all.size(); i += 5) {
        const std::string part = all.substr(i, 5);
        const auto bytes = PackPowerOnMessage(part);
        EXPECT_EQ(bytes[3] & 0x03, 0);
        EXPECT_EQ(UnpackPowerOnMessage(bytes.data()), part);
    }
}

TEST(PowerOnMessage, OddInputAndStoredCodes) {
    // Lower case and unknown characters keep their place as "no character".
    EXPECT_EQ(UnpackPowerOnMessage(PackPowerOnMessage("?Ab").data()), "A");
    // codes 63, 11, 63, 63, 63
    EXPECT_EQ(PackPowerOnMessage("?Ab"), (std::array<std::uint8_t, 4>{0xFC, 0xBF, 0xFF, 0xFC}));
    // Only five characters fit.
    EXPECT_EQ(UnpackPowerOnMessage(PackPowerOnMessage("ABCDEFG").data()), "ABCDE");
    // A multi-byte character takes one position.
    // codes 63, 34, 35, 63, 63
    EXPECT_EQ(PackPowerOnMessage("\xE4\xB8\xADXY"),
              (std::array<std::uint8_t, 4>{0xFE, 0x28, 0xFF, 0xFC}));
    // 0xFF first means empty whatever follows; codes 41-62 show nothing.
    const std::uint8_t empty[4] = {0xFF, 0x00, 0x00, 0x00};
    EXPECT_EQ(UnpackPowerOnMessage(empty), "");
    // codes 41, 11, 62, 12, 50
    const std::uint8_t odd[4] = {0xA4, 0xBF, 0x8C, 0xC8};
    EXPECT_EQ(UnpackPowerOnMessage(odd), "AB");
}
