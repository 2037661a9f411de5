#include <gtest/gtest.h>

#include <random>

#include "file/DataFile.h"
#include "image/Module1.h"

using namespace rm427;

namespace {

Bytes Packed(Bytes b) {
    std::string error;
    EXPECT_TRUE(PackImageFile(b, error)) << error;
    return b;
}

// A data file (normally packed) whose unpacked content has this size and marker.
Bytes FileWithContent(std::size_t size, const char* marker = "SLQFEO") {
    Bytes content(size);
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<std::uint8_t>(i * 7);
    std::copy(marker, marker + 6, content.begin());
    return Packed(content);
}

// Decodes into an image filled with a sentinel; true if refused and untouched.
bool Refused(const Bytes& file) {
    CodeplugImage img;
    img.fill(0x3C);
    const CodeplugImage before = img;
    return !DecodeDataFile(file, img) && img == before;
}

}  // namespace

TEST(Packer, WorkedExamplesByteForByte) {
    const Bytes ff20{0x00, 0x00, 0x07, 0xFF, 0x00, 0x00, 0x14, 0x7F, 0x7F, 0x7E, 0x01};
    EXPECT_EQ(Packed(Bytes(20, 0xFF)), ff20);
    EXPECT_EQ(Packed(Bytes{'a', 'b', 'c'}), (Bytes{'a', 'b', 'c', 0x00}));
    Bytes b = ff20;
    ASSERT_TRUE(UnpackImageFile(b));
    EXPECT_EQ(b, Bytes(20, 0xFF));
}

TEST(Packer, FillChoiceRunCodesAndGrowthRule) {
    Bytes alt;  // equal counts of 0x01 and 0x02: the higher value is eliminated
    for (int i = 0; i < 600; ++i) alt.push_back(i % 2 ? 0x02 : 0x01);
    ASSERT_TRUE(EliminatorPass(alt));
    EXPECT_EQ(Bytes(alt.begin() + 3, alt.begin() + 7), (Bytes{0x02, 0x00, 0x01, 0x2C}));

    // 140 literals, then fills: 0xFF (134 literals), then a group 0b0000001.
    Bytes run;
    for (int i = 0; i < 140; ++i) run.push_back(static_cast<std::uint8_t>(i % 100 + 1));
    run.insert(run.end(), 200, 0x00);
    Bytes p = run;
    ASSERT_TRUE(EliminatorPass(p));
    EXPECT_EQ(Bytes(p.begin() + 7, p.begin() + 9), (Bytes{0xFF, 0x01}));
    ASSERT_TRUE(EliminatorUnpass(p));
    EXPECT_EQ(p, run);

    // Seven fills before nine distinct bytes: 16 -> 17 bytes, applied.
    // Six fills: 15 -> 17, rejected and unchanged.
    Bytes seven(7, 0x55), six(6, 0x55);
    for (int i = 0; i < 9; ++i) {
        seven.push_back(static_cast<std::uint8_t>(i));
        six.push_back(static_cast<std::uint8_t>(i));
    }
    ASSERT_TRUE(EliminatorPass(seven));
    EXPECT_EQ(seven.size(), 17u);
    const Bytes sixCopy = six;
    EXPECT_FALSE(EliminatorPass(six));
    EXPECT_EQ(six, sixCopy);

    // 1100 fills, each after seven literals: applied although it grows.
    Bytes spread;
    for (int i = 0; i < 1100; ++i) {
        for (int j = 0; j < 7; ++j) spread.push_back(static_cast<std::uint8_t>(1 + (i * 7 + j) % 200));
        spread.push_back(0x00);
    }
    Bytes s = spread;
    ASSERT_TRUE(EliminatorPass(s));
    EXPECT_GT(s.size(), spread.size() + 1);
    ASSERT_TRUE(EliminatorUnpass(s));
    EXPECT_EQ(s, spread);
}

TEST(Packer, RandomBuffersAndImagesSurviveRoundTrip) {
    std::mt19937 rng(4271);
    for (int round = 0; round < 300; ++round) {
        Bytes b(1 + rng() % 5000);
        const unsigned alphabet = 1 + rng() % 256, runBias = rng() % 4;
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] =
                (i > 0 && rng() % 4 < runBias) ? b[i - 1] : static_cast<std::uint8_t>(rng() % alphabet);
        Bytes p = Packed(b);
        ASSERT_TRUE(UnpackImageFile(p)) << round;
        ASSERT_EQ(p, b) << round;
    }
    for (int round = 0; round < 50; ++round) {
        CodeplugImage img = Module1().Image, back{};
        for (unsigned c = rng() % 4096; c > 0; --c) img[rng() % 4096] = static_cast<std::uint8_t>(rng());
        Bytes file;
        std::string error;
        ASSERT_TRUE(EncodeDataFile(img, file, error)) << error;
        ASSERT_TRUE(DecodeDataFile(file, back));
        ASSERT_EQ(back, img) << round;
    }
}

TEST(DataFile, NewImageFileAndAcceptedLayouts) {
    Module1 s;
    Bytes file;
    std::string error;
    ASSERT_TRUE(EncodeDataFile(s.Image, file, error)) << error;
    EXPECT_EQ(file.size(), 78u);
    EXPECT_EQ(file.back(), 6);
    CodeplugImage back{};
    ASSERT_TRUE(DecodeDataFile(file, back));
    EXPECT_EQ(back, s.Image);
    ASSERT_TRUE(UnpackImageFile(file));
    EXPECT_EQ(file, BuildDataFileContent(s.Image));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "SLQFEO");
    EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 16), Bytes(10, 0xFF));

    // The plain 4112 bytes plus a 0 trailer open; bytes 6..15 may be anything.
    s.Image[0] = 0x12;
    Bytes raw = BuildDataFileContent(s.Image);
    for (int i = 6; i < 16; ++i) raw[i] = static_cast<std::uint8_t>(i);
    raw.push_back(0x00);
    ASSERT_TRUE(DecodeDataFile(raw, back));
    EXPECT_EQ(back, s.Image);
    EXPECT_FALSE(Refused(FileWithContent(4112)));
}

TEST(DataFile, MalformedFilesAreRefusedAndChangeNothing) {
    Bytes good;
    std::string error;
    ASSERT_TRUE(EncodeDataFile(Module1().Image, good, error));

    EXPECT_TRUE(Refused({}));
    EXPECT_TRUE(Refused(FileWithContent(4111)));
    EXPECT_TRUE(Refused(FileWithContent(4113)));
    EXPECT_TRUE(Refused(FileWithContent(4112, "slqfeo")));
    EXPECT_TRUE(Refused(FileWithContent(4112, "SLQFEo")));
    for (std::size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_TRUE(Refused(Bytes(good.begin(), good.begin() + cut))) << cut;
    Bytes longer = good;
    longer.insert(longer.end() - 1, 0x00);
    EXPECT_TRUE(Refused(longer));
    good.back() = 7;  // more passes than were made
    EXPECT_TRUE(Refused(good));
    // Length fields outside the buffer, control bytes running out, a fill
    // count far beyond any data file.
    EXPECT_TRUE(Refused({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x01}));
    EXPECT_TRUE(Refused({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01}));
    EXPECT_TRUE(Refused({0x00, 0x00, 0x05, 0xAA, 0x00, 0x00, 0x09, 0x80, 0x01}));
    EXPECT_TRUE(Refused({0x00, 0x00, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x01}));

    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes f(1 + rng() % 300);
        for (auto& b : f) b = static_cast<std::uint8_t>(rng());
        if (round % 2) f.back() = static_cast<std::uint8_t>(1 + rng() % 6);
        ASSERT_TRUE(Refused(f)) << round;
    }
}
