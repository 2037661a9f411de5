#include <iostream>

#include "CliDataFile.h"
#include "file/ImageDiff.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("diff", args, 2, rc)) return rc == 0 ? 0 : 2;  // 0: its help
    CodeplugImage a{}, b{};
    if (!LoadDataFile(args[0], a) || !LoadDataFile(args[1], b)) return 2;
    const std::vector<std::string> lines = DiffImages(a, b);
    for (const auto& l : lines) std::cout << l << "\n";
    if (!FlushOutput("diff")) return 2;
    return lines.empty() ? 0 : 1;
}

const CliCommand kDiff(
    "diff",
    "Compare the codeplugs of two data files.\n"
    "Lists what differs from A to B, one line each:\n"
    "  channel 3: Rx Freq \"145.50000\" -> \"146.00000\"   (channel editor columns)\n"
    "  setting SQ Level: \"2\" -> \"5\"                      (function settings by name)\n"
    "  byte 0x3D2: F4 -> F0                              (everything else by offset)\n"
    "A byte whose change the channel or settings view does not show is listed by\n"
    "offset too, so nothing that differs is left out.\n"
    "Exit status: 0 when the images are equal, 1 when they differ, 2 on error.",
    "diff A.dat B.dat", Run);

}  // namespace
}  // namespace rm427::cli
