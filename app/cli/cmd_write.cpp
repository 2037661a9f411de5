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
    return RunWrite(parsed, image);
}

const CliCommand kWrite("write",
                        "Write a data file to a radio.\n"
                        "--port N uses port number N (1..20, mapped to a device as the README\n"
                        "says); --port PATH opens that device.\n"
                        "First the radio is asked for its band (access word, identification,\n"
                        "DONE) and the codeplug is checked against it; the check's lines go to\n"
                        "stderr: channels the band check would send empty or without their\n"
                        "offset, duplicate channels, and as errors a codeplug with no channel\n"
                        "or for a band that does not overlap the radio's. A radio that does not\n"
                        "answer stops the command. --check stops after the check. An error\n"
                        "refuses the write unless --force.\n"
                        "--backup FILE reads the whole radio before writing and keeps the copy\n"
                        "in FILE and in the history; --preview (with or without --backup) lists\n"
                        "on stdout what the write would change (\"Nothing to write\" when\n"
                        "nothing) and stops. With a copy, a radio that already holds the\n"
                        "codeplug is not written again.\n"
                        "The write sends channels outside the radio's band as empty, as the\n"
                        "program does, and lists them on stderr with those whose transmit\n"
                        "offset the band check removed. A step that fails is retried from the\n"
                        "start up to K times (--retries K, default 0). After writing, the radio\n"
                        "is read back and every byte read is compared with what was sent;\n"
                        "differences are listed on stdout (--no-verify skips this; the three\n"
                        "fixed bytes at 0xAED3 and the four bytes after each block's 18th\n"
                        "record cannot be read back). When the write fails after its first\n"
                        "data frame or the verify finds a difference, the command that writes\n"
                        "the --backup copy back is printed.\n"
                        "Ctrl-C, SIGTERM, SIGHUP (terminal closed) or SIGQUIT ends the exchange\n"
                        "as Cancel does (the radio leaves clone mode) and exits 128 + the\n"
                        "signal (130, 143, 129, 131); a write that stops midway says that the\n"
                        "radio may be partly written. A closed pipe on stdout or stderr does\n"
                        "not stop the exchange.\n"
                        "Exit status: 0 done (written and verified, --check without errors,\n"
                        "--preview, nothing to write); 1 failed (port, no answer, an\n"
                        "exchange); 3 the radio does not hold what was written; 4 the check\n"
                        "found errors (--check, or a write without --force); 128 + signal\n"
                        "interrupted.",
                        "write --port N|PATH [--retries K] [--no-verify] [--check] [--force]\n"
                        "      [--backup FILE.dat] [--preview] IN.dat",
                        Run);

}  // namespace
}  // namespace rm427::cli
#endif
