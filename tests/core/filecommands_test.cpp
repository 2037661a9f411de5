#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "FileTestHelpers.h"
#include "file/DataFile.h"
#include "file/FileCommands.h"
#include "file/FileIo.h"
#include "text/TextTable.h"

using namespace rm427;
namespace fs = std::filesystem;

namespace {

// Scripted seams: answers are taken in order; an exhausted script answers
// Ok / cancels. Everything shown is recorded.
struct Script : MessageBoxes, FileDialogs, FileWindow {
    std::deque<MsgAnswer> answers;
    std::deque<std::string> openPaths, savePaths;
    std::vector<MessageRequest> boxes;
    std::vector<std::string> openFilters, saveProposed, captions;
    int refreshes = 0;

    MsgAnswer Show(const MessageRequest& r) override {
        boxes.push_back(r);
        return answers.empty() ? MsgAnswer::Ok : Pop(answers);
    }
    std::string GetOpenFileName(const std::string& filter) override {
        openFilters.push_back(filter);
        return openPaths.empty() ? std::string() : Pop(openPaths);
    }
    std::string GetSaveFileName(const std::string& filter, const std::string& proposed) override {
        EXPECT_EQ(filter, "DOV Data Files (*.dat)");
        saveProposed.push_back(proposed);
        return savePaths.empty() ? std::string() : Pop(savePaths);
    }
    void RefreshChannel() override { ++refreshes; }
    void SetCaption(const std::string& c) override { captions.push_back(c); }
    template <class T>
    static T Pop(std::deque<T>& q) {
        T v = q.front();
        q.pop_front();
        return v;
    }
};

void ExpectBox(const MessageRequest& b, const std::string& text, const char* title, MsgIcon icon,
               MsgButtons buttons) {
    EXPECT_EQ(b.text, text);
    EXPECT_EQ(b.title, title);
    EXPECT_EQ(b.icon, icon);
    EXPECT_EQ(b.buttons, buttons);
}

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("rm427-filecmd-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        test::RemoveTestFolder(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { test::RemoveTestFolder(dir); }

    std::string P(const std::string& name) const { return (dir / name).string(); }
    static Bytes Read(const std::string& path) {
        Bytes b;
        std::string e;
        ReadWholeFile(path, b, e);
        return b;
    }
    static void Write(const std::string& path, const Bytes& b) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    static CodeplugImage Decoded(const std::string& path) {
        CodeplugImage img{};
        EXPECT_TRUE(DecodeDataFile(Read(path), img)) << path;
        return img;
    }
    // A data file whose image starts with tag.
    std::string DataFile(const std::string& name, std::uint8_t tag) {
        CodeplugImage img = Module1().Image;
        img[0] = tag;
        Bytes f;
        std::string e;
        EncodeDataFile(img, f, e);
        Write(P(name), f);
        return P(name);
    }
    static std::vector<std::string> Entries(const fs::path& d) {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(d)) v.push_back(e.path().filename().u8string());
        return std::sort(v.begin(), v.end()), v;
    }

    fs::path dir;
    Module1 state;
    Script ui;
    FileCommands commands{state, ui, ui, ui};
};

}  // namespace

TEST_F(FileCommandsTest, NewAsksAndClearsOnlyOnOk) {
    state.Image[0x10] = 0x42;
    state.FileName = "/x/y.dat";
    const CodeplugImage snapshot = state.SavedImage;
    ui.answers = {MsgAnswer::Cancel, MsgAnswer::Ok};
    EXPECT_FALSE(commands.New());
    EXPECT_EQ(state.Image[0x10], 0x42);
    EXPECT_EQ(ui.refreshes, 0);
    ExpectBox(ui.boxes.at(0), "All data will be cleared.", "Alert!", MsgIcon::Exclamation,
              MsgButtons::OkCancel);
    EXPECT_EQ(ui.boxes[0].defaultButton, 1);

    state.Language = 1;
    EXPECT_TRUE(commands.New());
    EXPECT_EQ(ui.boxes.at(1).text, "所有数据将被清空。");
    EXPECT_EQ(state.Image, Module1().Image);
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(state.FileName, "/x/y.dat");
    EXPECT_EQ(state.SavedImage, snapshot);
}

TEST_F(FileCommandsTest, OpenRefusesBadFilesThenLoadsAGoodOne) {
    state.Image[3] = 0x77;
    state.SnapshotImage();
    const Module1 before = state;
    Bytes good = Read(DataFile("good.dat", 1));
    Bytes wrongTrailer = good, wrongMarker = BuildDataFileContent(state.Image);
    wrongTrailer.back() = 3;
    wrongMarker[0] = 's';
    wrongMarker.push_back(0);
    for (const Bytes& bad :
         {Bytes{1, 2, 3, 4}, Bytes(good.begin(), good.end() - 2), wrongTrailer, wrongMarker}) {
        Write(P("bad.dat"), bad);
        ui.openPaths = {P("bad.dat")};
        ui.boxes.clear();
        EXPECT_FALSE(commands.Open());
        ASSERT_EQ(ui.boxes.size(), 1u);
        ExpectBox(ui.boxes[0], "Incorrect File Type.", "Error", MsgIcon::Critical, MsgButtons::Ok);
    }
    // Cancelled dialog, empty file, missing file: silent.
    ui.boxes.clear();
    Write(P("empty.dat"), {});
    ui.openPaths = {"", P("empty.dat"), P("missing.dat")};
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(commands.Open());
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_EQ(state.Image, before.Image);
    EXPECT_EQ(state.SavedImage, before.SavedImage);
    EXPECT_EQ(state.FileName, before.FileName);
    EXPECT_EQ(ui.refreshes, 0);
    EXPECT_TRUE(ui.captions.empty());

    // Then a good one.
    const std::string path = DataFile("a.dat", 0x21);
    state.FreqLimitLow = 136;
    state.EditLimitHigh = 174;
    ui.openPaths = {path};
    ui.openFilters.clear();
    EXPECT_TRUE(commands.Open());
    EXPECT_TRUE(ui.boxes.empty());  // unmodified: no question
    EXPECT_EQ(ui.openFilters, std::vector<std::string>{"DOV Data Files (*.dat)"});
    EXPECT_EQ(state.Image[0], 0x21);
    EXPECT_FALSE(state.ImageModified());
    EXPECT_EQ(state.FreqLimitLow, 100);
    EXPECT_EQ(state.EditLimitHigh, 550);
    EXPECT_EQ(state.FileName, path);
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(ui.captions, std::vector<std::string>{"RM-427[100 - 550 MHz]{ FileName: " + path + "]"});
}

TEST_F(FileCommandsTest, OpenWithUnsavedChangesEachAnswer) {
    const std::string other = DataFile("other.dat", 0x33), mine = P("mine.dat");
    Write(mine, {0xAB});
    state.FileName = mine;
    state.Image[7] = 0x01;

    ui.answers = {MsgAnswer::Cancel};  // nothing at all, not even the dialog
    EXPECT_FALSE(commands.Open());
    ExpectBox(ui.boxes.at(0), "File has been modified, save it now?", "RM-427", MsgIcon::Exclamation,
              MsgButtons::YesNoCancel);
    EXPECT_TRUE(ui.openFilters.empty());

    ui.answers = {MsgAnswer::No};  // straight to the dialog, nothing written
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(ui.openFilters.size(), 1u);
    EXPECT_EQ(Read(mine), Bytes{0xAB});
    EXPECT_EQ(state.Image[7], 0x01);

    ui.answers = {MsgAnswer::Yes};  // saved under its name, then opened
    ui.openPaths = {other};
    EXPECT_TRUE(commands.Open());
    EXPECT_TRUE(ui.saveProposed.empty());
    EXPECT_EQ(Decoded(mine)[7], 0x01);
    EXPECT_EQ(state.Image[0], 0x33);
    EXPECT_EQ(state.FileName, other);
}

TEST_F(FileCommandsTest, OpenYesWhileUntitledGoesThroughSaveAs) {
    const std::string other = DataFile("other.dat", 0x44);
    state.Image[9] = 0x09;
    ui.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    ui.openPaths = {other};
    ui.savePaths = {""};  // cancelling Save As cancels Open
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(ui.saveProposed, std::vector<std::string>{"Untitled.dat"});
    EXPECT_TRUE(ui.openFilters.empty());
    EXPECT_EQ(state.Image[9], 0x09);
    EXPECT_EQ(state.FileName, "Untitled.dat");
    EXPECT_FALSE(fs::exists("Untitled.dat"));

    ui.savePaths = {P("kept.dat")};
    EXPECT_TRUE(commands.Open());
    EXPECT_EQ(Decoded(P("kept.dat"))[9], 0x09);
    EXPECT_EQ(state.Image[0], 0x44);
    EXPECT_EQ(state.FileName, other);

    // A save that fails also keeps the changes and stops Open.
    state.Image[1] = 0x01;
    state.FileName = P("no-such-dir/x.dat");
    ui.answers = {MsgAnswer::Yes};
    ui.openPaths = {other};
    ui.boxes.clear();
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(ui.boxes.size(), 2u);  // the question, then the save error
    EXPECT_EQ(ui.openFilters.size(), 1u);
    EXPECT_EQ(state.Image[1], 0x01);
}

TEST_F(FileCommandsTest, SaveAndSaveAsReplaceInPlaceWithoutStrayFiles) {
    const fs::path cwd = fs::current_path();
    fs::create_directories(dir / "cwd");
    fs::current_path(dir / "cwd");  // no temporary file may appear here

    EXPECT_FALSE(commands.Save());  // untitled: Save As, cancelled
    EXPECT_EQ(ui.saveProposed.size(), 1u);
    EXPECT_EQ(state.FileName, "Untitled.dat");

    state.Image[0x100] = 0x5A;
    ui.savePaths = {P("s.dat")};
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(state.FileName, P("s.dat"));
    EXPECT_FALSE(state.ImageModified());  // the save refreshed the snapshot
    EXPECT_EQ(ui.captions.back(), state.TitleText());
    EXPECT_EQ(Decoded(P("s.dat")), state.Image);

    state.Image[0x100] = 0x5B;  // named: no dialog, file replaced
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(ui.saveProposed.size(), 2u);
    EXPECT_EQ(Decoded(P("s.dat"))[0x100], 0x5B);

    ui.savePaths = {P("t.dat")};
    EXPECT_TRUE(commands.SaveAs());
    EXPECT_EQ(ui.saveProposed.back(), P("s.dat"));
    fs::current_path(cwd);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"cwd", "s.dat", "t.dat"}));

    // Saving through links: fileio_test LinksAreFollowedAndKept.
    EXPECT_TRUE(fs::is_empty(dir / "cwd"));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(FileCommandsTest, FailedSaveReportsAndKeepsTheOldFile) {
    ui.savePaths = {P("missing/y.dat")};
    state.Image[2] = 2;
    EXPECT_FALSE(commands.SaveAs());
    ASSERT_EQ(ui.boxes.size(), 1u);
    test::ExpectMissingFolderReason(ui.boxes[0].text);
    ExpectBox(ui.boxes[0], ui.boxes[0].text, "RM-427", MsgIcon::Exclamation, MsgButtons::Ok);
    EXPECT_EQ(state.FileName, P("missing/y.dat"));  // Save As set it
    EXPECT_TRUE(state.ImageModified());

#ifndef _WIN32
    // Target in a read-only directory (on Windows a folder's read-only mark
    // does not keep new files out). Root ignores directory permissions,
    // so then the save runs in a child process that gives them up.
    fs::create_directories(dir / "ro");
    state.FileName = (dir / "ro" / "old.dat").string();
    Write(state.FileName, {1, 2, 3});
    fs::permissions(dir / "ro",
                    fs::perms::others_write | fs::perms::group_write | fs::perms::owner_write,
                    fs::perm_options::remove);
    ui.boxes.clear();
    auto attempt = [&]() -> int {
        if (commands.Save()) return 1;
        return ui.boxes.size() == 1 && ui.boxes[0].text == "Permission denied" ? 0 : 2;
    };
    int result = 0;
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? attempt() : 3);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        result = WIFEXITED(status) ? WEXITSTATUS(status) : 4;
    } else {
        result = attempt();
    }
    EXPECT_EQ(result, 0) << "1: save succeeded, 2: wrong message, 3: setuid failed";
    EXPECT_EQ(Read(state.FileName), (Bytes{1, 2, 3}));
    EXPECT_EQ(Entries(dir / "ro"), std::vector<std::string>{"old.dat"});
    fs::permissions(dir / "ro", fs::perms::owner_all);
#endif
}

TEST_F(FileCommandsTest, ReadOnlyFileIsReplacedOnlyWhenTheUserSaysYes) {
    state.FileName = DataFile("ro.dat", 0x11);
    ::chmod(state.FileName.c_str(), 0444);
    state.Image[0] = 0x22;
    for (int language : {1, 0}) {
        state.Language = static_cast<std::uint8_t>(language);
        ui.answers = {MsgAnswer::No};
        EXPECT_FALSE(commands.Save());
        ASSERT_EQ(ui.boxes.size(), 1u);
        ExpectBox(ui.boxes[0], state.FileName + "\n" + LoadText(language, 3600), "RM-427",
                  MsgIcon::Exclamation, MsgButtons::YesNo);
        EXPECT_EQ(ui.boxes[0].defaultButton, 1);
        EXPECT_EQ(Decoded(state.FileName)[0], 0x11);
        EXPECT_TRUE(state.ImageModified());
        ui.boxes.clear();
    }
    EXPECT_EQ(LoadText(0, 3600), "This file is read-only. Replace it anyway?");

    ui.answers = {MsgAnswer::Yes};
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Decoded(state.FileName)[0], 0x22);
    EXPECT_FALSE(state.ImageModified());
    EXPECT_EQ(fs::status(state.FileName).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// Chinese file and folder names, as many users have them: the file is saved
// under its own name, replaced, opened again, and a missing folder is
// refused with the system's reason.
TEST_F(FileCommandsTest, ChineseFileAndFolderNames) {
    const fs::path folder = dir / fs::u8path("数据文件夹");
    fs::create_directories(folder);
    const std::string name = (folder / fs::u8path("测试文件.dat")).u8string();

    state.Image[0x100] = 0x5A;
    ui.savePaths = {name};
    EXPECT_TRUE(commands.SaveAs());
    EXPECT_EQ(state.FileName, name);
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"测试文件.dat"});
    EXPECT_EQ(Decoded(name)[0x100], 0x5A);

    state.Image[0x100] = 0x5B;  // Save replaces the existing file
    EXPECT_TRUE(commands.Save());
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"测试文件.dat"});
    EXPECT_TRUE(ui.boxes.empty());

    Module1 other;
    Script otherUi;
    FileCommands otherCommands{other, otherUi, otherUi, otherUi};
    otherUi.openPaths = {name};
    EXPECT_TRUE(otherCommands.Open());
    EXPECT_EQ(other.FileName, name);
    EXPECT_EQ(other.Image, state.Image);
    EXPECT_TRUE(otherUi.boxes.empty());

    const fs::path missing = dir / fs::u8path("没有的文件夹");
    ui.savePaths = {(missing / fs::u8path("测试文件.dat")).u8string()};
    EXPECT_FALSE(commands.SaveAs());
    ASSERT_EQ(ui.boxes.size(), 1u);
    test::ExpectMissingFolderReason(ui.boxes[0].text);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(Decoded(name)[0x100], 0x5B);
}
