#include "channels/ChannelClipboard.h"

#include <algorithm>
#include <cctype>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/ChannelRowOps.h"
#include "channels/CommonCsv.h"
#include "channels/FreqCodec.h"
#include "text/TextTable.h"

namespace rm427 {

std::string ChannelsToTsv(const ChannelRows& rows, int first, int last) {
    const int n = ChannelCount(rows);
    first = std::max(first, 1);
    last = std::min(last, n);
    std::string out;
    auto line = [&out](const ChannelRow& row) {
        for (int c = 0; c < kChannelColumns; ++c) {
            if (c) out += '\t';
            out += row[c];
        }
        out += '\n';
    };
    if (!rows.empty()) line(rows[0]);
    for (int r = first; r <= last; ++r) line(rows[r]);
    return out;
}

namespace {

enum : int {
    txtRxNotNumber = 3870,
    txtTxNotNumber = 3871,
    txtRxRange = 3872,
    txtTxRange = 3873,
    txtNameTaken = 3874,
    txtCellTaken = 3875,
    txtNoRoom = 3372,
};

void Note(ChannelPaste& paste, CsvNote::Kind kind, int line, int text, std::vector<std::string> args) {
    CsvNote n;
    n.kind = kind;
    n.line = line;
    n.text = text;
    n.args = std::move(args);
    paste.report.notes.push_back(std::move(n));
    if (kind == CsvNote::Skipped) ++paste.report.skipped;
}

std::string Trim(const std::string& s) { return CsvTrim(s); }

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep) out.emplace_back();
        else out.back() += c;
    }
    return out;
}

bool IsNumber(const std::string& s) {
    int dots = 0, digits = 0;
    for (char c : s) {
        if (c == '.') ++dots;
        else if (c >= '0' && c <= '9') ++digits;
        else return false;
    }
    return digits > 0 && dots <= 1;
}

// The first..last programmed channels of rows, with the gaps between them
// and the line each came from.
void TakeBlock(const ChannelRows& rows, const std::vector<int>& lineOf, ChannelPaste& paste) {
    int first = 0, last = 0;
    for (int r = 1; r <= ChannelCount(rows); ++r)
        if (ChannelProgrammed(rows[r])) {
            if (!first) first = r;
            last = r;
        }
    if (first)
        for (int r = first; r <= last; ++r) {
            paste.channels.push_back(rows[r]);
            paste.report.lineOf.push_back(r - 1 < int(lineOf.size()) ? lineOf[r - 1] : 0);
        }
}

bool IsTitleLine(const std::vector<std::string>& fields) {
    for (int language : {0, 1}) {
        Module1 s;
        s.Language = static_cast<std::uint8_t>(language);
        ChannelRows titles = MakeChannelRows(s);
        for (std::size_t f = 0; f < fields.size() && f < 3; ++f)
            if (!fields[f].empty() &&
                (Trim(fields[f]) == titles[0][colRxFreq] || Trim(fields[f]) == titles[0][colChannel]))
                return true;
    }
    return false;
}

// A frequency cell; "" (with a note) when the line cannot be taken.
std::string Freq(const Module1& s, const std::string& text, int column, const std::string& rx, int line,
                 ChannelPaste& paste) {
    std::string v = Trim(text);
    std::replace(v.begin(), v.end(), ',', '.');
    const bool receive = column == colRxFreq;
    if (!IsNumber(v)) {
        Note(paste, CsvNote::Skipped, line, receive ? txtRxNotNumber : txtTxNotNumber,
             {ValueArg(Trim(text))});
        return {};
    }
    const FreqCheckResult r = CheckFreqEditor(s, v, column, rx);
    if (r.outOfRange) {
        Note(paste, CsvNote::Skipped, line, receive ? txtRxRange : txtTxRange,
             {ValueArg(v), std::to_string(s.EditLimitLow), std::to_string(s.EditLimitHigh)});
        return {};
    }
    return r.text;
}

void ReadTsv(const Module1& state, const std::string& text, ChannelPaste& paste) {
    std::vector<std::string> lines = Split(text, '\n');
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    std::vector<int>& lineOf = paste.report.lineOf;  // pasted channel -> line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = int(i) + 1;
        std::string l = lines[i];
        if (!l.empty() && l.back() == '\r') l.pop_back();
        std::vector<std::string> f = Split(l, '\t');
        if (i == 0 && IsTitleLine(f)) continue;
        if (int(paste.channels.size()) >= state.CHCount) {
            Note(paste, CsvNote::Skipped, line, txtNoRoom, {});
            continue;
        }
        // 13 cells with the channel number first, or the 12 cells after it.
        const int offset = f.size() >= size_t(kChannelColumns) ? 1 : 0;
        ChannelRow row{};
        for (int c = colRxFreq; c < kChannelColumns; ++c) {
            const std::size_t at = std::size_t(offset + c - 1);
            if (at < f.size()) row[c] = Trim(f[at]);
        }
        if (row[colRxFreq].empty()) {
            // An empty channel of the copied block.
            paste.channels.push_back(ChannelRow{});
            lineOf.push_back(line);
            continue;
        }
        row[colRxFreq] = Freq(state, row[colRxFreq], colRxFreq, "", line, paste);
        if (row[colRxFreq].empty()) continue;
        if (row[colTxFreq].empty()) {
            row[colTxFreq] = row[colRxFreq];
        } else {
            row[colTxFreq] = Freq(state, row[colTxFreq], colTxFreq, row[colRxFreq], line, paste);
            if (row[colTxFreq].empty()) continue;
        }
        // Cells left empty take what a new channel gets; choices and "None"
        // are taken in either language, whatever the interface shows.
        for (int c : {colDecode, colEncode, colPower})
            if (row[c].empty()) row[c] = NewChannelText(state.Language, c);
        for (int c : {colDecode, colEncode})
            if (row[c] == NewChannelText(0, c) || row[c] == NewChannelText(1, c))
                row[c] = NewChannelText(state.Language, c);
        for (int c = colPower; c < colName; ++c)
            if (const int choice = ChoiceOfWord(c, row[c]); choice >= 0)
                row[c] = ChoiceText(state.Language, c, choice);
        std::string name;
        for (char ch : row[colName]) {
            const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (NameCharCode(u) != kNoNameChar) name += u;
        }
        if (name.size() > size_t(kNameLength)) name.resize(kNameLength);
        const std::string typed = row[colName];
        std::string typedUpper = typed;
        for (char& ch : typedUpper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (name != typedUpper)
            Note(paste, CsvNote::Fitted, line, txtNameTaken, {ValueArg(typed), ValueArg(name)});
        row[colName] = name;
        paste.channels.push_back(row);
        lineOf.push_back(line);
    }

    // Choice and tone cells: what the record can hold; a cell that names
    // nothing the record knows takes what the record will read back.
    const int count = std::min<int>(int(paste.channels.size()), state.CHCount);
    for (int i = 0; i < count; ++i) {
        ChannelRow& row = paste.channels[i];
        if (!ChannelProgrammed(row)) continue;
        const Channel took = StoredChannel(ParseRow(row, state.Language, Channel{}));
        for (int c = colDecode; c < colName; ++c) {
            const std::string cell = ChannelCell(took, c, state.Language);
            if (!row[c].empty() && row[c] != cell)
                Note(paste, CsvNote::Fitted, lineOf[i], txtCellTaken,
                     {TextArg(ChannelColumnOf(c).title), ValueArg(row[c]), ValueArg(cell)});
            row[c] = cell;
        }
    }
}

}  // namespace

bool ReadChannelPaste(const Module1& state, const std::string& text, ChannelPaste& paste,
                      std::string& error) {
    paste = ChannelPaste{};
    error.clear();
    const std::string firstLine = text.substr(0, text.find('\n'));
    // The grid's own copy (tab-separated, its titles first) is read as cells;
    // a CSV layout a spreadsheet pastes with tabs by its header.
    const bool gridTitles =
        firstLine.find('\t') != std::string::npos && IsTitleLine(Split(firstLine, '\t'));
    const CsvLayout layout = gridTitles ? CsvLayout::Unknown : DetectCsvLayout(text);
    if (layout == CsvLayout::Own || layout == CsvLayout::Common) {
        // The notes and the error in the language of the interface.
        std::vector<Channel> channels;
        CsvReport report;
        CsvNote failed;
        if (!(layout == CsvLayout::Own ? ReadOwnCsv : ReadCommonCsv)(state, text, channels, report,
                                                                     failed)) {
            error = NoteLine(failed, state.Language);
            return false;
        }
        ChannelRows rows = MakeChannelRows(state);
        RenderChannels(channels, state.Language, rows);
        paste.report.notes = report.notes;
        paste.report.skipped = report.skipped;
        TakeBlock(rows, report.lineOf, paste);
    } else {
        ReadTsv(state, text, paste);
    }
    paste.report.channels =
        static_cast<int>(std::count_if(paste.channels.begin(), paste.channels.end(),
                                       [](const ChannelRow& r) { return ChannelProgrammed(r); }));
    return std::any_of(paste.channels.begin(), paste.channels.end(),
                       [](const ChannelRow& r) { return ChannelProgrammed(r); });
}

int PlaceChannelPaste(ChannelList& list, int at, const ChannelPaste& paste, int language) {
    const int n = int(list.size());
    int lost = 0;
    for (std::size_t i = 0; i < paste.channels.size(); ++i) {
        const int r = at + int(i);
        if (r < 1) continue;
        if (r > n) {
            lost += ChannelProgrammed(paste.channels[i]);
            continue;
        }
        Channel& ch = list[std::size_t(r - 1)];
        ch = ParseRow(paste.channels[i], language, ch);
    }
    return lost;
}

std::vector<std::string> ChannelPaste::Notes(int language) const {
    std::vector<std::string> out = report.Lines(language);
    for (const std::string& l : report.RepairLines(language)) out.push_back(l);
    return out;
}

PasteImport PasteAsImport(const ChannelPaste& paste, int at, int language) {
    PasteImport p;
    p.report = paste.report;
    int lead = -1;
    for (std::size_t i = 0; i < paste.channels.size(); ++i) {
        p.incoming.push_back(ParseRow(paste.channels[i], language, Channel{}));
        if (lead < 0 && p.incoming.back().programmed) lead = static_cast<int>(i);
    }
    p.options.mode = ImportMode::At;
    p.options.at = std::max(at, 1) + std::max(lead, 0);
    return p;
}

bool PasteNeedsPreview(const std::vector<Channel>& current, const PasteImport& paste, int language) {
    const auto count = std::count_if(paste.incoming.begin(), paste.incoming.end(),
                                     [](const Channel& ch) { return ch.programmed; });
    if (count <= 1) return false;
    if (count > kQuietPaste) return true;
    const ImportPlan plan = PlanImport(current, paste.incoming, paste.report, paste.options, language);
    return plan.Count(ImportLine::Changed) + plan.Count(ImportLine::Emptied) > 0;
}

}  // namespace rm427
