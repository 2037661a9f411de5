// The history folder: names by time and kind, newest first, pruning, and a
// folder that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "FileTestHelpers.h"

#include "demo/DemoCodeplug.h"
#include "file/DataFile.h"
#include "file/FileIo.h"
#include "channels/ChannelRows.h"
#include "file/History.h"

namespace rm427 {
namespace {

namespace fs = std::filesystem;

struct HistoryFolder : ::testing::Test {
    void SetUp() override {
        const fs::path top = fs::temp_directory_path() /
                             ("rm427-history-" + std::to_string(::getpid()) + "-" +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        test::RemoveTestFolder(top);
        fs::create_directories(top);
        dir = (top / "history").string();
    }
    void TearDown() override { test::RemoveTestFolder(fs::path(dir).parent_path()); }
    std::string dir;
};

TEST_F(HistoryFolder, EntriesAreNamedListedNewestFirstAndPrunedToTheLimit) {
    const HistoryTime t{2026, 12, 7, 0, 45, 12, 123};
    EXPECT_EQ(HistoryEntryName(t, HistoryKind::Write, "/home/u/radios/Base:1.dat"),
              "20261207-004512-123_write_Base_1.dat.dat");
    HistoryEntry e;
    ASSERT_TRUE(ParseHistoryEntryName("20261207-004512-123_save_my_radio.dat.dat", e));
    EXPECT_EQ(e.time, "2026-12-07 00:45:12");
    EXPECT_EQ(e.kind, HistoryKind::Save);
    EXPECT_EQ(e.source, "my_radio.dat");
    EXPECT_FALSE(ParseHistoryEntryName("notes.txt", e));
    EXPECT_FALSE(ParseHistoryEntryName("20261207-004512-123_copy_x.dat", e));

    const CodeplugImage demo = DemoCodeplug();
    std::string error;
    for (int i = 0; i < 7; ++i) {
        const HistoryTime when{2026, 12, 7, 1, 0, i, 0};
        ASSERT_TRUE(AddHistoryEntry(dir, i % 2 ? HistoryKind::Read : HistoryKind::Save, "r.dat", demo,
                                    error, when, 5))
            << error;
    }
    // The same name twice in one millisecond: both kept.
    ASSERT_TRUE(
        AddHistoryEntry(dir, HistoryKind::Save, "r.dat", demo, error, {2026, 12, 7, 1, 0, 6, 0}, 5));
    std::ofstream(dir + "/unrelated.txt") << "kept";
    const auto list = ListHistory(dir);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(fs::path(list[0].path).filename(), "20261207-010006-001_save_r.dat.dat");
    EXPECT_EQ(fs::path(list[1].path).filename(), "20261207-010006-000_save_r.dat.dat");
    EXPECT_EQ(fs::path(list[4].path).filename(), "20261207-010003-000_read_r.dat.dat");
    EXPECT_EQ(list[4].kind, HistoryKind::Read);
    EXPECT_TRUE(fs::exists(dir + "/unrelated.txt"));

    CodeplugImage back{};
    ASSERT_TRUE(LoadHistoryEntry(list[0], back));
    EXPECT_TRUE(back == demo);
    EXPECT_EQ(ImageBandText(back), "400 - 470(MHz)");
    EXPECT_EQ(ProgrammedChannels(back), 12);
}

// A clock set back a day: the copies made since are kept, the oldest made
// before go. A long name is cut between characters, a broken one mended, so
// the entry is a name every system can make.
TEST_F(HistoryFolder, ClockSetBackAndOddNamesLoseNoCopy) {
    const CodeplugImage demo = DemoCodeplug();
    std::string error, added[2];
    for (int i = 0; i < 5; ++i)  // three copies, then two after the clock went back a day
        ASSERT_TRUE(AddHistoryEntry(dir, HistoryKind::Save, "r.dat", demo, error,
                                    {2026, 12, i < 3 ? 7 : 6, 1, 0, i % 3, 0}, 3,
                                    i < 3 ? nullptr : &added[i - 3]));
    const auto list = ListHistory(dir);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(fs::path(list[0].path).filename(), "20261207-010002-000_save_r.dat.dat");
    EXPECT_EQ(list[1].path, added[1]);
    EXPECT_EQ(list[2].path, added[0]);

    const HistoryTime t{2026, 12, 7, 0, 45, 12, 123};
    const std::string a79(79, 'a');
    EXPECT_EQ(HistoryEntryName(t, HistoryKind::Save, a79 + "\xe4\xb8\xad.dat"),
              "20261207-004512-123_save_" + a79 + ".dat");
    EXPECT_EQ(HistoryEntryName(t, HistoryKind::Save, "\xff\xe4\xb8 \xe4\xb8\xad.dat"),
              "20261207-004512-123_save____ \xe4\xb8\xad.dat.dat");
    HistoryRecorder recorder(dir);
    EXPECT_EQ(recorder.Record(0, HistoryKind::Save, a79 + "\xe4\xb8\xad\xff.dat", demo), "");
    EXPECT_TRUE(fs::exists(fs::u8path(recorder.LastEntry())));
}

TEST_F(HistoryFolder, AFolderThatCannotBeMadeReportsAnError) {
    std::ofstream(fs::path(dir).parent_path() / "file") << "x";
    std::string error;
    EXPECT_FALSE(AddHistoryEntry((fs::path(dir).parent_path() / "file" / "history").string(),
                                 HistoryKind::Read, "", DemoCodeplug(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ListHistory(dir + "/missing").empty());
}

}  // namespace
}  // namespace rm427
