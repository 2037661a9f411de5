// Whole-file reading and atomic replacement of a file, for the data file
// commands. Plain C++17; errors come back as the system's description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rm427 {

// Reads the whole file. False (error = the system's description) when it
// cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data, std::string& error);

// Replaces path with data atomically: the bytes go to a temporary file in the
// same directory, which is then renamed over the target. On failure the
// previous file is untouched, the temporary file is removed and error holds
// the system's description.
bool ReplaceFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data,
                       std::string& error);

}  // namespace rm427
