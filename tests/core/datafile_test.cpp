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

Bytes Unpacked(Bytes b) {
    EXPECT_TRUE(UnpackImageFile(b));
    return b;
}

// A data file whose content has the given size and marker, packed normally.
Bytes FileWithContent(std::size_t size, const char* marker = "SLQFEO") {
    Bytes content(size, 0x00);
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<std::uint8_t>(i * 7);
    std::copy(marker, marker + 6, content.begin());
    return Packed(content);
}

}  // namespace

TEST(Packer, WorkedExamplesByteForByte) {
    EXPECT_EQ(Packed(Bytes(20, 0xFF)),
              (Bytes{0x00, 0x00, 0x07, 0xFF, 0x00, 0x00, 0x14, 0x7F, 0x7F, 0x7E, 0x01}));
    EXPECT_EQ(Packed(Bytes{'a', 'b', 'c'}), (Bytes{'a', 'b', 'c', 0x00}));
    EXPECT_EQ(Unpacked({0x00, 0x00, 0x07, 0xFF, 0x00, 0x00, 0x14, 0x7F, 0x7F, 0x7E, 0x01}),
              Bytes(20, 0xFF));
    EXPECT_EQ(Unpacked({'a', 'b', 'c', 0x00}), (Bytes{'a', 'b', 'c'}));
}

TEST(Packer, FillByteTieGoesToHigherValueAndRunCodes) {
    // Equal counts of 0x01 and 0x02: 0x02 is eliminated. (On four bytes the
    // pass would grow the data and is rejected, leaving them unchanged.)
    Bytes b{0x01, 0x02, 0x01, 0x02};
    Bytes big;
    for (int i = 0; i < 600; ++i) big.push_back(i % 2 ? 0x02 : 0x01);
    ASSERT_TRUE(EliminatorPass(big));
    EXPECT_EQ(big[3], 0x02);
    EXPECT_EQ((big[4] << 16) | (big[5] << 8) | big[6], 300);
    EXPECT_FALSE(EliminatorPass(b));
    EXPECT_EQ(b, (Bytes{0x01, 0x02, 0x01, 0x02}));

    // 140 literals, then fills.
    Bytes run;
    for (int i = 0; i < 140; ++i) run.push_back(static_cast<std::uint8_t>(i % 100 + 1));
    run.insert(run.end(), 200, 0x00);
    Bytes p = run;
    ASSERT_TRUE(EliminatorPass(p));
    EXPECT_EQ(p[3], 0x00);
    // k counts on from the empty first group: 134 literals -> 0xFF, then six
    // literals and a fill -> a group 0b0000001.
    EXPECT_EQ(p[7], 0xFF);
    EXPECT_EQ(p[8], 0x01);
    Bytes back = p;
    ASSERT_TRUE(EliminatorUnpass(back));
    EXPECT_EQ(back, run);
}

TEST(Packer, GrowthRule) {
    // One 0xAA among distinct bytes: header 4 + one control byte, so the
    // result is n - 1 + 5 + 3 = n + 7 long: rejected.
    Bytes distinct;
    for (int i = 0; i < 200; ++i) distinct.push_back(static_cast<std::uint8_t>(i));
    Bytes d = distinct;
    EXPECT_FALSE(EliminatorPass(d));
    EXPECT_EQ(d, distinct);

    // Exactly one byte longer is still applied, two longer is rejected.
    Bytes seven(7, 0x55);
    for (int i = 0; i < 9; ++i) seven.push_back(static_cast<std::uint8_t>(i));
    const std::size_t n7 = seven.size();
    // 0x55 x7 then 0..8: counts 7 vs 1, output 3 + 4 + 1 + 9 = 17 = n + 1.
    ASSERT_TRUE(EliminatorPass(seven));
    EXPECT_EQ(seven.size(), n7 + 1);

    Bytes six(6, 0x55);
    for (int i = 0; i < 9; ++i) six.push_back(static_cast<std::uint8_t>(i));
    const Bytes sixCopy = six;
    EXPECT_FALSE(EliminatorPass(six));  // 3 + 4 + 1 + 9 = 17 = n + 2
    EXPECT_EQ(six, sixCopy);

    // With 1100 or more fills the pass is applied even when it grows the
    // data: fills spread one per 0x80 code among literals.
    Bytes spread;
    for (int i = 0; i < 1100; ++i) {
        for (int j = 0; j < 7; ++j) spread.push_back(static_cast<std::uint8_t>(1 + (i * 7 + j) % 200));
        spread.push_back(0x00);
    }
    // 0x00 appears 1100 times, each value 1..200 about 38 times.
    Bytes s = spread;
    ASSERT_TRUE(EliminatorPass(s));
    EXPECT_GT(s.size(), spread.size() + 1);
    ASSERT_TRUE(EliminatorUnpass(s));
    EXPECT_EQ(s, spread);
}

TEST(Packer, RandomBuffersSurvivePackAndUnpack) {
    std::mt19937 rng(4271);
    for (int round = 0; round < 300; ++round) {
        const std::size_t n = 1 + rng() % 5000;
        Bytes b(n);
        const int alphabet = 1 + static_cast<int>(rng() % 256);
        const int runBias = static_cast<int>(rng() % 4);
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0 && static_cast<int>(rng() % 4) < runBias) b[i] = b[i - 1];
            else b[i] = static_cast<std::uint8_t>(rng() % alphabet);
        }
        Bytes p = Packed(b);
        ASSERT_LE(p.size(), n + 1 + 256) << "round " << round;
        ASSERT_EQ(Unpacked(p), b) << "round " << round;
    }
}

TEST(DataFile, NewImageGivesThe78ByteFileAndReopens) {
    Module1 s;
    Bytes file;
    std::string error;
    ASSERT_TRUE(EncodeDataFile(s.Image, file, error)) << error;
    EXPECT_EQ(file.size(), 78u);
    EXPECT_EQ(file.back(), 6);

    CodeplugImage back{};
    ASSERT_TRUE(DecodeDataFile(file, back));
    EXPECT_EQ(back, s.Image);

    Bytes content = file;
    ASSERT_TRUE(UnpackImageFile(content));
    ASSERT_EQ(content.size(), 4112u);
    EXPECT_EQ(std::string(content.begin(), content.begin() + 6), "SLQFEO");
    for (int i = 6; i < 16; ++i) EXPECT_EQ(content[i], 0xFF);
    EXPECT_TRUE(std::equal(s.Image.begin(), s.Image.end(), content.begin() + 16));
}

TEST(DataFile, RandomImagesSurviveEncodeAndDecode) {
    std::mt19937 rng(99);
    for (int round = 0; round < 50; ++round) {
        CodeplugImage img;
        Module1 s;
        img = s.Image;
        const int changes = static_cast<int>(rng() % 4096);
        for (int c = 0; c < changes; ++c) img[rng() % 4096] = static_cast<std::uint8_t>(rng());
        Bytes file;
        std::string error;
        ASSERT_TRUE(EncodeDataFile(img, file, error)) << error;
        CodeplugImage back{};
        ASSERT_TRUE(DecodeDataFile(file, back));
        ASSERT_EQ(back, img) << "round " << round;
    }
}

TEST(DataFile, AcceptedLayouts) {
    // The 4112 unpacked bytes followed by a single 0 opens (no passes).
    Module1 s;
    s.Image[0] = 0x12;
    Bytes raw = BuildDataFileContent(s.Image);
    // Bytes 6..15 may hold anything.
    for (int i = 6; i < 16; ++i) raw[i] = static_cast<std::uint8_t>(i);
    raw.push_back(0x00);
    CodeplugImage back{};
    ASSERT_TRUE(DecodeDataFile(raw, back));
    EXPECT_EQ(back, s.Image);
}

TEST(DataFile, MalformedFilesAreRefusedAndChangeNothing) {
    Module1 s;
    Bytes good;
    std::string error;
    ASSERT_TRUE(EncodeDataFile(s.Image, good, error));

    CodeplugImage sentinel;
    sentinel.fill(0x3C);
    auto refused = [&](const Bytes& f) {
        CodeplugImage img = sentinel;
        const bool ok = DecodeDataFile(f, img);
        return !ok && img == sentinel;
    };

    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused(FileWithContent(4111)));
    EXPECT_TRUE(refused(FileWithContent(4113)));
    EXPECT_FALSE(refused(FileWithContent(4112)));
    EXPECT_TRUE(refused(FileWithContent(4112, "slqfeo")));
    EXPECT_TRUE(refused(FileWithContent(4112, "SLQFEo")));

    for (std::size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + cut))) << "cut " << cut;
    Bytes longer = good;
    longer.insert(longer.end() - 1, 0x00);
    EXPECT_TRUE(refused(longer));
    Bytes trailer = good;
    trailer.back() = 7;
    EXPECT_TRUE(refused(trailer));
    trailer.back() = 255;
    EXPECT_TRUE(refused(trailer));

    // Length fields pointing outside the buffer, and huge fill counts.
    EXPECT_TRUE(refused({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x01}));
    EXPECT_TRUE(refused({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01}));
    EXPECT_TRUE(refused({0x00, 0x00, 0x04, 0xAA, 0xFF, 0xFF, 0xFF, 0x01}));
    EXPECT_TRUE(refused({0x00, 0x00, 0x05, 0xAA, 0x00, 0x00, 0x09, 0x80, 0x01}));

    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes f(1 + rng() % 300);
        for (auto& b : f) b = static_cast<std::uint8_t>(rng());
        if (round % 2) f.back() = static_cast<std::uint8_t>(1 + rng() % 6);
        ASSERT_TRUE(refused(f)) << "round " << round;
        Bytes flipped = good;
        flipped[rng() % (flipped.size() - 1)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        CodeplugImage img = sentinel;
        if (!DecodeDataFile(flipped, img)) {
            ASSERT_EQ(img, sentinel);
        }
    }
}

TEST(DataFile, UnpackPassRespectsOutputLimit) {
    // A pass that claims 0xFFFFFF fills is refused rather than allocated.
    Bytes b{0x00, 0x00, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0x7F};
    const Bytes copy = b;
    EXPECT_FALSE(EliminatorUnpass(b));
    EXPECT_EQ(b, copy);
}
