// The codeplug image and the values every window shares.
//
// One Module1 is created by main() and handed by reference to every window
// and command; there are no globals, so a test simply makes a fresh one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/ImageLayout.h"

namespace rm427 {

constexpr int kImageSize = 4096;
using CodeplugImage = std::array<std::uint8_t, kImageSize>;

// Radio memory address of image offset 0.
constexpr int kRadioBase = 0xA000;

// Well-known offsets in the image (image/ImageLayout.h has their fields).
constexpr int kModelByte = model::kModelByte;
constexpr int kBandByte = model::kBandByte;
constexpr int kSettingsRow = settings::kRow;

struct Module1 {
    std::uint8_t Language = 0;   // 0 English, 1 Chinese
    std::uint8_t ModelCode = 4;  // 0..15
    std::uint8_t ComPort = 1;    // serial port number, 1..20
    std::string FileName = "Untitled.dat";
    std::uint8_t CHCount = 128;       // rows of the channel editor
    std::uint8_t CloneDirection = 0;  // 0 read from radio, 1 write to radio
    std::int16_t FreqStep = 0;        // 500 (5 kHz) or 625 (6.25 kHz), 10 Hz units
    std::int16_t FreqLimitLow = 100;  // MHz, title and clone/batch windows
    std::int16_t FreqLimitHigh = 550;
    std::int16_t EditLimitLow = 100;  // MHz, channel editor validation
    std::int16_t EditLimitHigh = 550;
    std::array<std::string, 14> BandNames{};  // index 1..13; 0 unused
    int CurCHRow = 1;                         // channel editor's current cell
    int CurCHCol = 1;

    CodeplugImage Image{};
    CodeplugImage SavedImage{};
    // The image as the file holds it (as opened or last saved; the new image
    // while untitled). A read from the radio takes a new snapshot but leaves
    // the file as it was: undoing the read back to the file's image is no
    // unsaved change.
    CodeplugImage FileImage{};

    // A fresh state: defaults, band table filled, new image and its snapshot,
    // as the program is right after start.
    Module1();

    void FillBandNames();
    // A new, empty codeplug: all 0xFF plus the default settings rows.
    // Touches nothing but Image.
    void ClearImage();
    void SetDefaultLimits();
    // The image is what the file holds (opened, saved, new).
    void SnapshotImage();
    // The image was read from the radio: the file keeps what it held.
    void SnapshotRadioImage();
    // Unsaved changes: the image is neither the snapshot nor the file's.
    bool ImageModified() const;
    // The main window's caption. Drops one trailing backslash from FileName
    // (for good: the member itself is changed).
    std::string TitleText();
};

}  // namespace rm427
