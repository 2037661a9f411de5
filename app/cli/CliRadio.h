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

}  // namespace rm427::cli
