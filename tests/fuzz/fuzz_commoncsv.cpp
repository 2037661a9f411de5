// libFuzzer target for the common-layout CSV import: any input is refused
// without touching the image, or taken; what was taken exports and imports
// again to the same channels, with any separator and decimal commas too.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "channels/CommonCsv.h"
#include "image/Module1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    const std::string csv(reinterpret_cast<const char*>(data), size);
    DetectCsvLayout(csv);

    const CodeplugImage start = Module1().Image;
    CodeplugImage image = start;
    CommonCsvImport report;
    std::string error;
    if (!ImportCommonCsv(csv, image, report, error)) {
        if (image != start || error.empty()) std::abort();
        return 0;
    }
    report.Summary(0);
    report.Summary(1);
    // What the radio holds now fits the layout exactly: a second round
    // changes nothing.
    const std::string exported = ExportCommonCsv(image);
    for (const CsvStyle style : {CsvStyle{',', false}, CsvStyle{';', true}}) {
        CodeplugImage again = start;
        CommonCsvImport second;
        if (!ImportCommonCsv(ExportCommonCsv(image, style), again, second, error)) std::abort();
        if (ExportCommonCsv(again) != exported) std::abort();
    }
    return 0;
}
