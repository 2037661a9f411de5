// The one place where the programs read and save files (the windows, the
// command line and the simulator all come here). Plain C++17; errors come
// back as the system's description ("No space left on device").
//
// Saving onto a target:
//   - a regular file (or none yet) is replaced atomically: the bytes go to a
//     short-named temporary file beside it, are flushed to the disk and the
//     temporary file is renamed over the target. The target keeps its
//     permission bits. On failure the previous file is untouched.
//   - a symbolic link is followed: the file it points to is replaced, the
//     link stays.
//   - a character device or a FIFO (a terminal, /dev/null, a pipe, also
//     /dev/stdout) is written straight into, never replaced.
//   - a read-only file is refused (SaveResult::ReadOnly) unless the caller
//     says to replace it anyway (the window asks first).
//   - a file the replace would change the identity of - its folder may not
//     be written (also a sticky shared folder), it belongs to someone else,
//     or it has more than one name (hard links) - is written into instead,
//     safely: its previous content goes to keepPrevious (the history) first,
//     then the new content is written, flushed and read back; if any of it
//     fails, the previous content is put back. (POSIX; Windows replaces.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rm427 {

// Largest data file that is read (a real one is under 5 KiB).
inline constexpr std::size_t kDataFileLimit = 64 * 1024;
// Largest CSV file that is read.
inline constexpr std::size_t kCsvFileLimit = 16 * 1024 * 1024;

// Reads the whole file. With a limit (bytes, 0 = none) a regular file above
// it is refused before anything is read, and a device or pipe is read only up
// to the limit. False with error set when the file cannot be opened or read
// or is too large.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data, std::string& error,
                   std::size_t limit = 0);

enum class SaveResult { Saved, ReadOnly, Failed };

// Gets a file's previous content before a save writes into it.
using KeepPrevious = std::function<void(const std::vector<std::uint8_t>& previous)>;

// Saves data at path as described above. ReadOnly and Failed set error.
SaveResult SaveFile(const std::string& path, const std::vector<std::uint8_t>& data, std::string& error,
                    bool replaceReadOnly = false, const KeepPrevious& keepPrevious = {});

// SaveFile for callers that never ask about a read-only file: true when
// saved; a read-only file is a failure like any other.
bool ReplaceFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data,
                       std::string& error);

// True when both names lead to the same existing file (same device and
// inode; links followed).
bool SameFile(const std::string& a, const std::string& b);

// Checks, before any long work, that SaveFile(path) can succeed: an existing
// target must be writable (not read-only); a new file is tried out in its
// folder (created with `size` bytes, flushed, removed), which finds a missing
// or read-only folder and a full disk. False with error set otherwise.
bool CheckSaveTarget(const std::string& path, std::size_t size, std::string& error);

}  // namespace rm427
