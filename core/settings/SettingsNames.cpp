#include "settings/SettingsNames.h"

#include "settings/SettingsRow.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

std::string ListText(int lang, int list, int index) {
    auto t = [lang](int n) { return LoadText(lang, n); };
    switch (list) {
    case setSquelch: return std::to_string(index);
    case setVoxGain: return std::to_string(index + 1);
    case setBatterySave:
    case setBeep:
    case setVoice: return index ? t(1149) : t(1150);
    case setTimeOut: return index == 0 ? t(1150) : std::to_string(index) + t(1388);
    case setScanMode: return index == 0 ? t(1393) : t(1392);
    case setPowerOff: return index == 0 ? t(1150) : std::to_string(index) + t(1394);
    case setWorkingMode: return t(1395 + index);
    case setVoxDelay: return std::to_string(index + 1) + t(1387);
    case setChannelDisplay: return index == 0 ? t(1398) : t(1370);
    }
    return std::to_string(index);
}

std::string ListLabel(int lang, int list) {
    static const int ids[kSettingsLists] = {1161, 1164, 1386, 0,    1165, 1163,
                                            1390, 1178, 1173, 1174, 1391};
    return list == setScanMode ? LoadText(lang, 1195) + LoadText(lang, 1178) : LoadText(lang, ids[list]);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SettingsListing(const CodeplugImage& image, int lang) {
    const SettingsSelections s = ShowSettings(image);
    std::vector<std::pair<std::string, std::string>> out;
    for (int l = 0; l < kSettingsLists; ++l)
        out.emplace_back(ListLabel(lang, l), ListText(lang, l, s.list[l]));
    out.emplace_back(LoadText(lang, 1177), s.voxInhibit ? LoadText(lang, 1149) : LoadText(lang, 1150));
    // The message texts are the window's own, not the table's.
    const std::string message = lang == 1 ? "显示信息" : "Dis. Information";
    std::string display = "-";
    if (s.powerOnDisplay == powerOnOff) display = LoadText(lang, 1150);
    if (s.powerOnDisplay == powerOnMessage) display = message;
    if (s.powerOnDisplay == powerOnBattery) display = LoadText(lang, 1480);
    out.emplace_back(LoadText(lang, 1500), display);
    out.emplace_back(message, s.message);
    return out;
}

}  // namespace rm427
