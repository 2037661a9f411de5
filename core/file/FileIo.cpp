#include "file/FileIo.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define RM427_POSIX_IO 1
#endif

namespace fs = std::filesystem;

namespace rm427 {

namespace {

std::string Describe(int err) {
    return std::generic_category().message(err);
}

std::string TempNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    fs::path p(path);
    const std::string name = "." + p.filename().string() + ".tmp" + std::to_string(stamp % 1000000007ULL) +
                             "-" + std::to_string(counter++);
    return (p.parent_path() / name).string();
}

#ifdef RM427_POSIX_IO
// Writes data to a new file; false with errno-based error on failure.
bool WriteNewFile(const std::string& tmp, const std::vector<std::uint8_t>& data, std::string& error) {
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = Describe(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            error = Describe(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = Describe(errno);
        return false;
    }
    return true;
}
#else
bool WriteNewFile(const std::string& tmp, const std::vector<std::uint8_t>& data, std::string& error) {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = Describe(errno);
        return false;
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        error = Describe(ok ? errno : err);
        return false;
    }
    return true;
}
#endif

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = Describe(errno);
        return false;
    }
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        error = Describe(err ? err : EIO);
        return false;
    }
    data.swap(out);
    return true;
}

bool ReplaceFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data,
                       std::string& error) {
    if (path.empty()) {
        error = Describe(ENOENT);
        return false;
    }
    std::error_code ec;
    // A link is followed: the file it points to is replaced, the link kept.
    std::string target = path;
    if (fs::is_symlink(path, ec)) {
        const fs::path real = fs::weakly_canonical(path, ec);
        if (!ec) target = real.string();
    }
    if (fs::is_directory(target, ec)) {
        error = Describe(EISDIR);
        return false;
    }
    const std::string tmp = TempNameBeside(target);
    if (!WriteNewFile(tmp, data, error)) {
        fs::remove(tmp, ec);
        return false;
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        error = ec.message();
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return false;
    }
    return true;
}

}  // namespace rm427
