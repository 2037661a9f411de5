#include <filesystem>
#include <iostream>

#include "CliDataFile.h"
#include "CliOptions.h"
#include "channels/ChannelCsv.h"
#include "channels/CommonCsv.h"
#include "channels/ImportPlan.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CommandOptions options("import-csv");
    std::string format;  // empty: by the header
    std::string mode = "replace";
    bool force = false, dryRun = false, skipDuplicates = false;
    options.Value("--format", format, "--format needs a value (own or common)");
    options.Value("--mode", mode, "--mode needs a value (replace, append or at:N)");
    options.Flag("--force", force);
    options.Flag("--dry-run", dryRun);
    options.Flag("--skip-duplicates", skipDuplicates);
    Args rest;
    int rc = 0;
    if (!options.Parse(args, rest, rc)) return rc;
    if (!format.empty() && format != "own" && format != "common")
        return Fail("import-csv: unknown format '" + format + "' (own or common)");
    ImportOptions placing;
    if (!ParseImportMode(mode, placing))
        return Fail("import-csv: unknown mode '" + mode +
                    "' (replace, append or at:N with N from 1 to 128)");
    placing.skipDuplicates = skipDuplicates;
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
    const ImportPlan plan = PlanImport(ImageChannels(image), channels, report, placing, 0);
    if (dryRun) {
        std::cout << PlanText(plan, 0);
        return 0;
    }
    if (common && !report.Fits() && !force)
        return Fail(rest[0] +
                    ": not everything fits the radio; nothing written "
                    "(--force writes it as summarised above)");
    StoreChannels(image, plan.channels);
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
    "titles and texts of the channel editor.\n"
    "\n"
    "--mode replace (the default) replaces every channel as above; --mode append\n"
    "puts the file's channels, in their order, into the empty channels only\n"
    "(--skip-duplicates leaves out those with the receive and transmit frequency\n"
    "and tones of a channel already there); --mode at:N puts them from channel N\n"
    "on, overwriting, gaps included. --dry-run prints, channel by channel, what\n"
    "would be new, changed (old -> new), unchanged, emptied, skipped (and why) or\n"
    "fitted, and the repairs of the reading, and writes nothing.",
    "import-csv [--format own|common] [--mode replace|append|at:N] [--skip-duplicates] "
    "[--dry-run] [--force] IN.csv FILE.dat",
    Run);

}  // namespace
}  // namespace rm427::cli
