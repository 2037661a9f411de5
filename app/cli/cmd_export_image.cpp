#include "CliDataFile.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("export-image", args, 2, rc)) return rc;
    if (!DifferentFiles("export-image", args[0], args[1], rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;
    std::string error;
    if (!WriteOutputFile(args[1], std::vector<unsigned char>(image.begin(), image.end()), error))
        return Fail(error);
    return 0;
}

const CliCommand kExport("export-image",
                         "Write the image of a data file as a raw 4096-byte file.\n"
                         "Image offset 0 (radio address 0xA000) comes first.",
                         "export-image FILE.dat IMAGE.bin", Run);

}  // namespace
}  // namespace rm427::cli
