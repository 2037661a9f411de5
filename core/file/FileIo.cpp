#include "file/FileIo.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace rm427 {

namespace {

std::string Describe(int err) {
    return std::generic_category().message(err);
}

std::string SizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string TooLarge(std::size_t limit) {
    return "the file is larger than " + SizeText(limit);
}

const char* const kReadOnly = "the file is read-only";

// A short name for the temporary file, whatever the length of the target's
// name, so a valid name never becomes too long.
std::string TempName() {
    static std::atomic<unsigned> counter{0};
    unsigned long long x = static_cast<unsigned long long>(
                               std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           (static_cast<unsigned long long>(counter++) << 40);
#ifndef _WIN32
    x ^= static_cast<unsigned long long>(::getpid()) << 20;
#endif
    x *= 0x9E3779B97F4A7C15ULL;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".rm427-";
    for (int i = 0; i < 6; ++i) {
        name.push_back(digits[x % 36]);
        x /= 36;
    }
    return name;
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// ---------------------------------------------------------------------------
// The platform layer: opening, writing and replacing files.
#ifdef _WIN32

bool ReadAll(const std::string& path, std::vector<std::uint8_t>& data, std::string& error,
             std::size_t limit) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = Describe(errno);
        return false;
    }
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    bool tooLarge = false;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
        out.insert(out.end(), chunk, chunk + got);
        if (limit && out.size() > limit) {
            tooLarge = true;
            break;
        }
        if (got < sizeof chunk) break;
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (tooLarge) {
        error = TooLarge(limit);
        return false;
    }
    if (failed) {
        error = Describe(err ? err : EIO);
        return false;
    }
    data.swap(out);
    return true;
}

bool WriteNew(const std::string& tmp, const std::vector<std::uint8_t>& data, std::string& error) {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = Describe(errno);
        return false;
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size() &&
                    std::fflush(f) == 0;
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        error = Describe(ok ? errno : err);
        return false;
    }
    return true;
}

SaveResult SaveToPath(const std::string& path, const std::vector<std::uint8_t>& data,
                      std::string& error, bool replaceReadOnly) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (fs::is_directory(st)) {
        error = Describe(EISDIR);
        return SaveResult::Failed;
    }
    if (fs::exists(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none &&
        !replaceReadOnly) {
        error = kReadOnly;
        return SaveResult::ReadOnly;
    }
    const std::string tmp = (fs::path(FolderOf(path)) / TempName()).string();
    if (!WriteNew(tmp, data, error)) {
        fs::remove(tmp, ec);
        return SaveResult::Failed;
    }
    if (fs::exists(st)) fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::rename(tmp, path, ec);
    if (ec) {
        error = ec.message();
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

bool SameFileId(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool ProbeFolder(const std::string& path, std::size_t size, std::string& error) {
    const std::string tmp = (fs::path(FolderOf(path)) / TempName()).string();
    const bool ok = WriteNew(tmp, std::vector<std::uint8_t>(size, 0), error);
    std::error_code ec;
    fs::remove(tmp, ec);
    return ok;
}

bool ExistingWritable(const std::string& path, bool& exists, std::string& error) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    exists = fs::exists(st);
    if (!exists) return true;
    if (fs::is_directory(st)) {
        error = Describe(EISDIR);
        return false;
    }
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) {
        error = kReadOnly;
        return false;
    }
    return true;
}

#else  // POSIX

bool WriteAll(int fd, const std::vector<std::uint8_t>& data, std::string& error) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            error = Describe(errno);
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

// fsync is refused by terminals, pipes and some devices: that is no failure.
bool SyncIfPossible(int fd, std::string& error) {
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP) return true;
    error = Describe(errno);
    return false;
}

bool ReadAll(const std::string& path, std::vector<std::uint8_t>& data, std::string& error,
             std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = Describe(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            error = Describe(EISDIR);
            return false;
        }
        if (limit && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit) {
            ::close(fd);
            error = TooLarge(limit);
            return false;
        }
    }
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = Describe(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        out.insert(out.end(), chunk, chunk + got);
        // A device or pipe may never end: stop at the limit.
        if (limit && out.size() > limit) {
            ::close(fd);
            error = TooLarge(limit);
            return false;
        }
    }
    ::close(fd);
    data.swap(out);
    return true;
}

// "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1": the descriptor the program
// already holds, so a redirection (also ">>") is honoured. -1 otherwise.
int OwnDescriptor(const std::string& path) {
    std::string number;
    if (path == "/dev/stdin") number = "0";
    else if (path == "/dev/stdout") number = "1";
    else if (path == "/dev/stderr") number = "2";
    else if (path.rfind("/dev/fd/", 0) == 0) number = path.substr(8);
    else if (path.rfind("/proc/self/fd/", 0) == 0) number = path.substr(14);
    if (number.empty() || number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int fd = std::stoi(number);
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? fd : -1;
}

// Follows symbolic links (also dangling ones) to the name that is to be
// replaced. False with error on a loop.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error) {
    std::string cur = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = cur;
            return true;
        }
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(cur.c_str(), buf.data(), buf.size());
        if (n < 0) {
            error = Describe(errno);
            return false;
        }
        const std::string link(buf.data(), static_cast<std::size_t>(n));
        cur = link[0] == '/' ? link : (fs::path(FolderOf(cur)) / link).string();
    }
    error = Describe(ELOOP);
    return false;
}

// Marked read-only: nobody may write it (root too, as editors see it). A file
// that is only someone else's is left to the system's own refusal.
bool IsReadOnly(const struct stat& st) {
    return (st.st_mode & 0222) == 0;
}

// Creates a new temporary file beside target; fd and its name, or -1.
int CreateTemp(const std::string& target, std::string& tmp, std::string& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = (fs::path(FolderOf(target)) / TempName()).string();
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) {
            error = Describe(errno);
            return -1;
        }
    }
    error = Describe(EEXIST);
    return -1;
}

void SyncFolder(const std::string& target) {
    const int dfd = ::open(FolderOf(target).c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (dfd < 0) return;
    ::fsync(dfd);
    ::close(dfd);
}

SaveResult WriteStraightInto(int fd, const std::vector<std::uint8_t>& data, std::string& error) {
    return WriteAll(fd, data, error) && SyncIfPossible(fd, error) ? SaveResult::Saved
                                                                    : SaveResult::Failed;
}

SaveResult SaveToPath(const std::string& path, const std::vector<std::uint8_t>& data,
                      std::string& error, bool replaceReadOnly) {
    const int own = OwnDescriptor(path);
    if (own >= 0) return WriteStraightInto(own, data, error);

    std::string target;
    if (!ResolveLinks(path, target, error)) return SaveResult::Failed;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error = Describe(EISDIR);
        return SaveResult::Failed;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A terminal, a device node, a FIFO or a socket: write into it.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            error = Describe(errno);
            return SaveResult::Failed;
        }
        const SaveResult r = WriteStraightInto(fd, data, error);
        if (::close(fd) != 0 && r == SaveResult::Saved) {
            error = Describe(errno);
            return SaveResult::Failed;
        }
        return r;
    }
    if (exists && IsReadOnly(st) && !replaceReadOnly) {
        error = kReadOnly;
        return SaveResult::ReadOnly;
    }

    std::string tmp;
    const int fd = CreateTemp(target, tmp, error);
    if (fd < 0) return SaveResult::Failed;
    bool ok = true;
    if (exists) {
        // Keep owner and permission bits; the owner can only be kept by root.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not ours to give away */ }
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
        if (!ok) error = Describe(errno);
    }
    ok = ok && WriteAll(fd, data, error);
    if (ok && ::fsync(fd) != 0) {
        error = Describe(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = Describe(errno);
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
        error = Describe(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        return SaveResult::Failed;
    }
    SyncFolder(target);
    return SaveResult::Saved;
}

bool SameFileId(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool ProbeFolder(const std::string& path, std::size_t size, std::string& error) {
    std::string target;
    if (!ResolveLinks(path, target, error)) return false;
    std::string tmp;
    const int fd = CreateTemp(target, tmp, error);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, std::vector<std::uint8_t>(size, 0), error);
    if (ok && ::fsync(fd) != 0) {
        error = Describe(errno);
        ok = false;
    }
    ::close(fd);
    ::unlink(tmp.c_str());
    return ok;
}

// An existing target: fine when it can be written (a device node by opening
// it would be too late to learn much more). exists tells whether there is one.
bool ExistingWritable(const std::string& path, bool& exists, std::string& error) {
    if (OwnDescriptor(path) >= 0) {
        exists = true;
        return true;
    }
    struct stat st {};
    exists = ::stat(path.c_str(), &st) == 0;
    if (!exists) return true;
    if (S_ISDIR(st.st_mode)) {
        error = Describe(EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (::access(path.c_str(), W_OK) == 0) return true;
        error = Describe(errno);
        return false;
    }
    if (IsReadOnly(st)) {
        error = kReadOnly;
        return false;
    }
    return true;
}

#endif
// ---------------------------------------------------------------------------

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data, std::string& error,
                   std::size_t limit) {
    return ReadAll(path, data, error, limit);
}

SaveResult SaveFile(const std::string& path, const std::vector<std::uint8_t>& data,
                    std::string& error, bool replaceReadOnly) {
    if (path.empty()) {
        error = Describe(ENOENT);
        return SaveResult::Failed;
    }
    return SaveToPath(path, data, error, replaceReadOnly);
}

bool ReplaceFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data,
                       std::string& error) {
    return SaveFile(path, data, error) == SaveResult::Saved;
}

bool SameFile(const std::string& a, const std::string& b) {
    return SameFileId(a, b);
}

bool CheckSaveTarget(const std::string& path, std::size_t size, std::string& error) {
    if (path.empty()) {
        error = Describe(ENOENT);
        return false;
    }
    bool exists = false;
    if (!ExistingWritable(path, exists, error)) return false;
    // A regular file is replaced through a new file in its folder: try one.
    std::error_code ec;
    if (exists && !fs::is_regular_file(path, ec)) return true;
    return ProbeFolder(path, size, error);
}

}  // namespace rm427
