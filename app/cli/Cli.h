// rm427-cli: each command lives in its own cmd_*.cpp and registers itself
// with a static CliCommand, so adding a command touches no other file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rm427::cli {

using Args = std::vector<std::string>;

struct CliCommand {
    // run gets the arguments after the command name; it returns the exit
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
// True when the arguments ask for help (-h or --help anywhere).
bool WantsHelp(const Args& args);
// Prints "usage: rm427-cli <usage>" and the summary to stdout; returns 0.
int PrintHelp(const std::string& command);

// Whole-file helpers. ReadFile returns false (and sets error) on failure.
bool ReadFile(const std::string& path, std::vector<unsigned char>& data, std::string& error);
// Writes atomically: a temporary file beside the target, then rename, so a
// failure never leaves a partial or truncated target behind.
bool WriteFileAtomic(const std::string& path, const std::vector<unsigned char>& data,
                     std::string& error);

}  // namespace rm427::cli
