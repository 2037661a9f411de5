// The radio commands of rm427-cli (read, write): one clone exchange on a
// port, run in a Qt event loop on the same machine the clone window uses.
#pragma once

#include <vector>

#include "Cli.h"
#include "radio/CloneExchange.h"

namespace rm427::cli {

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
