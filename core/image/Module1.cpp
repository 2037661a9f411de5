#include "image/Module1.h"

#include <algorithm>

namespace rm427 {

Module1::Module1() {
    FillBandNames();
    SetDefaultLimits();
    ClearImage();
    SnapshotImage();
}

void Module1::FillBandNames() {
    static const char* const kBands[14] = {"",
                                           "136 - 150(MHz)",
                                           "136 - 174(MHz)",
                                           "150 - 174(MHz)",
                                           "216 - 223(MHz)",
                                           "350 - 370(MHz)",
                                           "350 - 390(MHz)",
                                           "370 - 390(MHz)",
                                           "400 - 420(MHz)",
                                           "400 - 470(MHz)",
                                           "440 - 480(MHz)",
                                           "450 - 470(MHz)",
                                           "450 - 490(MHz)",
                                           "470 - 650(MHz)"};
    for (int i = 0; i < 14; ++i) BandNames[i] = kBands[i];
}

void Module1::ClearImage() {
    Image.fill(0xFF);
    std::copy(std::begin(defaults::kSettingsRow), std::end(defaults::kSettingsRow),
              Image.begin() + settings::kRow);
    std::copy(std::begin(defaults::kSecondRow), std::end(defaults::kSecondRow),
              Image.begin() + settings::kSecondRow);
    Image[settings::kFurtherRow] = defaults::kFurtherRowFirst;
    std::fill(Image.begin() + settings::kFurtherRow + 1, Image.begin() + settings::kSecondRowsEnd + 1,
              std::uint8_t{0x00});
}

void Module1::SetDefaultLimits() {
    FreqLimitHigh = 550;
    FreqLimitLow = 100;
    EditLimitHigh = 550;
    EditLimitLow = 100;
}

void Module1::SnapshotImage() { SavedImage = FileImage = Image; }

void Module1::SnapshotRadioImage() { SavedImage = Image; }

bool Module1::ImageModified() const { return Image != SavedImage && Image != FileImage; }

std::string Module1::TitleText() {
    std::string t = "RM-427[" + std::to_string(FreqLimitLow) + " - " + std::to_string(FreqLimitHigh) +
                    " MHz]{ FileName: ";
    if (!FileName.empty() && FileName.back() == '\\') FileName.pop_back();
    return t + FileName + "]";
}

}  // namespace rm427
