// The radio commands of rm427-cli (read, write): one clone exchange on a
// port, run in a Qt event loop on the same machine the clone window uses.
#pragma once

#include <vector>

#include "Cli.h"
#include "radio/CloneExchange.h"

namespace rm427::cli {

// Parses "--port N|PATH [--retries K] FILE" and runs the exchange. For a
// write, image and channels are what is sent; for a read, image is the
// starting point and receives the read. Prints progress on stderr and the
// completion text on stdout. Returns the exit code; on failure one message
// has been printed and image is unchanged.
int RunClone(const char* command, CloneDir dir, const Args& args, std::string& file,
             CodeplugImage& image, const std::vector<ChannelFreqText>& channels, bool parseOnly = false);

}  // namespace rm427::cli
