#include <iostream>

#include "CliDataFile.h"

namespace rm427::cli {
namespace {

constexpr int kChannelCount = 128;
constexpr int kRecordSize = 14;
constexpr int kRecordsPerBlock = 18;
constexpr int kBlockSize = 512;

// Band text for each model code, as the model window shows it (indices
// into BandNames); codes 13..15 show the 400 - 470 MHz band.
constexpr int kModelBand[16] = {3, 1, 2, 4, 9, 12, 13, 11, 8, 10, 5, 6, 7, 9, 9, 9};

int Run(const Args& args) {
    int rc = 0;
    if (!TakePositional("info", args, 1, rc)) return rc;
    CodeplugImage image{};
    if (!LoadDataFile(args[0], image)) return 1;

    const Module1 names;  // for BandNames
    const int code = image[kModelByte] & 15;
    const bool uhf = (image[kBandByte] & 1) != 0;
    int programmed = 0;
    for (int i = 0; i < kChannelCount; ++i) {
        const int at = kBlockSize * (i / kRecordsPerBlock) + kRecordSize * (i % kRecordsPerBlock);
        if (image[at] != 0xFF) ++programmed;
    }
    std::cout << "Model code: " << code << " (" << names.BandNames[kModelBand[code]] << ")\n"
              << "Band: " << (uhf ? "UHF" : "VHF") << "\n"
              << "Programmed channels: " << programmed << " of " << kChannelCount << "\n";
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
