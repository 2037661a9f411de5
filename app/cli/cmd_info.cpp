#include <iostream>

#include "CliDataFile.h"
#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "image/ModelTable.h"

namespace rm427::cli {
namespace {

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("info", args, 1, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;

    const bool uhf = FieldValue(image.data(), model::kUhf) != 0;
    std::cout << "Model code: " << ModelCode(image) << " (" << BandName(image) << ")\n"
              << "Band: " << (uhf ? "UHF" : "VHF") << "\n"
              << "Programmed channels: " << ProgrammedChannels(image) << " of " << kMaxChannels << "\n";
    return FlushOutput("info") ? 0 : 1;
}

const CliCommand kInfo("info",
                       "Show model, band and number of programmed channels of a data file.\n"
                       "Model code: image byte 0x3D2 AND 15, with the band the model window\n"
                       "shows for it. Band: bit 0 of byte 0x3D6 (0 VHF, 1 UHF). Programmed\n"
                       "channels: records whose first byte is not 0xFF.",
                       "info FILE.dat", Run);

}  // namespace
}  // namespace rm427::cli
