#include "file/FileIo.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace rm427 {

namespace {

std::string Describe(int err) { return std::generic_category().message(err); }

std::string SizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string TooLarge(std::size_t limit) { return "the file is larger than " + SizeText(limit); }

const char* const kReadOnly = "the file is read-only";

// A short name for the temporary file, whatever the length of the target's
// name, so a valid name never becomes too long.
std::string TempName() {
    static std::atomic<unsigned> counter{0};
    unsigned long long x =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
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

// ---------------------------------------------------------------------------
// The platform layer: opening, writing and replacing files.
#ifdef _WIN32

// Every path the programs hand over is UTF-8; Windows takes it as UTF-16
// through the wide functions (the narrow ones would use the ANSI code page,
// and a Chinese name would not be found).
// (A malformed sequence becomes U+FFFD rather than an exception.)
std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    return w;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// The system's own description of a Windows error code, in UTF-8.
std::string DescribeSystem(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring w = n && text ? std::wstring(text, n) : std::wstring();
    if (text) ::LocalFree(text);
    while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ')) w.pop_back();
    if (w.empty()) return "Windows error " + std::to_string(code);
    return Narrow(w);
}

std::string LastError() { return DescribeSystem(::GetLastError()); }

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        if (!Ok()) return true;
        const bool ok = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE h, const std::vector<std::uint8_t>& data, std::string& error) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(h, data.data() + done, chunk, &written, nullptr)) {
            error = LastError();
            return false;
        }
        done += written;
    }
    return true;
}

bool ReadAll(const std::string& path, std::vector<std::uint8_t>& data, std::string& error,
             std::size_t limit) {
    const std::wstring w = Wide(path);
    const DWORD attrs = ::GetFileAttributesW(w.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = Describe(EISDIR);
        return false;
    }
    Handle h(::CreateFileW(w.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Ok()) {
        error = LastError();
        return false;
    }
    LARGE_INTEGER size{};
    if (limit && ::GetFileType(h.Get()) == FILE_TYPE_DISK && ::GetFileSizeEx(h.Get(), &size) &&
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        error = TooLarge(limit);
        return false;
    }
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(h.Get(), chunk, sizeof chunk, &got, nullptr)) {
            // The writer of a pipe closing is its end, not an error.
            if (::GetLastError() == ERROR_BROKEN_PIPE) break;
            error = LastError();
            return false;
        }
        if (got == 0) break;
        out.insert(out.end(), chunk, chunk + got);
        if (limit && out.size() > limit) {
            error = TooLarge(limit);
            return false;
        }
    }
    data.swap(out);
    return true;
}

// Creates tmp (it must not exist yet), writes data and flushes it to the
// disk. 0, or the Windows error code with error set.
DWORD WriteNew(const std::wstring& tmp, const std::vector<std::uint8_t>& data, std::string& error) {
    Handle h(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (!h.Ok()) {
        const DWORD code = ::GetLastError();
        error = DescribeSystem(code);
        return code;
    }
    DWORD code = 0;
    if (!WriteAll(h.Get(), data, error)) code = ERROR_WRITE_FAULT;  // error already set
    if (!code && !::FlushFileBuffers(h.Get())) code = ::GetLastError();
    if (!h.Close() && !code) code = ::GetLastError();
    if (code) {
        if (code != ERROR_WRITE_FAULT) error = DescribeSystem(code);
        ::DeleteFileW(tmp.c_str());
    }
    return code;
}

// A new temporary file with data beside target; its name, or empty.
std::wstring WriteTempBeside(const std::wstring& target, const std::vector<std::uint8_t>& data,
                             std::string& error) {
    fs::path folder = fs::path(target).parent_path();
    if (folder.empty()) folder = L".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring tmp = (folder / Wide(TempName())).wstring();
        const DWORD code = WriteNew(tmp, data, error);
        if (code == 0) return tmp;
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break;
    }
    return {};
}

// The file a link (or a chain of them) leads to, as a wide path; the path
// itself when it is no link or leads nowhere yet.
std::wstring FinalTarget(const std::wstring& w, DWORD attrs) {
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return w;
    Handle h(::CreateFileW(w.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr));
    if (!h.Ok()) return w;
    std::wstring buf(1024, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h.Get(), &buf[0], static_cast<DWORD>(buf.size()), 0);
    if (n >= buf.size()) {
        buf.assign(n + 1, L'\0');
        n = ::GetFinalPathNameByHandleW(h.Get(), &buf[0], static_cast<DWORD>(buf.size()), 0);
    }
    if (n == 0 || n >= buf.size()) return w;
    buf.resize(n);
    return buf;
}

// A console, NUL, a serial port or a pipe: such a target is written into.
bool IsDevice(const std::wstring& w) {
    Handle h(::CreateFileW(w.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr));
    return h.Ok() && ::GetFileType(h.Get()) != FILE_TYPE_DISK;
}

SaveResult SaveToPath(const std::string& path, const std::vector<std::uint8_t>& data, std::string& error,
                      bool replaceReadOnly, const KeepPrevious& /*keepPrevious*/) {
    const std::wstring named = Wide(path);
    const std::wstring target = FinalTarget(named, ::GetFileAttributesW(named.c_str()));
    const DWORD attrs = ::GetFileAttributesW(target.c_str());
    const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    if (exists && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        error = Describe(EISDIR);
        return SaveResult::Failed;
    }
    if (IsDevice(target)) {
        Handle h(::CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.Ok()) {
            error = LastError();
            return SaveResult::Failed;
        }
        return WriteAll(h.Get(), data, error) ? SaveResult::Saved : SaveResult::Failed;
    }
    const bool readOnly = exists && (attrs & FILE_ATTRIBUTE_READONLY);
    if (readOnly && !replaceReadOnly) {
        error = kReadOnly;
        return SaveResult::ReadOnly;
    }
    const std::wstring tmp = WriteTempBeside(target, data, error);
    if (tmp.empty()) return SaveResult::Failed;
    // A read-only file cannot be replaced: the mark is taken off for the
    // move and put back on the new file, as its other marks are.
    const DWORD keep = exists ? attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                         FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE)
                              : 0;
    if (readOnly) ::SetFileAttributesW(target.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!::MoveFileExW(tmp.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastError();
        ::DeleteFileW(tmp.c_str());
        if (readOnly) ::SetFileAttributesW(target.c_str(), attrs);
        return SaveResult::Failed;
    }
    if (keep) ::SetFileAttributesW(target.c_str(), keep);
    return SaveResult::Saved;
}

bool SameFileId(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(fs::path(Wide(a)), fs::path(Wide(b)), ec) && !ec;
}

bool ProbeFolder(const std::string& path, std::size_t size, std::string& error) {
    const std::wstring named = Wide(path);
    const std::wstring target = FinalTarget(named, ::GetFileAttributesW(named.c_str()));
    const std::wstring tmp = WriteTempBeside(target, std::vector<std::uint8_t>(size, 0), error);
    if (tmp.empty()) return false;
    ::DeleteFileW(tmp.c_str());
    return true;
}

bool ExistingWritable(const std::string& path, bool& exists, std::string& error) {
    const std::wstring named = Wide(path);
    const DWORD attrs =
        ::GetFileAttributesW(FinalTarget(named, ::GetFileAttributesW(named.c_str())).c_str());
    exists = attrs != INVALID_FILE_ATTRIBUTES;
    if (!exists) return true;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
        error = Describe(EISDIR);
        return false;
    }
    if (attrs & FILE_ATTRIBUTE_READONLY) {
        error = kReadOnly;
        return false;
    }
    return true;
}

#else  // POSIX

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

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
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string::npos)
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
bool IsReadOnly(const struct stat& st) { return (st.st_mode & 0222) == 0; }

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

// Reads what fd holds from its start.
bool ReadFromStart(int fd, std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        error = Describe(errno);
        return false;
    }
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = Describe(errno);
            return false;
        }
        if (got == 0) return true;
        out.insert(out.end(), chunk, chunk + got);
    }
}

// Makes fd hold exactly bytes, on the disk, and checks it by reading back.
bool PutContent(int fd, const std::vector<std::uint8_t>& bytes, std::string& error) {
    if (::lseek(fd, 0, SEEK_SET) != 0 || ::ftruncate(fd, 0) != 0) {
        error = Describe(errno);
        return false;
    }
    if (!WriteAll(fd, bytes, error)) return false;
    if (::fsync(fd) != 0) {
        error = Describe(errno);
        return false;
    }
    std::vector<std::uint8_t> back;
    if (!ReadFromStart(fd, back, error)) return false;
    if (back != bytes) {
        error = Describe(EIO);
        return false;
    }
    return true;
}

// Replacing target by a new file would lose its identity: the folder may
// not be written (rename refused, also in a sticky folder), its owner could
// not be kept, or its other names (hard links) would keep the old content.
bool ReplaceWouldChangeIt(const std::string& target, const struct stat& st) {
    if (st.st_nlink > 1) return true;
    if (::geteuid() != 0 && st.st_uid != ::geteuid()) return true;
    return ::access(FolderOf(target).c_str(), W_OK) != 0;
}

SaveResult WriteInPlace(const std::string& target, const std::vector<std::uint8_t>& data,
                        std::string& error, const KeepPrevious& keepPrevious) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = Describe(errno);
        return SaveResult::Failed;
    }
    std::vector<std::uint8_t> previous;
    if (!ReadFromStart(fd, previous, error)) {
        ::close(fd);
        return SaveResult::Failed;
    }
    if (keepPrevious) keepPrevious(previous);
    bool ok = PutContent(fd, data, error);
    if (!ok) {
        std::string ignored;
        error += PutContent(fd, previous, ignored) ? " (the file holds its previous content)"
                                                   : " (the file could not be given its previous "
                                                     "content back)";
    }
    if (::close(fd) != 0 && ok) {
        error = Describe(errno);
        ok = false;
    }
    return ok ? SaveResult::Saved : SaveResult::Failed;
}

SaveResult SaveToPath(const std::string& path, const std::vector<std::uint8_t>& data, std::string& error,
                      bool replaceReadOnly, const KeepPrevious& keepPrevious) {
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
    if (exists && ReplaceWouldChangeIt(target, st))
        return WriteInPlace(target, data, error, keepPrevious);

    std::string tmp;
    const int fd = CreateTemp(target, tmp, error);
    if (fd < 0) return SaveResult::Failed;
    bool ok = true;
    if (exists) {
        // Keep owner and permission bits; the owner can only be kept by root.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not ours to give away */
        }
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
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool ProbeFolder(const std::string& path, std::size_t size, std::string& error) {
    std::string target;
    if (!ResolveLinks(path, target, error)) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ReplaceWouldChangeIt(target, st)) {
        // Saved into the file itself: it must open for writing.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            error = Describe(errno);
            return false;
        }
        ::close(fd);
        return true;
    }
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

SaveResult SaveFile(const std::string& path, const std::vector<std::uint8_t>& data, std::string& error,
                    bool replaceReadOnly, const KeepPrevious& keepPrevious) {
    if (path.empty()) {
        error = Describe(ENOENT);
        return SaveResult::Failed;
    }
    return SaveToPath(path, data, error, replaceReadOnly, keepPrevious);
}

bool ReplaceFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data,
                       std::string& error) {
    return SaveFile(path, data, error) == SaveResult::Saved;
}

bool SameFile(const std::string& a, const std::string& b) { return SameFileId(a, b); }

bool CheckSaveTarget(const std::string& path, std::size_t size, std::string& error) {
    if (path.empty()) {
        error = Describe(ENOENT);
        return false;
    }
    bool exists = false;
    if (!ExistingWritable(path, exists, error)) return false;
    // A regular file is replaced through a new file in its folder: try one.
    std::error_code ec;
    // (u8path: the path is UTF-8, which Windows would read as ANSI otherwise.)
    if (exists && !fs::is_regular_file(fs::u8path(path), ec)) return true;
    return ProbeFolder(path, size, error);
}

}  // namespace rm427
