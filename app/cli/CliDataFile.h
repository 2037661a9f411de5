// Helpers shared by the data file commands of rm427-cli.
#pragma once

#include <string>

#include "Cli.h"
#include "file/FileIo.h"
#include "image/Module1.h"

namespace rm427::cli {

// For a command without options: checks that args holds exactly `count`
// plain arguments (so after success they are args itself). Returns false
// with exitCode set when the command ends here: 0 after -h/--help printed
// its help, 1 after a usage message.
bool TakePositional(const std::string& command, const Args& args, std::size_t count, int& exitCode);
// Checks that a command got `count` plain arguments; otherwise prints the
// usage message and returns false with exitCode 1.
bool CountArguments(const std::string& command, const Args& files, std::size_t count, int& exitCode);

// Reads and decodes a data file; on failure prints one message and returns
// false.
bool LoadDataFile(const std::string& path, CodeplugImage& image);

// Refuses, with one message and exitCode 1, when in and out name the same
// file (also through links), so an input is never overwritten by accident.
bool DifferentFiles(const std::string& command, const std::string& in, const std::string& out,
                    int& exitCode);

// Encodes image and saves it at path (FileIo's SaveFile); prints a message
// on failure. The history keeps a copy of what was saved (unless keepCopy is
// false: the caller has kept one), and of the file's previous content when
// the save writes into the file itself.
bool StoreDataFile(const std::string& path, const CodeplugImage& image, bool keepCopy = true);

}  // namespace rm427::cli
