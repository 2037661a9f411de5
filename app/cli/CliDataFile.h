// Helpers shared by the data file commands of rm427-cli.
#pragma once

#include <string>

#include "Cli.h"
#include "file/FileIo.h"
#include "image/Module1.h"

namespace rm427::cli {

// Checks that args holds exactly `count` plain arguments (no options);
// otherwise prints a usage error and returns false with exitCode set.
bool TakePositional(const std::string& command, const Args& args, std::size_t count, int& exitCode);

// Reads and decodes a data file; on failure prints one message and returns
// false.
bool LoadDataFile(const std::string& path, CodeplugImage& image);

// Refuses, with one message and exitCode 1, when in and out name the same
// file (also through links), so an input is never overwritten by accident.
bool DifferentFiles(const std::string& command, const std::string& in, const std::string& out,
                    int& exitCode);

// Encodes image and writes it to path atomically; prints a message on failure.
bool StoreDataFile(const std::string& path, const CodeplugImage& image);

}  // namespace rm427::cli
