// Helpers the file tests share, for what differs between Windows and POSIX.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace rm427::test {

// Removes a test folder. Windows refuses to delete a read-only file, so the
// read-only marks are taken off first.
inline void RemoveTestFolder(const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
}

// The system's reason for a missing folder is its own text; on Windows that
// text is in the language of the system.
inline void ExpectMissingFolderReason(const std::string& reason) {
#ifdef _WIN32
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find("Windows error"), std::string::npos) << reason;
#else
    EXPECT_EQ(reason, "No such file or directory");
#endif
}

}  // namespace rm427::test
