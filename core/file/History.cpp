#include "file/History.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <system_error>

#include "file/DataFile.h"
#include "file/FileIo.h"
#include "image/ModelTable.h"
#include "text/TextTable.h"

namespace rm427 {

namespace fs = std::filesystem;

namespace {
const char* const kKinds[] = {"read", "write", "save", "before-write", "fleet"};
constexpr int kKindCount = 5;
const char* Extension(HistoryKind kind) { return kind == HistoryKind::Fleet ? ".csv" : ".dat"; }

bool IsDigits(const std::string& s, std::size_t from, std::size_t n) {
    if (from + n > s.size()) return false;
    return std::all_of(s.begin() + from, s.begin() + from + n,
                       [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

const char* HistoryKindName(HistoryKind kind) { return kKinds[static_cast<int>(kind)]; }

HistoryTime HistoryTime::Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    const int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
}

std::string HistoryEntryName(const HistoryTime& t, HistoryKind kind, const std::string& source) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%03d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    std::string base = source.substr(
        source.find_last_of("/\\") == std::string::npos ? 0 : source.find_last_of("/\\") + 1);
    // Other scripts are kept; a byte that is no part of a whole UTF-8
    // character becomes '_' (Windows cannot name a file with it), and the
    // name is cut to 80 bytes between characters, never inside one.
    std::string safe;
    for (std::size_t i = 0; i < base.size();) {
        const auto c = static_cast<unsigned char>(base[i]);
        std::size_t n = c < 0x80             ? 1
                        : (c & 0xE0) == 0xC0 ? 2
                        : (c & 0xF0) == 0xE0 ? 3
                        : (c & 0xF8) == 0xF0 ? 4
                                             : 0;
        bool whole = n > 0 && i + n <= base.size() && !(n == 2 && c < 0xC2) && !(n == 4 && c > 0xF4);
        for (std::size_t k = 1; whole && k < n; ++k)
            whole = (static_cast<unsigned char>(base[i + k]) & 0xC0) == 0x80;
        if (whole && n == 3) {  // no overlong forms, no surrogates
            const auto c1 = static_cast<unsigned char>(base[i + 1]);
            whole = !(c == 0xE0 && c1 < 0xA0) && !(c == 0xED && c1 >= 0xA0);
        }
        if (whole && n == 4) {
            const auto c1 = static_cast<unsigned char>(base[i + 1]);
            whole = !(c == 0xF0 && c1 < 0x90) && !(c == 0xF4 && c1 >= 0x90);
        }
        if (!whole) n = 1;
        std::string ch = whole ? base.substr(i, n) : "_";
        if (ch.size() == 1 && (c < 0x20 || std::string("<>:\"/\\|?*").find(ch[0]) != std::string::npos))
            ch = "_";
        if (safe.size() + ch.size() > 80) break;
        safe += ch;
        i += n;
    }
    return std::string(stamp) + "_" + HistoryKindName(kind) + "_" + safe + Extension(kind);
}

bool ParseHistoryEntryName(const std::string& name, HistoryEntry& e) {
    // 8 digits - 6 digits - 3 digits _ kind _ source .dat (.csv for a fleet log)
    if (name.size() < 24 || !IsDigits(name, 0, 8) || name[8] != '-' || !IsDigits(name, 9, 6) ||
        name[15] != '-' || !IsDigits(name, 16, 3) || name[19] != '_')
        return false;
    const auto bar = name.find('_', 20);
    if (bar == std::string::npos || bar + 4 > name.size()) return false;
    const std::string kind = name.substr(20, bar - 20);
    int k = -1;
    for (int i = 0; i < kKindCount; ++i)
        if (kind == kKinds[i]) k = i;
    if (k < 0 || name.compare(name.size() - 4, 4, Extension(static_cast<HistoryKind>(k))) != 0)
        return false;
    e.kind = static_cast<HistoryKind>(k);
    e.source = name.substr(bar + 1, name.size() - 4 - bar - 1);
    e.time = name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " +
             name.substr(9, 2) + ":" + name.substr(11, 2) + ":" + name.substr(13, 2);
    return true;
}

std::vector<HistoryEntry> ListHistory(const std::string& folder) {
    std::vector<HistoryEntry> out;
    std::error_code ec;
    for (fs::directory_iterator it(fs::u8path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        HistoryEntry e;
        if (!it->is_regular_file(ec) || !ParseHistoryEntryName(it->path().filename().u8string(), e))
            continue;
        e.path = it->path().u8string();
        out.push_back(e);
    }
    // The name starts with the time: name order is time order.
    std::sort(out.begin(), out.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
        return fs::u8path(a.path).filename() > fs::u8path(b.path).filename();
    });
    return out;
}

bool LoadHistoryEntry(const HistoryEntry& entry, CodeplugImage& image) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    return ReadWholeFile(entry.path, bytes, error, kDataFileLimit) && DecodeDataFile(bytes, image);
}

void PruneHistory(const std::string& folder, std::size_t keep, const std::string& newest) {
    const auto entries = ListHistory(folder);  // newest name first
    if (entries.size() <= keep) return;
    const std::string added = newest.empty() ? "" : fs::u8path(newest).filename().u8string();
    // The one just added is never removed, whatever its time says. Entries
    // stamped later than it were made before the clock was set back: they
    // are older than it looks, and go first.
    std::vector<std::string> ahead, rest;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string name = fs::u8path(it->path).filename().u8string();
        if (name == added) continue;
        (!added.empty() && name.compare(0, 19, added, 0, 19) > 0 ? ahead : rest).push_back(it->path);
    }
    ahead.insert(ahead.end(), rest.begin(), rest.end());
    std::error_code ec;
    for (std::size_t i = 0; i < entries.size() - keep && i < ahead.size(); ++i)
        fs::remove(fs::u8path(ahead[i]), ec);
}

bool AddHistoryEntry(const std::string& folder, HistoryKind kind, const std::string& source,
                     const CodeplugImage& image, std::string& error, const HistoryTime& when,
                     std::size_t keep, std::string* written) {
    std::error_code ec;
    fs::create_directories(fs::u8path(folder), ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    std::vector<std::uint8_t> file;
    if (!EncodeDataFile(image, file, error)) return false;
    // Two entries in the same millisecond: the later one moves on by a millisecond.
    HistoryTime t = when;
    fs::path path;
    for (int tries = 0; tries < 1000; ++tries) {
        path = fs::u8path(folder) / fs::u8path(HistoryEntryName(t, kind, source));
        if (!fs::exists(path, ec)) break;
        if (++t.millisecond == 1000) {
            t.millisecond = 0;
            ++t.second;  // 60 sorts after 59 and is never parsed as a clock
        }
    }
    if (!ReplaceFileAtomic(path.u8string(), file, error)) return false;
    PruneHistory(folder, keep, path.u8string());
    if (written) *written = path.u8string();
    return true;
}

std::string HistoryRecorder::Record(int language, HistoryKind kind, const std::string& source,
                                    const CodeplugImage& image) {
    std::string error;
    lastEntry_.clear();
    try {
        if (folder_.empty()) error = "no data folder";
        else if (AddHistoryEntry(folder_, kind, source, image, error, HistoryTime::Now(), kHistoryKeep,
                                 &lastEntry_))
            return {};
    } catch (const std::exception& e) {  // a path the system cannot take: no copy, no crash
        error = e.what();
    }
    if (warned_) return {};
    warned_ = true;
    std::string text = LoadText(language, 3210);
    const auto p = text.find("%1");
    if (p != std::string::npos) text.replace(p, 2, error);
    return text;
}

std::string ImageBandText(const CodeplugImage& image) { return BandName(image); }

}  // namespace rm427
