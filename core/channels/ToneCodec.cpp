#include "channels/ToneCodec.h"

#include "text/TextTable.h"

namespace rm427 {

namespace {

constexpr const char* kCtcss[50] = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

constexpr const char* kDcs[kDcsCodes] = {
    "017", "023", "025", "026", "031", "032", "036", "043", "047", "050", "051", "053", "054", "065",
    "071", "072", "073", "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145",
    "152", "155", "156", "162", "165", "172", "174", "205", "212", "223", "225", "226", "243", "244",
    "245", "246", "251", "252", "255", "261", "263", "265", "266", "271", "274", "306", "311", "315",
    "325", "331", "332", "343", "346", "351", "356", "364", "365", "371", "411", "412", "413", "423",
    "431", "432", "445", "446", "452", "454", "455", "462", "464", "465", "466", "503", "506", "516",
    "523", "526", "532", "546", "565", "606", "612", "624", "627", "631", "632", "645", "654", "662",
    "664", "703", "712", "723", "731", "732", "734", "743", "754"};

}  // namespace

const std::array<const char*, kToneCount>& ToneTexts() {
    static const std::array<const char*, kToneCount> texts = [] {
        static std::array<std::string, kToneCount> store;
        std::array<const char*, kToneCount> t{};
        store[0] = LoadText(0, 1137);  // "None"
        for (int i = 0; i < 50; ++i) store[kFirstCtcss + i] = kCtcss[i];
        for (int i = 0; i < kDcsCodes; ++i) {
            store[kFirstDcs + i] = std::string("D") + kDcs[i] + "N";
            store[kFirstDcs + kDcsCodes + i] = std::string("D") + kDcs[i] + "I";
        }
        for (int i = 0; i < kToneCount; ++i) t[i] = store[i].c_str();
        return t;
    }();
    return texts;
}

std::vector<std::string> ToneList(int language) {
    const auto& t = ToneTexts();
    std::vector<std::string> list(t.begin(), t.end());
    list[0] = LoadText(language, 1137);
    return list;
}

int ToneIndex(int language, const std::string& text) {
    if (text == LoadText(language, 1137)) return 0;
    const auto& t = ToneTexts();
    for (int i = 1; i < kToneCount; ++i)
        if (text == t[i]) return i;
    return 0;
}

std::uint8_t ToneCodeOfIndex(int index) {
    if (index >= kFirstDcs && index < kToneCount) return static_cast<std::uint8_t>(index - kFirstDcs);
    if (index >= kFirstCtcss && index < kFirstDcs) return static_cast<std::uint8_t>(index - 1);
    return 0;
}

int CtcssIndexOfCode(std::uint8_t code) {
    const int i = code + 1;
    return i < kToneCount ? i : 0;
}

int DcsIndexOfCode(std::uint8_t code) {
    const int i = code + kFirstDcs;
    return i < kToneCount ? i : 0;
}

}  // namespace rm427
