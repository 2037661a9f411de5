#include <gtest/gtest.h>

#include "image/ModelTable.h"
#include "image/Module1.h"
#include "image/SettingsText.h"

using rm427::Module1;

TEST(Image, FreshStateIsNewImageAndUnmodified) {
    Module1 s;
    EXPECT_FALSE(s.ImageModified());
    EXPECT_EQ(s.FileName, "Untitled.dat");
    EXPECT_EQ(s.ComPort, 1);
    EXPECT_EQ(s.CHCount, 128);
    for (int a = 0; a < rm427::kImageSize; ++a) {
        const bool inDefaults =
            (a >= 0xE90 && a <= 0xE9A) || (a >= 0xEB0 && a <= 0xEBA) || (a >= 0xEC0 && a <= 0xECF);
        if (!inDefaults) {
            ASSERT_EQ(s.Image[a], 0xFF) << "offset " << a;
        }
    }
    EXPECT_EQ(s.Image[0xE90], 0xA5);
    EXPECT_EQ(s.Image[0xE9A], 0x5F);
    EXPECT_EQ(s.Image[0xEB0], 0x20);
    EXPECT_EQ(s.Image[0xEB2], 0xB0);
    EXPECT_EQ(s.Image[0xEC0], 0x5C);
    EXPECT_EQ(s.Image[0xECF], 0x00);
    EXPECT_EQ(s.BandNames[1], "136 - 150(MHz)");
    EXPECT_EQ(s.BandNames[13], "470 - 650(MHz)");
}

TEST(Image, ClearImageKeepsSnapshotAndFileName) {
    Module1 s;
    s.FileName = "/tmp/a.dat";
    s.Image[5] = 0x12;
    s.SnapshotImage();
    s.ClearImage();
    EXPECT_TRUE(s.ImageModified());  // compares against the old snapshot
    EXPECT_EQ(s.FileName, "/tmp/a.dat");
    EXPECT_EQ(s.Image, Module1().Image);
}

TEST(Image, LastByteCountsAsModification) {
    Module1 s;
    s.Image[0xFFF] ^= 1;
    EXPECT_TRUE(s.ImageModified());
    s.SnapshotImage();
    EXPECT_FALSE(s.ImageModified());
}

TEST(Image, TitleTextDefaultsAndBackslash) {
    Module1 s;
    EXPECT_EQ(s.TitleText(), "RM-427[100 - 550 MHz]{ FileName: Untitled.dat]");
    s.FreqLimitLow = 136;
    s.FreqLimitHigh = 174;
    s.FileName = "C:\\radios\\";
    EXPECT_EQ(s.TitleText(), "RM-427[136 - 174 MHz]{ FileName: C:\\radios]");
    EXPECT_EQ(s.FileName, "C:\\radios");  // the backslash stays lost
    s.SetDefaultLimits();
    EXPECT_EQ(s.FreqLimitLow, 100);
    EXPECT_EQ(s.EditLimitHigh, 550);
}

// Each model code shows a model and a band; picking that band again gives the
// code back, except 13..15, which show as 400 - 470 MHz (code 4).
TEST(ModelTable, CodesBandsAndTheModelBytes) {
    using namespace rm427;
    const Module1 s;
    const std::pair<int, const char*> shown[] = {
        {0, "150 - 174(MHz)"},  {1, "136 - 150(MHz)"},  {3, "216 - 223(MHz)"},  {5, "450 - 490(MHz)"},
        {10, "350 - 370(MHz)"}, {13, "400 - 470(MHz)"}, {15, "400 - 470(MHz)"},
    };
    for (const auto& [code, band] : shown) {
        EXPECT_EQ(s.BandNames[BandNameIndex(code)], band) << code;
        EXPECT_EQ(CodeFromSelection(IsUhfCode(code), BandPosition(code)), code < 13 ? code : 4);
        EXPECT_EQ(BandList(s, IsUhfCode(code)).size(), code < 4 ? 4u : 9u);
    }
    EXPECT_EQ(CodeFromSelection(false, 4), -1);
    // The band bit of 0x3D6 follows the model; its other bits stay.
    CodeplugImage img = s.Image;
    img[kBandByte] = 0xA4;
    WriteModelBytes(img, 5);
    EXPECT_EQ(img[kModelByte], 0xF5);
    EXPECT_EQ(img[kBandByte], 0xA5);
    WriteModelBytes(img, 1);
    EXPECT_EQ(img[kModelByte], 0xF1);
    EXPECT_EQ(img[kBandByte], 0xA4);
    EXPECT_EQ(AboutText(0),
              "  RM-427 Software\r\n   Version 1.0\r\n\r\n   Released 2014-5-6\r\n"
              "   Copyright (C) 2014\r\n   All rights reserved.");
    EXPECT_EQ(AboutText(1).rfind("  RM-427 软件\r\n   版本1.0\r\n\r\n   发布于 2014-5-6\r\n", 0), 0u);
}

// The stored setting texts as the next start reads them.
TEST(SettingsText, ModelAndLanguage) {
    using namespace rm427;
    const std::pair<const char*, int> models[] = {{"243", 3},   {"255", 15},  {"", 4},  {"245abc", 5},
                                                  {"abc", 0},   {"242.6", 3}, {"4", 4}, {" -2", 14},
                                                  {"242.5", 2}, {"243.5", 4}};
    for (const auto& [text, code] : models) EXPECT_EQ(ModelCodeFromSetting(text), code) << text;
    const std::pair<const char*, int> languages[] = {{"0", 0},  {"1", 1}, {"", 0},
                                                     {"1 ", 1}, {"x", 0}, {"7", 0}};
    for (const auto& [text, lang] : languages) EXPECT_EQ(LanguageFromSetting(text), lang) << text;
}
