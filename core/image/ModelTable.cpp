#include "image/ModelTable.h"

#include <cstdlib>

#include "text/TextTable.h"

namespace rm427 {
namespace {

// Band list position -> code.
constexpr int kVhfCodes[] = {1, 2, 0, 3};
constexpr int kUhfCodes[] = {10, 11, 12, 8, 4, 9, 7, 5, 6};
// Code -> band list position.
constexpr int kPositions[16] = {2, 0, 1, 3, 4, 7, 8, 6, 3, 5, 0, 1, 2, 4, 4, 4};

}  // namespace

int BandPosition(int code) { return kPositions[code & 15]; }

int BandNameIndex(int code) { return (IsUhfCode(code & 15) ? 5 : 1) + BandPosition(code); }

int ModelCode(const CodeplugImage& image) { return FieldValue(image.data(), model::kCode); }

std::string BandName(const CodeplugImage& image) {
    static const Module1 english;  // the band names
    return english.BandNames[static_cast<std::size_t>(BandNameIndex(ModelCode(image)))];
}

void BandLimits(int code, int& low, int& high) {
    static const Module1 english;
    const std::string& name =
        english.BandNames[static_cast<std::size_t>(BandNameIndex(code))];  // "136 - 174(MHz)"
    low = std::atoi(name.c_str()) * 10;
    const auto dash = name.find('-');
    high = dash == std::string::npos ? low : std::atoi(name.c_str() + dash + 1) * 10;
}

int ModelCodeForBand(int low, int high) {
    for (int code = 0; code < 16; ++code) {
        int l = 0, h = 0;
        BandLimits(code, l, h);
        if (l == low && h == high) return code;
    }
    return -1;
}

int CodeFromSelection(bool uhf, int position) {
    if (uhf) return position >= 0 && position < 9 ? kUhfCodes[position] : -1;
    return position >= 0 && position < 4 ? kVhfCodes[position] : -1;
}

std::vector<std::string> BandList(const Module1& state, bool uhf) {
    std::vector<std::string> list;
    const int first = uhf ? 5 : 1, last = uhf ? 13 : 4;
    for (int i = first; i <= last; ++i) list.push_back(state.BandNames[i]);
    return list;
}

void WriteModelBytes(CodeplugImage& image, int code) {
    SetField(image.data(), model::kMarker, model::kMarkerSet);
    SetField(image.data(), model::kCode, code);
    SetField(image.data(), model::kUhf, IsUhfCode(code) ? 1 : 0);
}

std::string AboutText(int language) {
    const std::string crlf = "\r\n";
    return "  RM-427 " + LoadText(language, 1335) + crlf + "   " + LoadText(language, 1336) + "1.0" +
           crlf + crlf + "   " + LoadText(language, 1337) + " 2014-5-6" + crlf + "   " +
           LoadText(language, 1338) + " 2014" + crlf + "   " + LoadText(language, 1339);
}

}  // namespace rm427
