// The report of what the band check changed and the verify comparison.
#include <gtest/gtest.h>

#include "channels/ChannelRecord.h"
#include "demo/DemoCodeplug.h"
#include "radio/PortCheck.h"
#include "radio/WriteCheck.h"
#include "radio/WriteJob.h"
#include <cerrno>
#include <cstdio>
#include "text/TextTable.h"

namespace rm427 {
namespace {

TEST(WriteCheck, BandCheckChangesNameBlankedAndTrimmedChannelsOnly) {
    Module1 state;
    state.Image = DemoCodeplug();
    ChannelRows rows = MakeChannelRows(state);
    LoadChannelRows(state, rows);
    rows[2][colTxFreq] = "440.10000";  // transmit outside 434..437
    SaveChannelRows(state, rows);
    const auto texts = ChannelFreqTexts(state.Image);
    const CodeplugImage before = MakeSendImage(state.Image, texts);
    CodeplugImage after = before;
    BandCheck(after, 4340, 4370, texts);

    const auto changes = BandCheckChanges(before, after, texts);
    ASSERT_EQ(changes.size(), 6u);  // 2 trimmed; 10..14 (441-452 MHz) blanked; empty ones not listed
    EXPECT_EQ(changes[0].channel, 2);
    EXPECT_EQ(changes[0].kind, BandChange::OffsetRemoved);
    EXPECT_EQ(changes[0].tx, "440.10000");
    for (int i = 1; i < 6; ++i) {  // the demonstration leaves 6..9 empty
        EXPECT_EQ(changes[i].channel, 9 + i);
        EXPECT_EQ(changes[i].kind, BandChange::SentEmpty);
    }
    const auto en = BandCheckReport(0, 4340, 4370, changes);
    ASSERT_EQ(en.size(), 7u);
    EXPECT_EQ(en[0], "The radio's band is 434.0 - 437.0 MHz. The band check changed these channels:");
    EXPECT_EQ(en[1],
              "Channel 2 (Rx 436.70000, Tx 440.10000): transmit outside the band, offset removed.");
    EXPECT_EQ(en[2],
              "Channel 10 (Rx 441.62500, Tx 441.62500): receive outside the band, sent as empty.");
    EXPECT_NE(BandCheckReport(1, 4340, 4370, changes)[1].find("信道 2"), std::string::npos);
    EXPECT_TRUE(BandCheckReport(0, 1360, 1740, BandCheckChanges(before, before, texts)).empty());
}

TEST(WriteCheck, VerifyComparesOnlyBytesBothReadAndWritten) {
    CodeplugImage sent = DemoCodeplug();
    CodeplugImage back = sent;
    back[0x0FC] ^= 0xFF;  // written, never read
    back[0xEB0] ^= 0xFF;  // read, never written
    EXPECT_TRUE(VerifyDifferences(sent, back).empty());
    EXPECT_EQ(VerifySummary(0, 0),
              "Verified: the radio holds what was written.\nNot read back, so not verified: the three "
              "fixed bytes at 0xAED3 and the four bytes after each block's 18th record.");

    back[ChannelOffset(1)] ^= 0x01;                               // channel 1's receive frequency
    back[0xE95] = static_cast<std::uint8_t>(sent[0xE95] + 1);     // a setting
    back[0xE90] = static_cast<std::uint8_t>(sent[0xE90] ^ 0x10);  // no window shows it
    back[0xE1C] ^= 0x10;  // after record 128: written, never read
    const auto d = VerifyDifferences(sent, back);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0], "channel 1: Rx Freq \"436.52000\" -> \"410.92000\"");
    EXPECT_EQ(d[1].rfind("channel 1: Tx Freq ", 0), 0u) << d[1];
    EXPECT_EQ(d[2], "setting SQ Level: \"4\" -> \"5\"");
    char line[40];
    std::snprintf(line, sizeof line, "byte 0xE90: %02X -> %02X", sent[0xE90], sent[0xE90] ^ 0x10);
    EXPECT_EQ(d[3], line);
    EXPECT_EQ(VerifySummary(0, d.size()),
              "Verify failed: the radio does not hold what was written (4 differences).");
    EXPECT_EQ(FillText("%1-%2-%1%", {"a", "b"}), "a-b-a%");
}

TEST(WriteCheck, CheckBeforeWriteNamesEveryProblemWithItsSeverity) {
    Module1 state;
    state.Image = DemoCodeplug();  // UHF 400 - 470 MHz
    ChannelRows rows = MakeChannelRows(state);
    LoadChannelRows(state, rows);
    rows[20] = rows[3];
    rows[20][colChannel] = "20";
    rows[2][colTxFreq] = "480.00000";
    SaveChannelRows(state, rows);
    PortTest::Result radio;
    radio.opened = radio.answered = true;
    radio.low = 4000;
    radio.high = 4700;
    auto lines = CheckBeforeWrite(0, state.Image, radio, "COM1");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(
        CheckLineText(0, lines[0]),
        "Note: The radio reports 400.0 - 470.0 MHz; the codeplug is for RM-427(UHF) 400 - 470(MHz).");
    EXPECT_EQ(CheckLineText(0, lines[1]),
              "Warning: Channel 2: transmit 480.00000 is outside 400.0 - 470.0 MHz while receive "
              "436.70000 is inside: its offset would be removed.");
    EXPECT_EQ(lines[2].text, "Channel 20 is the same as channel 3 (receive, transmit and tones).");
    EXPECT_FALSE(HasErrors(lines));

    radio.low = 1360;  // a VHF radio: every programmed channel named, the bands an error
    radio.high = 1740;
    lines = CheckBeforeWrite(1, state.Image, radio, "COM1");
    EXPECT_TRUE(HasErrors(lines));
    EXPECT_EQ(lines[0].severity, CheckSeverity::Error);
    const int programmed = ProgrammedChannels(state.Image);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(2 + programmed + 1));
    const auto en = CheckBeforeWrite(0, state.Image, radio, "COM1");
    EXPECT_EQ(CheckLineText(0, en[1]),
              "Error: No channel fits the radio's band 136.0 - 174.0 MHz: the radio would be written "
              "empty.");
    EXPECT_EQ(CheckLineText(0, en[2]),
              "Warning: Channel 1: 436.52000 is outside 136.0 - 174.0 MHz: it would be written empty.");
    EXPECT_NE(lines[2].text.find("信道 1"), std::string::npos);

    Module1 empty;  // nothing programmed; a silent radio stops everything
    radio.low = 1360;
    radio.high = 1740;
    lines = CheckBeforeWrite(0, empty.Image, radio, "COM1");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text,
              "The codeplug is for RM-427(UHF) 400 - 470(MHz) and the radio reports "
              "136.0 - 174.0 MHz: the bands do not overlap.");
    EXPECT_EQ(CheckLineText(0, lines[1]),
              "Error: No channel is programmed: the radio would be written empty.");
    radio.answered = false;
    lines = CheckBeforeWrite(0, state.Image, radio, "COM3");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(HasErrors(lines));
    EXPECT_NE(lines[0].text.find("COM3"), std::string::npos);
}

TEST(PortCheck, OpenFailuresAreExplainedFromTheSystemError) {
    EXPECT_EQ(PortProblemFromErrno(ENOENT), PortProblem::NoDevice);
    EXPECT_EQ(PortProblemFromErrno(EBUSY), PortProblem::InUse);
    ASSERT_EQ(PortProblemFromErrno(EACCES), PortProblem::PermissionDenied);
    EXPECT_EQ(
        PortProblemText(0, PortProblemFromErrno(EACCES), "/dev/ttyUSB0", {"root", "dialout", 0660}, ""),
        "/dev/ttyUSB0: permission denied. The device belongs to the group \"dialout\": add "
        "yourself with  sudo usermod -aG dialout $USER  and log in again.");
    EXPECT_NE(
        PortProblemText(1, PortProblem::PermissionDenied, "/dev/ttyUSB0", {"root", "uucp", 0660}, "")
            .find("usermod -aG uucp"),
        std::string::npos);
    // Only the owner may open it: joining its group would not help.
    for (int language : {0, 1}) {
        const std::string t = PortProblemText(language, PortProblem::PermissionDenied, "/dev/ttyS0",
                                              {"root", "root", 0600}, "");
        EXPECT_TRUE(t.find("usermod") == t.npos && t.find("udev") != t.npos) << t;
    }
    EXPECT_EQ(PortProblemText(0, PortProblem::PermissionDenied, "COM3", {}, ""),
              "COM3: permission denied.");
    EXPECT_EQ(PortProblemText(0, PortProblemFromErrno(EIO), "/dev/ttyS0", {}, "Input/output error"),
              "/dev/ttyS0: cannot be opened (Input/output error).");
}

}  // namespace
}  // namespace rm427
