// The options and plain arguments of one rm427-cli command, parsed by CLI11.
// The messages stay the program's own, one line each on stderr:
//   COMMAND: unknown option 'X' (see rm427-cli COMMAND --help)
//   COMMAND: <the text given with the option, e.g. "--port needs a value">
// and -h or --help anywhere prints the command's help instead of running it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Cli.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace rm427::cli {

class CommandOptions {
public:
    // plainUnknown: an unknown option is reported without the pointer to
    // the command's help (the radio commands' wording).
    explicit CommandOptions(std::string command, bool plainUnknown = false);
    ~CommandOptions();
    CommandOptions(const CommandOptions&) = delete;
    CommandOptions& operator=(const CommandOptions&) = delete;

    // An option without a value; giving it twice is the same as once.
    void Flag(const std::string& name, bool& set);
    // An option with one value ("--name VALUE" or "--name=VALUE"); given
    // again, the last one counts. missing is the message when no value follows.
    void Value(const std::string& name, std::string& value, std::string missing);

    // Parses args (what follows the command name), once; the plain arguments
    // go to files in their order. Returns false when the command ends here, with
    // exitCode set: 0 after its help was printed, 1 after one message.
    // A plain argument that starts with '-' (other than "-", standard input
    // or output) is taken for an unknown option, so a mistyped option never
    // becomes a file name.
    bool Parse(const Args& args, Args& files, int& exitCode);

private:
    struct ValueOption {
        CLI::Option* option;
        const std::string* value;
        std::string missing;
    };
    std::string command_;
    bool plainUnknown_;
    std::unique_ptr<CLI::App> app_;
    std::vector<ValueOption> values_;
};

}  // namespace rm427::cli
