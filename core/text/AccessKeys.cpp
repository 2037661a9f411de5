#include "text/AccessKeys.h"

#include <map>

#include "text/TextTable.h"

namespace rm427 {

const std::vector<MenuCaption>& MainMenuCaptions() {
    static const std::vector<MenuCaption> captions = {
        {"Menu Bar", "miFile", 1001},
        {"Menu Bar", "miEdit", 3400},
        {"Menu Bar", "miProgram", 1020},
        // "&Clone" would share Alt+C with the channel and batch windows'
        // Close; the menu answers Alt+L in both languages.
        {"Menu Bar", "miClone", 3560},
        {"Menu Bar", "miSetup", 1027},
        {"Menu Bar", "miView", 3561},
        {"Menu Bar", "miHelp", 1041},
        {"miFile", "miNew", 1002},
        {"miFile", "miOpen", 1003},
        {"miFile", "miSave", 1004},
        {"miFile", "miSaveAs", 1005},
        {"miFile", "miPrint", 1006},
        {"miFile", "miPrintPreview", 1007},
        {"miFile", "miExit", 1008},
        {"miProgram", "miCH-Information", 1012},
        {"miProgram", "miFunctionSet", 1013},
        {"miSetup", "miTestMode", 1023},
        {"miClone", "miRead", 1021},
        {"miClone", "miWrite", 1022},
        {"miSetup", "miCommunicationPort", 1028},
        {"miSetup", "miLanguage", 1029},
        {"miHelp", "miAbout", 1043},
        {"miView", "miColoursSystem", 3562},
        {"miView", "miColoursDark", 3563},
        {"miView", "miColoursHighContrast", 3564},
        {"miLanguage", "miChinese", 1182},
        {"miLanguage", "miEnglish", 1181},
        {"tlbAction", "miNew", 1112},
        {"tlbAction", "miOpen", 1113},
        {"tlbAction", "miSave", 1114},
        {"tlbAction", "miPrint", 1115},
        {"tlbAction", "miRead", 1116},
        {"tlbAction", "miWrite", 1117},
        {"tlbAction", "miAbout", 1118},
    };
    return captions;
}

std::vector<KeyScope> AccessKeyScopes() {
    std::map<std::string, std::vector<int>> menus;
    for (const MenuCaption& c : MainMenuCaptions())
        if (std::string(c.band) != "tlbAction") menus[c.band].push_back(c.text);
    // Captions set outside the table above.
    for (int n : {3403, 3404}) menus["miEdit"].push_back(n);
    menus["miFile"].push_back(3212);
    std::vector<KeyScope> scopes;
    for (auto& [band, texts] : menus) scopes.push_back({band, texts});
    // A child window's keys act while it has the focus, together with the
    // menu bar's.
    for (const KeyScope& s : std::vector<KeyScope>(scopes))
        if (s.name == "Menu Bar") {
            KeyScope channels{"channel window", s.texts}, batch{"batch window", s.texts};
            channels.texts.push_back(1135);
            batch.texts.insert(batch.texts.end(), {1347, 1348});
            scopes.push_back(channels);
            scopes.push_back(batch);
        }
    scopes.push_back(
        {"channel grid menu", {3420, 3421, 3422, 3423, 3424, 3425, 3426, 3427, 3428, 3429, 3430}});
    scopes.push_back({"history window", {3221, 3222}});
    scopes.push_back({"port window", {3235, 3710, 1156, 1157}});
    scopes.push_back({"test mode", {1408, 1348}});
    scopes.push_back({"test mode adjusting", {1156, 1157}});
    return scopes;
}

std::string AccessKey(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(caption[i + 1]);
        if (c < 0x80) return std::string(1, static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
        std::size_t len = 1;  // a whole UTF-8 character
        while (i + 1 + len < caption.size() && (caption[i + 1 + len] & 0xC0) == 0x80) ++len;
        return caption.substr(i + 1, len);
    }
    return {};
}

std::vector<std::string> AccessKeyClashes(int language, const std::vector<KeyScope>& scopes) {
    std::vector<std::string> clashes;
    for (const KeyScope& scope : scopes) {
        std::map<std::string, std::vector<int>> byKey;
        for (int n : scope.texts) {
            const std::string key = AccessKey(LoadText(language, n));
            if (!key.empty()) byKey[key].push_back(n);
        }
        for (const auto& [key, texts] : byKey) {
            if (texts.size() < 2) continue;
            std::string line = scope.name + ": Alt+" + key + ":";
            for (int n : texts) line += " " + std::to_string(n);
            clashes.push_back(line);
        }
    }
    return clashes;
}

}  // namespace rm427
