// libFuzzer target for the channel CSV reader: any input is either refused
// with a line-numbered message and no change, or taken; what was taken
// exports and imports back to the same image, with any separator and
// decimal commas too; the notes read in both languages.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "channels/ChannelCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    const std::string csv(reinterpret_cast<const char*>(data), size);
    std::vector<CsvRecord> records;
    std::string error;
    if (!ReadCsv(csv, records, error) && error.rfind("line ", 0) != 0) std::abort();

    const CodeplugImage start = Module1().Image;
    CodeplugImage image = start;
    if (!ImportChannelsCsv(csv, image, error)) {
        if (image != start || error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    std::vector<Channel> channels;
    CsvReport report;
    CsvNote failed;
    if (!ReadOwnCsv(Module1(), csv, channels, report, failed)) std::abort();
    report.Summary(0);
    report.Summary(1);
    const std::string exported = ExportChannelsCsv(image);
    for (const CsvStyle style : {CsvStyle{',', false}, CsvStyle{';', true}}) {
        CodeplugImage again = start;
        if (!ImportChannelsCsv(ExportChannelsCsv(image, style), again, error) || again != image)
            std::abort();
        if (ExportChannelsCsv(again) != exported) std::abort();
    }
    return 0;
}
