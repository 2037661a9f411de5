#include <algorithm>

#include "CliDataFile.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("import-image", args, 2, rc)) return rc;
    if (!DifferentFiles("import-image", args[0], args[1], rc)) return rc;
    std::vector<unsigned char> raw;
    std::string error;
    if (!ReadFile(args[0], raw, error, kDataFileLimit)) return Fail(error);
    if (raw.size() != static_cast<std::size_t>(kImageSize))
        return Fail(args[0] + " holds " + std::to_string(raw.size()) +
                    " bytes; a raw image must be exactly 4096 bytes");
    CodeplugImage image{};
    std::copy(raw.begin(), raw.end(), image.begin());
    return StoreDataFile(args[1], image) ? 0 : 1;
}

const CliCommand kImport("import-image",
                         "Write a data file holding a raw 4096-byte image.\n"
                         "Image offset 0 comes first; a file of any other size is refused.",
                         "import-image IMAGE.bin FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
