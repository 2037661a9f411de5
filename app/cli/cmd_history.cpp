#ifdef RM427_WITH_QT
#include <iostream>

#include "Cli.h"
#include "CliOptions.h"
#include "channels/ChannelRows.h"
#include "file/History.h"
#include "io/HistoryFolder.h"
#include "radio/Fleet.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    CommandOptions options("history");
    Args rest;
    int rc = 0;
    if (!options.Parse(args, rest, rc)) return rc;
    if (!rest.empty()) return Fail("history: takes no arguments");
    const std::string folder = HistoryFolder();
    for (const HistoryEntry& e : ListHistory(folder)) {
        std::string band = "?", channels = "?";
        CodeplugImage image{};
        if (e.kind == HistoryKind::Fleet) {
            // A fleet run's log: the radios it names and how many were verified.
            const FleetLogSummary sum = SummarizeFleetLog(e.path);
            band = "-";
            if (sum.ok)
                channels = std::to_string(sum.radios) + " radios, " + std::to_string(sum.verified) +
                           " verified";
        } else if (LoadHistoryEntry(e, image)) {
            band = ImageBandText(image);
            channels = std::to_string(ProgrammedChannels(image));
        }
        std::cout << e.time << '\t' << HistoryKindName(e.kind) << '\t' << e.source << '\t' << band
                  << '\t' << channels << '\t' << e.path << '\n';
    }
    return std::cout.flush() ? 0 : Fail("history: cannot write the output");
}

const CliCommand kHistory("history",
                          "List the copies kept at every read, write and save, newest first.\n"
                          "One line per entry, tab-separated: time, kind (read, write, save,\n"
                          "before-write, fleet), the data file concerned, band, programmed\n"
                          "channels, and the copy's path (a data file; open it, diff it or write\n"
                          "it like any other). A fleet entry is the CSV log of a run of\n"
                          "rm427-cli fleet or Program Many Radios: band \"-\", and in place of the\n"
                          "channels the radios it names and how many were verified.\n"
                          "The copies live in the program's data folder, folder \"history\"\n"
                          "(on Linux ~/.local/share/rm427/history); the newest 500 are kept.",
                          "history", Run);

}  // namespace
}  // namespace rm427::cli
#endif
