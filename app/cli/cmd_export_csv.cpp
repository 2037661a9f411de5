#include <iostream>

#include "CliDataFile.h"
#include "CliOptions.h"
#include "channels/ChannelCsv.h"
#include "channels/CommonCsv.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CommandOptions options("export-csv");
    std::string format = "own", separator = ",";
    bool decimalComma = false;
    options.Value("--format", format, "--format needs a value (own or common)");
    options.Value("--separator", separator, "--separator needs a value (',', ';' or tab)");
    options.Flag("--decimal-comma", decimalComma);
    Args rest;
    int rc = 0;
    if (!options.Parse(args, rest, rc)) return rc;
    if (format != "own" && format != "common")
        return Fail("export-csv: unknown format '" + format + "' (own or common)");
    const bool common = format == "common";
    CsvStyle style;
    if (separator == "tab" || separator == "\t") separator = "\t";
    if (separator != "," && separator != ";" && separator != "\t")
        return Fail("export-csv: unknown separator '" + separator + "' (',', ';' or tab)");
    style.separator = separator[0];
    style.decimalComma = decimalComma;
    if (decimalComma && style.separator == ',')
        return Fail("export-csv: --decimal-comma needs --separator ';' or tab");
    if (!CountArguments("export-csv", rest, 2, rc)) return rc;
    if (rest[1] != "-" && !DifferentFiles("export-csv", rest[0], rest[1], rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(rest[0], image)) return 1;
    const std::string csv = common ? ExportCommonCsv(image, style) : ExportChannelsCsv(image, style);
    if (rest[1] == "-") {
        std::cout << csv;
        return FlushOutput("export-csv") ? 0 : 1;
    }
    std::string error;
    if (!WriteOutputFile(rest[1], std::vector<unsigned char>(csv.begin(), csv.end()), error))
        return Fail(error);
    return 0;
}

const CliCommand kExportCsv(
    "export-csv",
    "Write the programmed channels of a data file as CSV (OUT.csv '-' is stdout).\n"
    "A header line, then one line per programmed channel with the columns\n"
    "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name\n"
    "holding the channel editor's English cell texts (RFC 4180, CRLF line ends).\n"
    "import-csv reads the file back to the same channel records.\n"
    "\n"
    "--format common writes the common CSV channel layout of repeater lists instead:\n"
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,\n"
    "DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\n"
    "(beat shift, BCL, VOX and option have no column there and are left out).\n"
    "\n"
    "--separator ';' (or tab) separates the fields by semicolons (or tabs), and\n"
    "--decimal-comma then writes the numbers with a decimal comma: what a\n"
    "spreadsheet set to a European language opens directly. import-csv reads\n"
    "those back too.",
    "export-csv [--format own|common] [--separator ,|;|tab] [--decimal-comma] FILE.dat OUT.csv", Run);

}  // namespace
}  // namespace rm427::cli
