// The radio commands of rm427-cli (read, write): one clone exchange on a
// port, run in a Qt event loop on the same machine the clone window uses.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Cli.h"
#include "radio/CloneExchange.h"
#include "radio/PortPaths.h"

namespace rm427::cli {

// Makes the application the Qt event loop and the serial port need, once.
void EnsureApplication();

// The port number and the device lookup of --port N|PATH: a number is one of
// the program's ports 1..20 (its device from the settings), anything else a
// device path. False, after one message naming command, for a number outside
// 1..20. Makes the application.
bool ResolvePort(const std::string& command, const std::string& port, int& comPort,
                 PortPathLookup& lookup);

// A progress line on stderr: rewritten in place on a terminal, else printed
// whole at every `every` percent.
class ProgressLine {
public:
    explicit ProgressLine(int every);
    // Shows text() when the percentage of value in maximum has changed.
    void Show(int value, int maximum, const std::function<std::string()>& text);
    // Ends a line rewritten in place; the next Show starts a new one.
    void End();

private:
    const int every_;
    const bool tty_;
    int last_ = -1;
};

struct CloneArgs {
    std::string port;  // a port number 1..20 or a device path
    int retries = 0;
    bool verify = false;  // write only: on unless --no-verify
    // Write only: probe and check, then stop; write in spite of check errors;
    // keep a copy of the radio in this file before writing; stop after
    // listing what the write would change.
    bool check = false, force = false, preview = false;
    std::string backup;
    std::string file;
};

// Parses "--port N|PATH [--retries K] [--no-verify] FILE" (--no-verify, and
// the default --verify, for a write only). Returns false when the command
// ends here, with exitCode set: 0 after its help was printed, 1 after one
// message.
bool ParseCloneArgs(const char* command, CloneDir dir, const Args& args, CloneArgs& parsed,
                    int& exitCode);

// Runs the exchange. For a write, image and channels are what is sent; for
// a read, image is the starting point and receives the read. Prints progress
// on stderr and the completion text on stdout. Returns the exit code; on
// failure one message has been printed and image is unchanged.
// kept, when given, receives the path of the history copy it made.
int RunClone(const char* command, CloneDir dir, const CloneArgs& args, CodeplugImage& image,
             const std::vector<ChannelFreqText>& channels, std::string* kept = nullptr);

// rm427-cli write: the probe and the check before the write exchange, the
// copy of the radio and the changes, the write, its verify; prints the
// command that puts the copy back when a write fails after it began or the
// verify finds a difference. Returns the exit code (0, 1, 3, 4, 128 + signal).
int RunWrite(const CloneArgs& args, const CodeplugImage& image);

}  // namespace rm427::cli
