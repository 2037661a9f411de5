#include "CliDataFile.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("new", args, 1, rc)) return rc;
    const Module1 fresh;  // the image the program starts with
    return StoreDataFile(args[0], fresh.Image) ? 0 : 1;
}

const CliCommand kNew("new",
                      "Write the data file of a new, empty codeplug.\n"
                      "The image is the one File > New gives; an existing FILE.dat is replaced.",
                      "new FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
