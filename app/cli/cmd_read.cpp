#ifdef RM427_WITH_QT
#include "CliDataFile.h"
#include "CliRadio.h"
#include "radio/WriteCheck.h"
#include "text/TextTable.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CloneArgs parsed;
    int rc = 0;
    if (!ParseCloneArgs("read", CloneDir::Read, args, parsed, rc)) return rc;
    // Learn that the file cannot be written before the 17-second exchange
    // (room for a data file: they are under 5 KiB).
    std::string error;
    if (!CheckSaveTarget(parsed.file, 8 * 1024, error))
        return Fail("read: cannot write " + parsed.file + ": " + error + "; the radio was not read");
    Module1 state;  // the read lands on a new image
    CodeplugImage image = state.Image;
    std::string kept;
    if (const int failed = RunClone("read", CloneDir::Read, parsed, image, {}, &kept)) return failed;
    if (StoreDataFile(parsed.file, image, false)) return 0;
    if (!kept.empty()) Fail("read: " + FillText(LoadText(0, 3862), {kept}));
    return 1;
}

const CliCommand kRead("read",
                       "Read the codeplug from a radio into a data file.\n"
                       "--port N uses port number N (1..20, mapped to a device as the README\n"
                       "says); --port PATH opens that device. A step that fails is retried\n"
                       "from the start up to K times (--retries K, default 0). The file is\n"
                       "written only after a complete read; that it can be written is checked\n"
                       "before the port is opened. Ctrl-C, SIGTERM, SIGHUP or SIGQUIT ends the\n"
                       "exchange as Cancel does (the radio leaves clone mode) and exits 128 +\n"
                       "the signal (130, 143, 129, 131).",
                       "read --port N|PATH [--retries K] OUT.dat", Run);

}  // namespace
}  // namespace rm427::cli
#endif
