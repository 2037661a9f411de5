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
                        "After writing, the radio is read back and every byte read is compared\n"
                        "with what was sent; differences are listed on stdout (--no-verify\n"
                        "skips this; the three fixed bytes at 0xAED3 and the four bytes after\n"
                        "each block's 18th record cannot be read back). Exit status: 0 done\n"
                        "and verified, 1 failed, 3 the radio does not hold what was written.\n"
                        "Ctrl-C, SIGTERM, SIGHUP (terminal closed) or SIGQUIT ends the exchange\n"
                        "as Cancel does (the radio leaves clone mode) and exits 128 + the\n"
                        "signal (130, 143, 129, 131); a write that stops midway says that the\n"
                        "radio may be partly written. A closed pipe on stdout or stderr does\n"
                        "not stop the exchange.",
                        "write --port N|PATH [--retries K] [--no-verify] IN.dat", Run);

}  // namespace
}  // namespace rm427::cli
#endif
