#include <filesystem>
#include <iostream>

#include "CliDataFile.h"
#include "CliOptions.h"
#include "channels/ChannelCsv.h"
#include "channels/CommonCsv.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CommandOptions options("import-csv");
    std::string format;  // empty: by the header
    bool force = false;
    options.Value("--format", format, "--format needs a value (own or common)");
    options.Flag("--force", force);
    Args rest;
    int rc = 0;
    if (!options.Parse(args, rest, rc)) return rc;
    if (!format.empty() && format != "own" && format != "common")
        return Fail("import-csv: unknown format '" + format + "' (own or common)");
    if (!CountArguments("import-csv", rest, 2, rc)) return rc;
    if (!DifferentFiles("import-csv", rest[0], rest[1], rc)) return rc;
    std::vector<unsigned char> raw;
    std::string error;
    if (!ReadFile(rest[0], raw, error, kCsvFileLimit)) return Fail(error);
    const std::string csv(raw.begin(), raw.end());
    if (format.empty()) format = DetectCsvLayout(csv) == CsvLayout::Common ? "common" : "own";

    // An existing data file keeps everything but its channels; a file that is
    // there but is no data file is refused rather than overwritten.
    CodeplugImage image = Module1().Image;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::u8path(rest[1]), ec) && !LoadDataFile(rest[1], image))
        return 1;

    Module1 state;
    state.Image = image;  // the model's band
    std::vector<Channel> channels;
    CsvReport report;
    CsvNote failed;
    const bool common = format == "common";
    if (!(common ? ReadCommonCsv : ReadOwnCsv)(state, csv, channels, report, failed))
        return Fail(rest[0] + ": " + NoteLine(failed, 0) + "; nothing written");
    // What it says is what it always said: the repairs of a spreadsheet's
    // damage and the values rounded as the channel editor rounds them are
    // listed by --dry-run.
    if (common) std::cerr << report.Summary(0, false);
    if (common && !report.Fits() && !force)
        return Fail(rest[0] +
                    ": not everything fits the radio; nothing written "
                    "(--force writes it as summarised above)");
    StoreChannels(image, channels);
    if (!StoreDataFile(rest[1], image)) return 1;
    if (!common)
        for (const CsvNote& n : report.notes)
            if (n.text == kShortenedName)
                std::cerr << "rm427-cli: " << rest[0] << ": " << NoteLine(n, 0) << "\n";
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
    "'line N: ...' and nothing is written.\n"
    "\n"
    "The common CSV channel layout of repeater lists (Location,Name,Frequency,\n"
    "Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,\n"
    "Skip,Power,Comment; Location and Frequency required, extra columns ignored)\n"
    "is read too: chosen by the header, or with --format common. Location is the\n"
    "channel number. What the radio cannot hold is fitted and listed per line on\n"
    "stderr: long names are shortened and upper-cased, frequencies rounded to\n"
    "the raster, receive-only channels get transmit = receive; lines with other\n"
    "modes (AM ...), frequencies outside 100..550 MHz or locations outside\n"
    "1..128 are skipped. When that list is not empty nothing is written (exit 1)\n"
    "unless --force is given.\n"
    "\n"
    "Both layouts are also read as spreadsheets save them: fields separated by\n"
    "semicolons or tabs (found from the header line), decimal commas when the\n"
    "separator is not a comma, DCS codes without their leading zeros, any number\n"
    "of decimals, a UTF-8 byte order mark, UTF-16 text, and the Chinese column\n"
    "titles and texts of the channel editor.",
    "import-csv [--format own|common] [--force] IN.csv FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
