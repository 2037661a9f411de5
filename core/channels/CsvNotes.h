// What the CSV readers find, as numbered texts of the text table with their
// arguments: each window says it in the interface's language, the command
// line in English. The readers of both CSV layouts, the paste and the
// import preview share them.
#pragma once

#include <string>
#include <vector>

namespace rm427 {

struct CsvNote {
    enum Kind {
        Error,    // the file as a whole cannot be taken
        Skipped,  // the line is left out
        Fitted,   // a value changed to what the radio can hold
        Warning,  // taken as it is, but the radio will not use it so
        Read,     // a spreadsheet's damage repaired without changing a value
    };
    Kind kind = Fitted;
    int line = 0;     // the line of the file it is about (from 1)
    int channel = 0;  // the channel it is about (0: none, or not known yet)
    int text = 0;     // English text number
    std::vector<std::string> args;
};

// Arguments that are themselves texts in the note's language.
std::string TextArg(int text);
// The column's own-layout CSV header in English, its title in Chinese.
std::string ColumnArg(int col);
// The texts of the column's choices ("High, Mid, Low").
std::string ChoicesArg(int col);
// A value quoted in a note is cut after 40 characters.
std::string ValueArg(const std::string& value);

// The note without its line ("name "X" shortened to "Y"").
std::string NoteText(const CsvNote& note, int language);
// "line N: " and the note.
std::string NoteLine(const CsvNote& note, int language);
// One text per line of the file, in the order the lines first appear:
// "line N: what; what".
std::vector<std::string> NoteLines(const std::vector<CsvNote>& notes, int language);

}  // namespace rm427
