// The typed channel and its one codec, over the golden images of tests/data.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"

namespace rm427 {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

CodeplugImage Golden(const std::string& name) {
    const std::string bytes = Slurp(RM427_TEST_DATA_DIR "/channels-" + name + ".bin");
    CodeplugImage image{};
    EXPECT_EQ(bytes.size(), image.size()) << name;
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    return image;
}

TEST(ChannelCodec, GoldenImagesDecodeToTheirTablesAndEncodeBackByteForByte) {
    for (const char* name : {"demo", "choices", "oddities"}) {
        const CodeplugImage image = Golden(name);
        std::string table;
        int n = 0;
        for (const Channel& ch : ImageChannels(image)) {  // the tables leave out empty channels
            std::string cells;
            for (int c = colRxFreq; c < kChannelColumns; ++c) cells += '\t' + ChannelCell(ch, c, 0);
            ++n;
            if (cells.find_first_not_of('\t') != std::string::npos)
                table += std::to_string(n) + cells + '\n';
        }
        EXPECT_EQ(table, Slurp(RM427_TEST_DATA_DIR "/channels-" + std::string(name) + ".txt")) << name;
        CodeplugImage back = image;
        for (n = 1; n <= kMaxChannels; ++n) PutChannel(back, n, ChannelAt(image, n));
        EXPECT_EQ(back, image) << name;
    }
    EXPECT_EQ(DemoCodeplug(), Golden("demo"));
}

TEST(ChannelCodec, RecordsTheProgramWroteAreWhatTheirValuesEncodeTo) {
    // From a blank record, and through the editor's texts in both languages.
    for (const char* name : {"demo", "choices"}) {
        const CodeplugImage image = Golden(name);
        for (int n = 1; n <= kMaxChannels; ++n) {
            Channel ch = ChannelAt(image, n);
            ch.record = Channel::Empty();
            RecordBytes bytes;
            EncodeChannel(ch, bytes.data());
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.begin() + ChannelOffset(n)))
                << name << " channel " << n;
            for (int language : {0, 1}) {
                if (!ch.programmed) break;  // a name on an empty channel is stored, not shown
                ChannelRow row;
                RenderChannel(ch, language, row);
                EXPECT_TRUE(ParseRow(row, language, Channel{}).SameValue(ch)) << name << " " << n;
            }
        }
    }
}

TEST(ChannelCodec, AnEditedOddRecordIsEncodedAsTheEditorSavesIt) {
    const CodeplugImage odd = Golden("oddities");
    Channel ch = ChannelAt(odd, 11);  // step code 0, power 3, type 7, kept bits cleared
    ch.name = "X";
    RecordBytes b;
    EncodeChannel(ch, b.data());
    EXPECT_EQ(b[record::kStepSignalling], 0x66);  // 5 kHz written, type 6, bit 3 kept (0)
    EXPECT_EQ(b[record::kOptions] & record::kPowerMask, record::kPowerHigh);
    EXPECT_EQ(b[record::kShift] & 0x20, 0);  // the unused bit stays as read
    EXPECT_EQ(DecodeChannel(b.data()).name, "X");
    ch = ChannelAt(odd, 3);  // a DCS code past the list reads and saves as none
    EXPECT_EQ(ch.decode, 0);
    ch.bandwidth = bandwidthNarrow;
    EncodeChannel(ch, b.data());
    EXPECT_EQ(b[record::kStepSignalling] & record::kSignallingMask, sigNoneNone);
}

// The editor's text box on a channel: a new channel, the transmit raster,
// emptying, out of range.
TEST(ChannelEditor, TextBoxRules) {
    for (int lang : {0, 1}) {
        Module1 s;
        s.Language = static_cast<std::uint8_t>(lang);
        Channel ch;  // an empty channel with a name typed before the frequency
        CommitChannelText(s, ch, colName, "AB");
        EXPECT_FALSE(CommitChannelText(s, ch, colRxFreq, "145.5"));
        EXPECT_EQ(ch.rx, 14550000);
        EXPECT_EQ(ch.tx, ch.rx);
        for (int c = colDecode; c < colName; ++c)
            EXPECT_EQ(ChannelCell(ch, c, lang), NewChannelText(lang, c));
        EXPECT_EQ(ch.name, "AB");
    }
    Module1 s;
    Channel ch;
    CommitChannelText(s, ch, colRxFreq, "145.00625");
    ch.encode = 5;
    // Transmit takes the raster of its receive frequency, 6.25 kHz here.
    CommitChannelText(s, ch, colTxFreq, "145.103");
    EXPECT_EQ(ch.tx, 14510000);
    // A new receive frequency keeps the rest of the channel.
    ch.power = powerLow;
    CommitChannelText(s, ch, colRxFreq, "146");
    EXPECT_EQ(ch.rx, 14600000);
    EXPECT_EQ(ch.tx, 14510000);
    EXPECT_EQ(ch.power, powerLow);
    CommitChannelText(s, ch, colTxFreq, "145.103");
    EXPECT_EQ(ch.tx, 14510500);
    // Emptying transmit: the record transmits on receive, without an encoder.
    CommitChannelText(s, ch, colTxFreq, "");
    EXPECT_EQ(ch.tx, ch.rx);
    EXPECT_EQ(ch.encode, 0);
    // Out of range: the limit, and the caller is told.
    EXPECT_TRUE(CommitChannelText(s, ch, colRxFreq, "600"));
    EXPECT_EQ(ch.rx, 55000000);
    // Emptying the receive cell empties the whole channel, name included.
    CommitChannelText(s, ch, colName, "X");
    CommitChannelText(s, ch, colRxFreq, "");
    RecordBytes bytes;
    EncodeChannel(ch, bytes.data());
    EXPECT_EQ(bytes, Channel::Empty());
}

}  // namespace
}  // namespace rm427
