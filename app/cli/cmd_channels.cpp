#include <iostream>

#include "CliDataFile.h"
#include "channels/Channel.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("channels", args, 1, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;
    int n = 0;
    for (const Channel& ch : ImageChannels(image)) {
        std::cout << ++n;
        for (int c = colRxFreq; c < kChannelColumns; ++c) std::cout << '\t' << ChannelCell(ch, c, 0);
        std::cout << '\n';
    }
    return FlushOutput("channels") ? 0 : 1;
}

const CliCommand kChannels(
    "channels",
    "Print the 128 channel rows of a data file as the channel editor shows them.\n"
    "One line per channel, empty channels included, tab-separated columns:\n"
    "CH., Rx Freq, Tx Freq, Dec., Enc., TX Power, W/N, Scan Add, Beat Shift,\n"
    "BCL, VOX, OPTION, Name (English texts).",
    "channels FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
