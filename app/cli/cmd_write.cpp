#ifdef RM427_WITH_QT
#include "CliDataFile.h"
#include "CliRadio.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CloneArgs parsed;
    int rc = 0;
    if (!ParseCloneArgs("write", CloneDir::Write, args, parsed, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(parsed.file, image)) return 1;
    // The band check looks at the channels as the editor would show them.
    return RunClone("write", CloneDir::Write, parsed, image, ChannelFreqTexts(image));
}

const CliCommand kWrite("write",
                        "Write a data file to a radio.\n"
                        "--port N uses port number N (1..20, mapped to a device as the README\n"
                        "says); --port PATH opens that device. Channels outside the radio's\n"
                        "band are sent as empty, as the program does, and listed on stderr\n"
                        "with those whose transmit offset the band check removed. A step that\n"
                        "fails is retried from the start up to K times (--retries K, default 0).\n"
                        "--verify reads the radio back after writing and compares every byte\n"
                        "read with what was sent; differences are listed on stdout. Exit\n"
                        "status: 0 done (and verified), 1 failed, 3 the radio does not hold\n"
                        "what was written.\n"
                        "Ctrl-C or SIGTERM ends the exchange as Cancel does (the radio leaves\n"
                        "clone mode) and exits 130 / 143; a write that stops midway says that\n"
                        "the radio may be partly written.",
                        "write --port N|PATH [--retries K] [--verify] IN.dat", Run);

}  // namespace
}  // namespace rm427::cli
#endif
