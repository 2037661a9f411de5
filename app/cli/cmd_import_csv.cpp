#include <filesystem>
#include <iostream>

#include "CliDataFile.h"
#include "channels/ChannelCsv.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("import-csv", args, 2, rc)) return rc;
    std::vector<unsigned char> raw;
    std::string error;
    if (!ReadFile(args[0], raw, error)) return Fail(error);

    // An existing data file keeps everything but its channels; a file that is
    // there but is no data file is refused rather than overwritten.
    CodeplugImage image = Module1().Image;
    std::error_code ec;
    if (std::filesystem::exists(args[1], ec) && !LoadDataFile(args[1], image)) return 1;

    std::vector<std::string> warnings;
    if (!ImportChannelsCsv(std::string(raw.begin(), raw.end()), image, error, &warnings))
        return Fail(args[0] + ": " + error + "; nothing written");
    if (!StoreDataFile(args[1], image)) return 1;
    for (const auto& w : warnings) std::cerr << "rm427-cli: " << args[0] << ": " << w << "\n";
    return 0;
}

const CliCommand kImportCsv(
    "import-csv",
    "Replace the channels of a data file by those of a CSV file.\n"
    "The CSV is what export-csv writes: a header naming the columns (any order,\n"
    "Channel and RxFreq required; others default as a new channel in the\n"
    "channel editor), one line per channel 1..128. Channels not listed become\n"
    "empty. Frequencies must lie within 100..550 MHz and are rounded to the\n"
    "5 / 6.25 kHz raster as typed ones; tones and choices are the editor's\n"
    "English texts (any case); names keep their first five characters.\n"
    "If FILE.dat exists its other bytes (settings, model) are kept, otherwise a\n"
    "new image is used. Any line that cannot be taken stops the import with\n"
    "'line N: ...' and nothing is written.",
    "import-csv IN.csv FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
