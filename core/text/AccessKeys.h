// Access keys (the letter after "&" in a caption) and the places where they
// act together, so that no two captions of one place answer the same Alt key
// in either language.
#pragma once

#include <string>
#include <vector>

namespace rm427 {

// A caption of the main window's menus and toolbar: band, tool, text number.
struct MenuCaption {
    const char* band;
    const char* tool;
    int text;
};

// The captions the language switch sets, in the order it sets them.
const std::vector<MenuCaption>& MainMenuCaptions();

// Texts whose access keys are live at the same time: a menu's entries, or a
// window's controls (the menu bar shares its keys with the controls of the
// child windows it holds, the channel and batch windows).
struct KeyScope {
    std::string name;
    std::vector<int> texts;
};

// Every such place of the program.
std::vector<KeyScope> AccessKeyScopes();

// The access key of a caption, upper case for a Latin letter; empty when the
// caption has none ("&&" is a plain "&").
std::string AccessKey(const std::string& caption);

// One line per key that two texts of a scope share in the language:
// "<scope>: Alt+<key>: <text> <text>".
std::vector<std::string> AccessKeyClashes(int language, const std::vector<KeyScope>& scopes);

}  // namespace rm427
