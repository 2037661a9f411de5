#include "channels/CsvNotes.h"

#include <map>

#include "channels/ChannelColumns.h"
#include "text/TextTable.h"

namespace rm427 {
namespace {

constexpr char kRef = '\x01';  // a text argument: kRef, a kind letter, a number
enum : int { txtLine = 3300, txtJoin = 3301, txtListJoin = 3302 };

std::string Ref(char kind, int n) { return std::string{kRef, kind} + std::to_string(n); }

std::string Arg(const std::string& a, int language) {
    if (a.size() < 3 || a.size() > 8 || a[0] != kRef ||
        a.find_first_not_of("0123456789", 2) != std::string::npos)
        return a;
    const int n = std::stoi(a.substr(2));
    switch (a[1]) {
    case 'T': return LoadText(language, n);
    case 'C':
        if (n >= kChannelColumns) return a;
        return language == 0 ? ChannelColumnOf(n).csvName : LoadText(language, ChannelColumnOf(n).title);
    case 'L': {
        std::string out;
        for (const std::string& t : ChoiceTexts(language, n))
            out += (out.empty() ? "" : LoadText(language, txtListJoin)) + t;
        return out;
    }
    default: return a;
    }
}

}  // namespace

std::string TextArg(int text) { return Ref('T', text); }
std::string ColumnArg(int col) { return Ref('C', col); }
std::string ChoicesArg(int col) { return Ref('L', col); }
std::string ValueArg(const std::string& value) {
    std::string v = value.size() > 40 ? value.substr(0, 40) + "..." : value;
    if (!v.empty() && v[0] == kRef) v[0] = '?';  // never read as a text argument
    return v;
}

std::string NoteText(const CsvNote& note, int language) {
    std::vector<std::string> args;
    for (const std::string& a : note.args) args.push_back(Arg(a, language));
    return FillText(LoadText(language, note.text), args);
}

std::string NoteLine(const CsvNote& note, int language) {
    return FillText(LoadText(language, txtLine), {std::to_string(note.line), NoteText(note, language)});
}

std::vector<std::string> NoteLines(const std::vector<CsvNote>& notes, int language) {
    std::vector<std::string> out;
    std::map<int, std::size_t> at;  // line -> index in out
    std::vector<std::string> texts;
    for (const CsvNote& n : notes) {
        const auto it = at.find(n.line);
        if (it == at.end()) {
            at[n.line] = texts.size();
            texts.push_back(NoteText(n, language));
        } else {
            texts[it->second] += LoadText(language, txtJoin) + NoteText(n, language);
        }
    }
    std::vector<int> lines(texts.size());
    for (const auto& [line, index] : at) lines[index] = line;
    for (std::size_t i = 0; i < texts.size(); ++i)
        out.push_back(FillText(LoadText(language, txtLine), {std::to_string(lines[i]), texts[i]}));
    return out;
}

}  // namespace rm427
