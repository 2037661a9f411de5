// rm427-cli: each command lives in its own cmd_*.cpp and registers itself
// with a static CliCommand, so adding a command touches no other file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "file/FileIo.h"

namespace rm427::cli {

using Args = std::vector<std::string>;

struct CliCommand {
    // run gets the arguments after the command name (parsed with
    // CommandOptions, which also answers -h/--help); it returns the exit
    // code. Errors go to stderr as one line "rm427-cli: ..." (use Fail).
    CliCommand(const char* name, const char* summary, const char* usage,
               std::function<int(const Args&)> run);
};

struct CommandInfo {
    std::string name, summary, usage;
    std::function<int(const Args&)> run;
};
const std::vector<CommandInfo>& Commands();

// Prints "rm427-cli: message" to stderr and returns 1.
int Fail(const std::string& message);
// Prints "usage: rm427-cli <usage>" and the summary to stdout; returns 0.
int PrintHelp(const std::string& command);

// Flushes standard output (stdout and std::cout). On a write error prints
// "rm427-cli: COMMAND: cannot write the output: REASON" once and returns
// false. main calls it after every command as well.
bool FlushOutput(const std::string& command);

// Whole-file helpers over the programs' one file layer (file/FileIo.h); the
// error names the file. ReadFile refuses a file above limit (0 = none).
bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error,
              std::size_t limit);
// Saves as every program does (core/file/FileIo.h): a regular file is
// replaced atomically, or written into safely when that would change its
// identity (keepPrevious gets its previous content first), a link followed,
// a device or FIFO written into, a read-only file refused.
bool WriteOutputFile(const std::string& path, const std::vector<unsigned char>& data, std::string& error,
                     const KeepPrevious& keepPrevious = {});

}  // namespace rm427::cli
