#include <iostream>

#include "CliDataFile.h"
#include "channels/ChannelCsv.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("export-csv", args, 2, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;
    const std::string csv = ExportChannelsCsv(image);
    if (args[1] == "-") {
        std::cout << csv;
        return std::cout.flush() ? 0 : Fail("export-csv: cannot write the output");
    }
    std::string error;
    if (!WriteFileAtomic(args[1], std::vector<unsigned char>(csv.begin(), csv.end()), error))
        return Fail(error);
    return 0;
}

const CliCommand kExportCsv(
    "export-csv",
    "Write the programmed channels of a data file as CSV (OUT.csv '-' is stdout).\n"
    "A header line, then one line per programmed channel with the columns\n"
    "Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,ScanAdd,BeatShift,BCL,VOX,Option,Name\n"
    "holding the channel editor's English cell texts (RFC 4180, CRLF line ends).\n"
    "import-csv reads the file back to the same channel records.",
    "export-csv FILE.dat OUT.csv", Run);

}  // namespace
}  // namespace rm427::cli
