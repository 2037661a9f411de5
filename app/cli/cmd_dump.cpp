#include <cstdio>

#include "CliDataFile.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("dump", args, 1, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;
    std::string out;
    out.reserve(256 * 54);
    char line[64];
    for (int row = 0; row < 256; ++row) {
        int n = std::snprintf(line, sizeof line, "%03X0:", row);
        for (int col = 0; col < 16; ++col)
            n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), " %02X",
                               image[row * 16 + col]);
        out.append(line, static_cast<std::size_t>(n));
        out.push_back('\n');
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return FlushOutput("dump") ? 0 : 1;
}

const CliCommand kDump("dump",
                       "Print the image of a data file in hex.\n"
                       "256 lines of 16 bytes: the image offset in hex, a colon, the bytes.",
                       "dump FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
