#include <gtest/gtest.h>

#include "image/Module1.h"

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
