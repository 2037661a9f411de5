// Where the program and rm427-cli keep the history: the folder "history" in
// the program's data folder (QStandardPaths::AppDataLocation of "rm427",
// on Linux ~/.local/share/rm427/history, or $XDG_DATA_HOME/rm427/history).
#pragma once

#include <string>

namespace rm427 {

// Empty when the system names no data folder.
std::string HistoryFolder();

}  // namespace rm427
