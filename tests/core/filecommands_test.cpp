#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file/DataFile.h"
#include "file/FileCommands.h"
#include "file/FileIo.h"
#include "image/Module1.h"

using namespace rm427;
namespace fs = std::filesystem;

namespace {

struct ScriptedBoxes : MessageBoxes {
    std::deque<MsgAnswer> answers;
    std::vector<MessageRequest> shown;
    MsgAnswer Show(const MessageRequest& r) override {
        shown.push_back(r);
        if (answers.empty()) return MsgAnswer::Ok;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct ScriptedDialogs : FileDialogs {
    std::deque<std::string> openAnswers, saveAnswers;
    std::vector<std::string> openFilters;
    std::vector<std::pair<std::string, std::string>> saveCalls;  // filter, proposed
    std::string GetOpenFileName(const std::string& filter) override {
        openFilters.push_back(filter);
        return Next(openAnswers);
    }
    std::string GetSaveFileName(const std::string& filter, const std::string& proposed) override {
        saveCalls.emplace_back(filter, proposed);
        return Next(saveAnswers);
    }
    static std::string Next(std::deque<std::string>& q) {
        if (q.empty()) return {};
        std::string s = q.front();
        q.pop_front();
        return s;
    }
};

struct RecordingWindow : FileWindow {
    int refreshes = 0;
    std::vector<std::string> captions;
    void RefreshChannel() override { ++refreshes; }
    void SetCaption(const std::string& c) override { captions.push_back(c); }
};

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rm427-filecmd-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    static Bytes Read(const std::string& path) {
        Bytes b;
        std::string error;
        EXPECT_TRUE(ReadWholeFile(path, b, error)) << error;
        return b;
    }
    static void Write(const std::string& path, const Bytes& b) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                    static_cast<std::streamsize>(b.size()));
    }
    // A data file holding a recognisable image.
    std::string MakeDataFile(const std::string& name, std::uint8_t tag) {
        CodeplugImage img = Module1().Image;
        img[0] = tag;
        img[0xFFF] = tag;
        Bytes f;
        std::string error;
        EXPECT_TRUE(EncodeDataFile(img, f, error));
        Write(Path(name), f);
        return Path(name);
    }
    std::vector<std::string> DirEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    Module1 state;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    RecordingWindow window;
    FileCommands commands{state, boxes, dialogs, window};
};

}  // namespace

TEST_F(FileCommandsTest, NewAsksAndClearsOnlyOnOk) {
    state.Image[0x10] = 0x42;
    state.FileName = "/x/y.dat";
    const CodeplugImage snapshot = state.SavedImage;

    boxes.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(commands.New());
    EXPECT_EQ(state.Image[0x10], 0x42);
    EXPECT_EQ(window.refreshes, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "All data will be cleared.");
    EXPECT_EQ(boxes.shown[0].title, "Alert!");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(boxes.shown[0].defaultButton, 1);

    state.Language = 1;
    boxes.answers = {MsgAnswer::Ok};
    EXPECT_TRUE(commands.New());
    EXPECT_EQ(boxes.shown[1].text, "所有数据将被清空。");
    EXPECT_EQ(state.Image, Module1().Image);
    EXPECT_EQ(window.refreshes, 1);
    EXPECT_EQ(state.FileName, "/x/y.dat");
    EXPECT_EQ(state.SavedImage, snapshot);
    EXPECT_TRUE(window.captions.empty());
}

TEST_F(FileCommandsTest, OpenLoadsAFileAndResetsState) {
    const std::string path = MakeDataFile("a.dat", 0x21);
    state.FreqLimitLow = 136;
    state.EditLimitHigh = 174;
    dialogs.openAnswers = {path};
    EXPECT_TRUE(commands.Open());

    EXPECT_TRUE(boxes.shown.empty());  // unmodified: no question
    EXPECT_EQ(dialogs.openFilters, std::vector<std::string>{"DOV Data Files (*.dat)"});
    EXPECT_EQ(state.Image[0], 0x21);
    EXPECT_EQ(state.Image[0xFFF], 0x21);
    EXPECT_FALSE(state.ImageModified());
    EXPECT_EQ(state.FreqLimitLow, 100);
    EXPECT_EQ(state.EditLimitHigh, 550);
    EXPECT_EQ(state.FileName, path);
    EXPECT_EQ(window.refreshes, 1);
    EXPECT_EQ(window.captions, std::vector<std::string>{"RM-427[100 - 550 MHz]{ FileName: " + path + "]"});
}

TEST_F(FileCommandsTest, OpenOfBadOrUnreadableFilesChangesNothing) {
    state.Image[3] = 0x77;
    state.SnapshotImage();
    const Module1 before = state;

    // Malformed: a message, nothing changed.
    const std::string good = MakeDataFile("good.dat", 1);
    Bytes bytes = Read(good);
    std::vector<Bytes> bad = {Bytes{1, 2, 3, 4}, Bytes(bytes.begin(), bytes.end() - 2), bytes};
    bad[2].back() = 3;
    Bytes content = BuildDataFileContent(state.Image);
    content[0] = 's';
    content.push_back(0);
    bad.push_back(content);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        Write(Path("bad.dat"), bad[i]);
        dialogs.openAnswers = {Path("bad.dat")};
        boxes.shown.clear();
        EXPECT_FALSE(commands.Open()) << i;
        ASSERT_EQ(boxes.shown.size(), 1u) << i;
        EXPECT_EQ(boxes.shown[0].text, "Incorrect File Type.");
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
    }
    state.Language = 1;
    dialogs.openAnswers = {Path("bad.dat")};
    boxes.shown.clear();
    commands.Open();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "文件类型不正确。");
    state.Language = 0;

    // Cancelled dialog, empty file, missing file: silent.
    boxes.shown.clear();
    Write(Path("empty.dat"), {});
    for (const std::string& p : {std::string(), Path("empty.dat"), Path("missing.dat")}) {
        dialogs.openAnswers = {p};
        EXPECT_FALSE(commands.Open());
    }
    EXPECT_TRUE(boxes.shown.empty());

    EXPECT_EQ(state.Image, before.Image);
    EXPECT_EQ(state.SavedImage, before.SavedImage);
    EXPECT_EQ(state.FileName, before.FileName);
    EXPECT_EQ(window.refreshes, 0);
    EXPECT_TRUE(window.captions.empty());
}

TEST_F(FileCommandsTest, OpenWithUnsavedChangesEachAnswer) {
    const std::string other = MakeDataFile("other.dat", 0x33);
    const std::string mine = Path("mine.dat");
    Write(mine, {0xAB});

    // Cancel: nothing at all, not even the open dialog.
    state.FileName = mine;
    state.Image[7] = 0x01;
    boxes.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(commands.Open());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "File has been modified, save it now?");
    EXPECT_EQ(boxes.shown[0].title, "RM-427");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(dialogs.openFilters.empty());
    EXPECT_EQ(state.Image[7], 0x01);

    // No: straight to the open dialog, nothing written.
    boxes.answers = {MsgAnswer::No};
    dialogs.openAnswers = {""};
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(dialogs.openFilters.size(), 1u);
    EXPECT_EQ(Read(mine), Bytes{0xAB});
    EXPECT_EQ(state.Image[7], 0x01);

    // Yes with a named file: written without asking a name, then opened.
    boxes.answers = {MsgAnswer::Yes};
    dialogs.openAnswers = {other};
    EXPECT_TRUE(commands.Open());
    EXPECT_TRUE(dialogs.saveCalls.empty());
    CodeplugImage saved{};
    ASSERT_TRUE(DecodeDataFile(Read(mine), saved));
    EXPECT_EQ(saved[7], 0x01);
    EXPECT_EQ(state.Image[0], 0x33);
    EXPECT_EQ(state.FileName, other);
}

TEST_F(FileCommandsTest, OpenYesWhileUntitledGoesThroughSaveAs) {
    const std::string other = MakeDataFile("other.dat", 0x44);
    state.Image[9] = 0x09;

    // Cancelling the Save As dialog cancels Open.
    boxes.answers = {MsgAnswer::Yes};
    dialogs.saveAnswers = {""};
    dialogs.openAnswers = {other};
    EXPECT_FALSE(commands.Open());
    ASSERT_EQ(dialogs.saveCalls.size(), 1u);
    EXPECT_EQ(dialogs.saveCalls[0].first, "DOV Data Files (*.dat)");
    EXPECT_EQ(dialogs.saveCalls[0].second, "Untitled.dat");
    EXPECT_TRUE(dialogs.openFilters.empty());
    EXPECT_EQ(state.Image[9], 0x09);
    EXPECT_EQ(state.FileName, "Untitled.dat");
    EXPECT_FALSE(fs::exists("Untitled.dat"));

    // Choosing a name saves there, then the other file opens.
    boxes.answers = {MsgAnswer::Yes};
    dialogs.saveAnswers = {Path("kept.dat")};
    dialogs.openAnswers = {other};
    EXPECT_TRUE(commands.Open());
    CodeplugImage kept{};
    ASSERT_TRUE(DecodeDataFile(Read(Path("kept.dat")), kept));
    EXPECT_EQ(kept[9], 0x09);
    EXPECT_EQ(state.Image[0], 0x44);
    EXPECT_EQ(state.FileName, other);
}

TEST_F(FileCommandsTest, OpenStopsWhenTheRequestedSaveFails) {
    state.FileName = Path("no-such-dir/x.dat");
    state.Image[1] = 0x01;
    boxes.answers = {MsgAnswer::Yes};
    dialogs.openAnswers = {MakeDataFile("other.dat", 5)};
    EXPECT_FALSE(commands.Open());
    ASSERT_EQ(boxes.shown.size(), 2u);  // question, then the save error
    EXPECT_EQ(boxes.shown[1].title, "RM-427");
    EXPECT_TRUE(dialogs.openFilters.empty());
    EXPECT_EQ(state.Image[1], 0x01);
}

TEST_F(FileCommandsTest, SaveAndSaveAs) {
    // Untitled: Save goes through Save As; cancel writes nothing.
    EXPECT_FALSE(commands.Save());
    ASSERT_EQ(dialogs.saveCalls.size(), 1u);
    EXPECT_EQ(state.FileName, "Untitled.dat");
    EXPECT_TRUE(DirEntries().empty());

    state.Image[0x100] = 0x5A;
    ASSERT_TRUE(state.ImageModified());
    dialogs.saveAnswers = {Path("s.dat")};
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(state.FileName, Path("s.dat"));
    EXPECT_FALSE(state.ImageModified());  // snapshot refreshed by the save
    EXPECT_EQ(window.captions.back(), state.TitleText());
    CodeplugImage img{};
    ASSERT_TRUE(DecodeDataFile(Read(Path("s.dat")), img));
    EXPECT_EQ(img, state.Image);

    // Named: Save writes without a dialog, replacing the file.
    state.Image[0x100] = 0x5B;
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(dialogs.saveCalls.size(), 2u);
    ASSERT_TRUE(DecodeDataFile(Read(Path("s.dat")), img));
    EXPECT_EQ(img[0x100], 0x5B);
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"s.dat"});

    // Save As proposes the current name.
    dialogs.saveAnswers = {Path("t.dat")};
    EXPECT_TRUE(commands.SaveAs());
    EXPECT_EQ(dialogs.saveCalls.back().second, Path("s.dat"));
    EXPECT_EQ(DirEntries(), (std::vector<std::string>{"s.dat", "t.dat"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FileCommandsTest, SaveLeavesNoTemporaryFileInTheWorkingDirectory) {
    const fs::path cwd = fs::current_path();
    fs::create_directories(dir / "cwd");
    fs::current_path(dir / "cwd");
    state.FileName = Path("x.dat");
    const bool ok = commands.Save();
    fs::current_path(cwd);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(fs::is_empty(dir / "cwd"));
    EXPECT_EQ(DirEntries(), (std::vector<std::string>{"cwd", "x.dat"}));
}

TEST_F(FileCommandsTest, FailedSaveReportsAndKeepsTheOldFile) {
    // Directory missing: the system's description, FileName keeps the new value.
    dialogs.saveAnswers = {Path("missing/y.dat")};
    state.Image[2] = 2;
    EXPECT_FALSE(commands.SaveAs());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "No such file or directory");
    EXPECT_EQ(boxes.shown[0].title, "RM-427");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(state.FileName, Path("missing/y.dat"));
    EXPECT_TRUE(state.ImageModified());

    // Target in a read-only directory: the old file survives unchanged.
    fs::create_directories(dir / "ro");
    const std::string old = (dir / "ro" / "old.dat").string();
    Write(old, {1, 2, 3});
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    state.FileName = old;
    boxes.shown.clear();
    // Root ignores directory permissions: then the save runs in a child
    // process that has given them up.
    auto attempt = [&]() -> int {
        if (commands.Save()) return 1;
        if (boxes.shown.size() != 1 || boxes.shown[0].text != "Permission denied") return 2;
        return 0;
    };
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            ::_exit(attempt());
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: save succeeded, 2: wrong message, 3: setuid";
    } else {
        EXPECT_EQ(attempt(), 0) << "1: save succeeded, 2: wrong message";
    }
    EXPECT_EQ(Read(old), (Bytes{1, 2, 3}));
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir / "ro")) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"old.dat"});
}

TEST(FileIo, ReplaceKeepsOldFileWhenTargetIsADirectory) {
    const fs::path d = fs::temp_directory_path() / ("rm427-fileio-" + std::to_string(::getpid()));
    fs::create_directories(d / "target");
    std::string error;
    EXPECT_FALSE(ReplaceFileAtomic((d / "target").string(), {1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(d / "target"));
    EXPECT_TRUE(fs::is_empty(d / "target"));
    EXPECT_EQ(std::distance(fs::directory_iterator(d), fs::directory_iterator()), 1);
    fs::remove_all(d);
}
