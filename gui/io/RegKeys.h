// The persistent settings store: a few text values under one key.
//
// On Windows the values live in the registry (HKEY_LOCAL_MACHINE, through
// QSettings' native format; where a normal user may not write there, the
// values written go to HKEY_CURRENT_USER and are read back from there).
// Elsewhere they live in an INI file in the user's configuration folder.
// RM427_SETTINGS_FILE names another file on every system (tests, the demo's
// run and portable installs use that). Value names are matched without regard to
// letter case on every platform, as the registry does.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rm427 {

enum class RegRoot { LocalMachine };

// The program's own key. The path holds two backslash characters between the
// two names; the store treats any run of backslashes as one separator.
inline constexpr const char* kProgramKeyPath = "SoftWare\\\\RM-427";

// Name of the environment variable that overrides the settings file path.
inline constexpr const char* kSettingsFileVariable = "RM427_SETTINGS_FILE";

// The value's text, or an empty text when the key or the value is missing or
// cannot be read. Texts are cut at their first NUL character and limited to
// 1023 bytes (longer values read as empty, like a too-small buffer would).
std::string GetKeyValue(RegRoot root, const std::string& keyPath, const std::string& valueName);

// Creates the key when needed and stores the text. True on success.
bool SetKeyValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& text);

// Several values of one key in one go (one write of the store). True on success.
bool SetKeyValues(RegRoot root, const std::string& keyPath,
                  const std::vector<std::pair<std::string, std::string>>& values);
// Copies every value of the program's key into a new settings file (the
// demo's run of its own). True on success.
bool CopySettingsTo(const std::string& file);
// Where the values are kept (the INI file path, or the registry path on
// Windows); for the README and for error texts.
std::string SettingsLocation();

}  // namespace rm427
