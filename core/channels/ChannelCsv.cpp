#include "channels/ChannelCsv.h"

#include <algorithm>
#include <map>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"

namespace rm427 {

std::string CsvLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string CsvTrim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string Line(int n) { return "line " + std::to_string(n) + ": "; }

// Shortens a quoted value for a message so a stray megabyte does not land on stderr.
std::string Quote(const std::string& s) {
    std::string v = s.size() > 40 ? s.substr(0, 40) + "..." : s;
    return "\"" + v + "\"";
}

bool IsNumber(const std::string& s) {
    int digits = 0, points = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++points;
        else return false;
    }
    return digits > 0 && points <= 1;
}

}  // namespace

bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, std::string& error) {
    records.clear();
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    int line = 1;
    // A line break at i: CRLF, LF or CR. Returns its length (0 when none).
    auto lineBreak = [&](std::size_t at) -> std::size_t {
        if (at >= n) return 0;
        if (text[at] == '\r') return (at + 1 < n && text[at + 1] == '\n') ? 2 : 1;
        return text[at] == '\n' ? 1 : 0;
    };
    while (i < n) {
        if (std::size_t br = lineBreak(i)) {  // a line without any characters
            i += br;
            ++line;
            continue;
        }
        CsvRecord rec;
        rec.line = line;
        for (;;) {
            std::string field;
            if (i < n && text[i] == '"') {
                const int start = line;
                ++i;
                for (;;) {
                    if (i >= n) {
                        error = Line(start) + "quoted field is not closed";
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (std::size_t br = lineBreak(i)) {
                        field.append(text, i, br);
                        i += br;
                        ++line;
                        continue;
                    }
                    field += text[i++];
                }
                if (i < n && text[i] != ',' && !lineBreak(i)) {
                    error = Line(line) + "unexpected text after a closing quote";
                    return false;
                }
            } else {
                while (i < n && text[i] != ',' && !lineBreak(i)) field += text[i++];
            }
            rec.fields.push_back(std::move(field));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        records.push_back(std::move(rec));
        if (std::size_t br = lineBreak(i)) {
            i += br;
            ++line;
        }
    }
    return true;
}

std::string CsvField(const std::string& value) {
    const bool quote = value.find_first_of(",\"\r\n") != std::string::npos ||
                       (!value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                                           value.front() == '\t' || value.back() == '\t'));
    if (!quote) return value;
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string ChannelRowsToCsv(const ChannelRows& rows) {
    std::string out;
    for (int c = 0; c < kChannelColumns; ++c) {
        if (c) out += ',';
        out += ChannelColumnOf(c).csvName;
    }
    out += "\r\n";
    for (std::size_t n = 1; n < rows.size(); ++n) {
        if (rows[n][colRxFreq].empty()) continue;
        for (int c = 0; c < kChannelColumns; ++c) {
            if (c) out += ',';
            out += CsvField(rows[n][c]);
        }
        out += "\r\n";
    }
    return out;
}

std::string ChannelsToCsv(const std::vector<Channel>& channels) {
    ChannelRows rows(channels.size() + 1);
    for (std::size_t n = 1; n < rows.size(); ++n) rows[n][colChannel] = std::to_string(n);
    RenderChannels(channels, 0, rows);
    return ChannelRowsToCsv(rows);
}

std::string ExportChannelsCsv(const CodeplugImage& image) { return ChannelsToCsv(ImageChannels(image)); }

namespace {

const char* CsvName(int column) { return ChannelColumnOf(column).csvName; }

// A frequency cell: "" when the line is refused (error set).
std::string TakeFreq(const Module1& s, const std::string& field, int column, const std::string& rxText,
                     int line, std::string& error) {
    const std::string name = CsvName(column);
    const std::string v = CsvTrim(field);
    if (!IsNumber(v)) {
        error = Line(line) + name + " " + Quote(v) + " is not a number";
        return {};
    }
    const FreqCheckResult r =
        CheckFreq(v, column, rxText, s.EditLimitLow, s.EditLimitHigh, s.FreqLimitLow, s.FreqLimitHigh);
    if (r.outOfRange) {
        error = Line(line) + name + " " + v + " is out of range (" + std::to_string(s.EditLimitLow) +
                " to " + std::to_string(s.EditLimitHigh) + " MHz)";
        return {};
    }
    return r.text;
}

}  // namespace

bool ChannelsFromCsv(const Module1& state, const std::string& csv, std::vector<Channel>& out,
                     std::string& error, std::vector<std::string>* warnings) {
    const int channels = std::min<int>(state.CHCount, kMaxChannels);
    out.assign(static_cast<std::size_t>(channels), Channel{});
    std::vector<CsvRecord> records;
    if (!ReadCsv(csv, records, error)) return false;
    if (records.empty()) {
        error = "line 1: no header line (the file is empty)";
        return false;
    }

    // Header: which field holds which column.
    const CsvRecord& head = records.front();
    std::vector<int> fieldColumn(head.fields.size(), -1);
    int columnField[kChannelColumns];
    std::fill(std::begin(columnField), std::end(columnField), -1);
    for (std::size_t f = 0; f < head.fields.size(); ++f) {
        if (CsvTrim(head.fields[f]).empty())
            continue;  // an unnamed column (a trailing comma) is ignored
        const int col = ChannelColumnOfCsvName(head.fields[f]);
        if (col < 0) {
            error = Line(head.line) + "unknown column " + Quote(CsvTrim(head.fields[f])) +
                    " (the columns are Channel,RxFreq,TxFreq,Decode,Encode,Power,Bandwidth,"
                    "ScanAdd,BeatShift,BCL,VOX,Option,Name)";
            return false;
        }
        if (columnField[col] >= 0) {
            error = Line(head.line) + "column " + CsvName(col) + " appears twice";
            return false;
        }
        columnField[col] = static_cast<int>(f);
        fieldColumn[f] = col;
    }
    for (int c : {colChannel, colRxFreq})
        if (columnField[c] < 0) {
            error = Line(head.line) + "the header has no " + CsvName(c) + " column";
            return false;
        }

    // Tones are read in English ("None" also in the state's language).
    const std::vector<std::string> tones = ToneList(0), cellTones = ToneList(state.Language);
    std::map<int, int> seen;  // channel -> line
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        const int line = rec.line;
        if (rec.fields.size() != head.fields.size()) {
            error = Line(line) + "expected " + std::to_string(head.fields.size()) + " fields, found " +
                    std::to_string(rec.fields.size());
            return false;
        }
        auto cell = [&](int c) -> std::string {
            return columnField[c] < 0 ? std::string() : rec.fields[columnField[c]];
        };

        const std::string number = CsvTrim(cell(colChannel));
        int n = 0;
        bool okNumber = !number.empty() && number.size() <= 4;
        for (char c : number) okNumber = okNumber && c >= '0' && c <= '9';
        if (okNumber) n = std::stoi(number);
        if (!okNumber || n < 1 || n > channels) {
            error = Line(line) + "channel " + Quote(number) + " is not a number from 1 to " +
                    std::to_string(channels);
            return false;
        }
        if (seen.count(n)) {
            error = Line(line) + "channel " + std::to_string(n) + " is listed twice (first on line " +
                    std::to_string(seen[n]) + ")";
            return false;
        }
        seen[n] = line;

        Channel& ch = out[static_cast<std::size_t>(n - 1)];
        ch.programmed = true;
        if (CsvTrim(cell(colRxFreq)).empty()) {
            error = Line(line) + "RxFreq is empty";
            return false;
        }
        const std::string rx = TakeFreq(state, cell(colRxFreq), colRxFreq, "", line, error);
        if (rx.empty()) return false;
        ch.rx = ch.tx = FreqCount(rx);
        if (!CsvTrim(cell(colTxFreq)).empty()) {
            const std::string tx = TakeFreq(state, cell(colTxFreq), colTxFreq, rx, line, error);
            if (tx.empty()) return false;
            ch.tx = FreqCount(tx);
        }

        for (int c : {colDecode, colEncode}) {
            const std::string t = CsvLower(CsvTrim(cell(c)));
            int index = t.empty() || t == CsvLower(cellTones[0]) ? 0 : -1;
            for (int i = 0; i < kToneCount && index < 0; ++i)
                if (t == CsvLower(tones[i])) index = i;
            if (index < 0) {
                error = Line(line) + "unknown tone " + Quote(CsvTrim(cell(c))) + " in " + CsvName(c);
                return false;
            }
            (c == colDecode ? ch.decode : ch.encode) = index;
        }

        for (int c = colPower; c < colName; ++c) {
            // An empty cell or a missing column: what a new channel gets.
            const bool empty = CsvTrim(cell(c)).empty();
            const int choice = empty ? ChannelColumnOf(c).newChannel : ChoiceOfCsvWord(c, cell(c));
            if (choice < 0) {
                error = Line(line) + CsvName(c) + " " + Quote(CsvTrim(cell(c))) + " is not one of " +
                        CsvChoiceList(c);
                return false;
            }
            SetChoice(ch, c, choice);
        }

        const std::string name = Upper(cell(colName));
        for (char c : name)
            if (NameCharCode(c) == kNoNameChar) {
                error = Line(line) + "Name " + Quote(name) +
                        " holds a character a channel name cannot store (allowed: A-Z, 0-9, "
                        "space and - * + _)";
                return false;
            }
        ch.name = name.substr(0, kNameLength);
        if (name.size() > static_cast<std::size_t>(kNameLength) && warnings)
            warnings->push_back(Line(line) + "name " + Quote(name) + " shortened to " + Quote(ch.name));
    }
    return true;
}

bool ChannelRowsFromCsv(const Module1& state, const std::string& csv, ChannelRows& rows,
                        std::string& error, std::vector<std::string>* warnings) {
    std::vector<Channel> channels;
    rows = MakeChannelRows(state);
    if (!ChannelsFromCsv(state, csv, channels, error, warnings)) return false;
    RenderChannels(channels, state.Language, rows);
    return true;
}

void StoreChannels(CodeplugImage& image, const std::vector<Channel>& channels) {
    for (int n = 1; n <= kMaxChannels; ++n) {
        Channel ch = static_cast<std::size_t>(n - 1) < channels.size() ? channels[n - 1] : Channel{};
        ch.record = ChannelAt(image, n).record;
        PutChannel(image, n, ch);
    }
}

bool ImportChannelsCsv(const std::string& csv, CodeplugImage& image, std::string& error,
                       std::vector<std::string>* warnings) {
    std::vector<Channel> channels;
    if (!ChannelsFromCsv(Module1(), csv, channels, error, warnings)) return false;
    StoreChannels(image, channels);
    return true;
}

}  // namespace rm427
