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
    static const std::uint8_t kRowE9[] = {0xA5, 0x00, 0x00, 0x47, 0xFF, 0x02,
                                          0x02, 0x4E, 0x30, 0x12, 0x5F};
    static const std::uint8_t kRowEB[] = {0x20, 0xAE, 0xB0, 0x47, 0xFF, 0x02,
                                          0x02, 0x4E, 0x30, 0x12, 0x5F};
    std::copy(std::begin(kRowE9), std::end(kRowE9), Image.begin() + 0xE90);
    std::copy(std::begin(kRowEB), std::end(kRowEB), Image.begin() + 0xEB0);
    Image[0xEC0] = 0x5C;
    std::fill(Image.begin() + 0xEC1, Image.begin() + 0xED0, 0x00);
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
