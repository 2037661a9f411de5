#include "channels/ChannelCsv.h"

#include <algorithm>
#include <map>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"
#include "text/TextTable.h"

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

bool CsvFixed(const std::string& text, int decimals, std::int64_t& out) {
    const std::string s = CsvTrim(text);
    std::int64_t whole = 0;
    std::size_t i = 0;
    int digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        if (digits >= 9) return false;
        whole = whole * 10 + (s[i] - '0');
    }
    std::int64_t frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
            if (fracDigits < decimals) {
                frac = frac * 10 + (s[i] - '0');
                ++fracDigits;
            } else if (fracDigits == decimals) {
                roundUp = s[i] >= '5';
                ++fracDigits;
            }
        }
    }
    if (i != s.size() || digits == 0) return false;
    for (int d = std::min(fracDigits, decimals); d < decimals; ++d) frac *= 10;
    std::int64_t scale = 1;
    for (int d = 0; d < decimals; ++d) scale *= 10;
    out = whole * scale + frac + (roundUp ? 1 : 0);
    return true;
}

void CsvRepairs::Add(int text, int line) {
    auto it = seen_.find(text);
    if (it == seen_.end()) seen_[text] = {1, line};
    else ++it->second.first;
}

void CsvRepairs::AddTo(std::vector<CsvNote>& notes) const {
    for (const auto& [text, seen] : seen_) {
        CsvNote n;
        n.kind = CsvNote::Read;
        n.line = seen.second;
        n.text = text;
        n.args = {std::to_string(seen.first)};
        notes.push_back(n);
    }
}

std::string CsvNumber(const std::string& field, char separator, CsvRepairs& repairs, int line) {
    std::string v = CsvTrim(field);
    const auto comma = v.find(',');
    if (separator != ',' && comma != std::string::npos && v.find(',', comma + 1) == std::string::npos &&
        v.find('.') == std::string::npos) {
        v[comma] = '.';
        repairs.Add(kRepairDecimalComma, line);
    }
    return v;
}

namespace {

enum : int {
    txtQuoteOpen = 3303,
    txtAfterQuote = 3304,
    txtEmptyFile = 3305,
    txtUnknownColumn = 3306,
    txtColumnTwice = 3307,
    txtNoColumn = 3308,
    txtFieldCount = 3309,
    txtBadChannel = 3310,
    txtChannelTwice = 3311,
    txtEmpty = 3312,
    txtNotNumber = 3313,
    txtOutOfRange = 3314,
    txtUnknownTone = 3315,
    txtNotChoice = 3316,
    txtBadName = 3317,
    txtShortened = 3318,
    txtRounded = 3319,
    txtUpperCase = 3320,
    txtSemicolons = 3356,
    txtTabs = 3357,
    txtBom = 3358,
    txtUtf16 = 3359,
    txtSummaryOwn = 3350,
    txtSummaryCounts = 3345,
    txtSummaryFitted = 3346,
    txtRead = 3343,
    txtSkipped = 3344,
    txtRepaired = 3349,
};

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

CsvNote Note(CsvNote::Kind kind, int line, int text, std::vector<std::string> args = {}) {
    CsvNote n;
    n.kind = kind;
    n.line = line;
    n.text = text;
    n.args = std::move(args);
    return n;
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

void PutUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// UTF-16 from byte `at` on as UTF-8; a lone surrogate becomes U+FFFD, an
// odd last byte is dropped.
std::string Utf16ToUtf8(const std::string& raw, std::size_t at, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(raw[i]), b = static_cast<unsigned char>(raw[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = at; i + 1 < raw.size(); i += 2) {
        std::uint32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < raw.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        PutUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
    }
    return out;
}

}  // namespace

CsvSource DecodeCsv(const std::string& raw) {
    CsvSource src;
    const auto byte = [&](std::size_t i) {
        return i < raw.size() ? static_cast<unsigned char>(raw[i]) : 0x100;
    };
    auto note = [&](int text) { src.notes.push_back(Note(CsvNote::Read, 1, text)); };
    if (byte(0) == 0xFF && byte(1) == 0xFE) {
        src.text = Utf16ToUtf8(raw, 2, false);
        note(txtUtf16);
    } else if (byte(0) == 0xFE && byte(1) == 0xFF) {
        src.text = Utf16ToUtf8(raw, 2, true);
        note(txtUtf16);
    } else if (raw.size() >= 4 && byte(0) != 0 && byte(1) == 0 && byte(3) == 0) {
        src.text = Utf16ToUtf8(raw, 0, false);  // no byte order mark: the zeros tell
        note(txtUtf16);
    } else if (raw.size() >= 4 && byte(0) == 0 && byte(1) != 0 && byte(2) == 0) {
        src.text = Utf16ToUtf8(raw, 0, true);
        note(txtUtf16);
    } else if (raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        src.text = raw.substr(3);
        note(txtBom);
    } else {
        src.text = raw;
    }

    // The separator the header line holds most of, outside quotes.
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < src.text.size(); ++i) {
        const char c = src.text[i];
        if (c == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == '\r' || c == '\n') {
            if (commas + semicolons + tabs) break;  // a header, not a blank line
        } else if (c == ',') ++commas;
        else if (c == ';') ++semicolons;
        else if (c == '\t') ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs) {
        src.separator = ';';
        note(txtSemicolons);
    } else if (tabs > commas && tabs > semicolons) {
        src.separator = '\t';
        note(txtTabs);
    }
    return src;
}

bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, CsvNote& error, char sep) {
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
                        error = Note(CsvNote::Error, start, txtQuoteOpen);
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
                if (i < n && text[i] != sep && !lineBreak(i)) {
                    error = Note(CsvNote::Error, line, txtAfterQuote);
                    return false;
                }
            } else {
                while (i < n && text[i] != sep && !lineBreak(i)) field += text[i++];
            }
            rec.fields.push_back(std::move(field));
            if (i < n && text[i] == sep) {
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

bool ReadCsv(const std::string& text, std::vector<CsvRecord>& records, std::string& error) {
    CsvNote e;
    if (ReadCsv(text, records, e)) return true;
    error = NoteLine(e, 0);
    return false;
}

std::string CsvField(const std::string& value, char separator) {
    const bool quote = value.find_first_of(std::string("\"\r\n") + separator) != std::string::npos ||
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

std::string CsvLine(const std::vector<std::string>& fields, const std::vector<bool>& numbers,
                    const CsvStyle& style) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string f = fields[i];
        if (style.decimalComma && style.separator != ',' && i < numbers.size() && numbers[i] &&
            IsNumber(!f.empty() && f[0] == '-' ? f.substr(1) : f))
            std::replace(f.begin(), f.end(), '.', ',');
        out += (i ? std::string(1, style.separator) : std::string()) + CsvField(f, style.separator);
    }
    return out + "\r\n";
}

std::string ChannelRowsToCsv(const ChannelRows& rows, const CsvStyle& style) {
    std::vector<std::string> head;
    std::vector<bool> numbers;
    for (int c = 0; c < kChannelColumns; ++c) {
        head.push_back(ChannelColumnOf(c).csvName);
        numbers.push_back(c == colRxFreq || c == colTxFreq || c == colDecode || c == colEncode);
    }
    std::string out = CsvLine(head, {}, style);
    for (std::size_t n = 1; n < rows.size(); ++n) {
        if (rows[n][colRxFreq].empty()) continue;
        out += CsvLine(std::vector<std::string>(rows[n].begin(), rows[n].end()), numbers, style);
    }
    return out;
}

std::string ChannelsToCsv(const std::vector<Channel>& channels, const CsvStyle& style) {
    ChannelRows rows(channels.size() + 1);
    for (std::size_t n = 1; n < rows.size(); ++n) rows[n][colChannel] = std::to_string(n);
    RenderChannels(channels, 0, rows);
    return ChannelRowsToCsv(rows, style);
}

std::string ExportChannelsCsv(const CodeplugImage& image, const CsvStyle& style) {
    return ChannelsToCsv(ImageChannels(image), style);
}

bool CsvReport::Fits() const {
    return skipped == 0 && std::all_of(notes.begin(), notes.end(),
                                       [](const CsvNote& n) { return n.kind == CsvNote::Read; });
}

std::vector<std::string> CsvReport::Lines(int language) const {
    std::vector<CsvNote> some;
    for (const CsvNote& n : notes)
        if (n.kind != CsvNote::Read) some.push_back(n);
    return NoteLines(some, language);
}

std::vector<std::string> CsvReport::RepairLines(int language) const {
    std::vector<CsvNote> some;
    for (const CsvNote& n : notes)
        if (n.kind == CsvNote::Read) some.push_back(n);
    return NoteLines(some, language);
}

std::string CsvReport::Summary(int language, bool withRepairs) const {
    const std::vector<std::string> lines = Lines(language);
    const std::vector<std::string> repairs =
        withRepairs ? RepairLines(language) : std::vector<std::string>{};
    std::string s =
        FillText(LoadText(language, lines.empty() ? txtSummaryCounts : txtSummaryFitted),
                 {CountText(language, txtRead, channels), CountText(language, txtSkipped, skipped)}) +
        "\n";
    for (const auto& l : lines) s += l + "\n";
    if (!repairs.empty()) s += LoadText(language, txtRepaired) + "\n";
    for (const auto& l : repairs) s += l + "\n";
    return s;
}

namespace {

// The column a header names: its own-layout name (any case) or the
// channel editor's title in either language (Chinese counted as a repair).
int HeaderColumn(const std::string& field, int line, CsvRepairs& repairs) {
    const int col = ChannelColumnOfCsvName(field);
    if (col >= 0) return col;
    const std::string name = CsvTrim(field);
    for (int language : {0, 1})
        for (int c = 0; c < kChannelColumns; ++c)
            if (name == LoadText(language, ChannelColumnOf(c).title)) {
                if (language == 1) repairs.Add(kRepairChinese, line);
                return c;
            }
    return -1;
}

// A tone cell: its list index, -1 when it names none. "None" in either
// language, the list's texts in any case, a CTCSS tone with other decimals
// ("88.50", "100"), a DCS code without its leading zeros ("D23N").
int ToneOfCell(const std::string& cell, int line, CsvRepairs& repairs) {
    const std::string t = CsvLower(cell);
    if (t.empty() || t == CsvLower(LoadText(0, 1137))) return 0;
    if (cell == LoadText(1, 1137)) {
        repairs.Add(kRepairChinese, line);
        return 0;
    }
    const auto& texts = ToneTexts();
    for (int i = 1; i < kToneCount; ++i)
        if (t == CsvLower(texts[i])) return i;
    std::int64_t tenths = 0;
    if (CsvFixed(t, 1, tenths))
        for (int i = kFirstCtcss; i <= kLastCtcss; ++i) {
            std::int64_t v = 0;
            if (CsvFixed(texts[i], 1, v) && v == tenths) return i;
        }
    if (t.size() >= 3 && t.size() < 5 && t[0] == 'd' && (t.back() == 'n' || t.back() == 'i')) {
        std::string code = t.substr(1, t.size() - 2);
        if (code.find_first_not_of("01234567") != std::string::npos) return -1;
        code.insert(0, 3 - code.size(), '0');
        for (int i = kFirstDcs; i < kToneCount; ++i)
            if (t.back() == CsvLower(texts[i]).back() && std::string(texts[i]).substr(1, 3) == code) {
                repairs.Add(kRepairDcsZeros, line);
                return i;
            }
    }
    return -1;
}

}  // namespace

bool ReadOwnCsv(const Module1& state, const std::string& csv, std::vector<Channel>& out,
                CsvReport& report, CsvNote& error) {
    const int channels = std::min<int>(state.CHCount, kMaxChannels);
    out.assign(static_cast<std::size_t>(channels), Channel{});
    report = CsvReport{};
    report.lineOf.assign(out.size(), 0);
    CsvSource src = DecodeCsv(csv);
    report.notes = src.notes;
    const char sep = src.separator;
    CsvRepairs repairs;
    std::vector<CsvRecord> records;
    if (!ReadCsv(src.text, records, error, sep)) return false;
    auto fail = [&](int line, int text, std::vector<std::string> args = {}) {
        error = Note(CsvNote::Error, line, text, std::move(args));
        return false;
    };
    if (records.empty()) return fail(1, txtEmptyFile);

    // Header: which field holds which column.
    const CsvRecord& head = records.front();
    int columnField[kChannelColumns];
    std::fill(std::begin(columnField), std::end(columnField), -1);
    for (std::size_t f = 0; f < head.fields.size(); ++f) {
        if (CsvTrim(head.fields[f]).empty())
            continue;  // an unnamed column (a trailing comma) is ignored
        const int col = HeaderColumn(head.fields[f], head.line, repairs);
        if (col < 0) return fail(head.line, txtUnknownColumn, {ValueArg(CsvTrim(head.fields[f]))});
        if (columnField[col] >= 0) return fail(head.line, txtColumnTwice, {ColumnArg(col)});
        columnField[col] = static_cast<int>(f);
    }
    for (int c : {colChannel, colRxFreq})
        if (columnField[c] < 0) return fail(head.line, txtNoColumn, {ColumnArg(c)});

    std::map<int, int> seen;  // channel -> line
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        const int line = rec.line;
        if (rec.fields.size() != head.fields.size())
            return fail(line, txtFieldCount,
                        {std::to_string(head.fields.size()), std::to_string(rec.fields.size())});
        auto cell = [&](int c) -> std::string {
            return columnField[c] < 0 ? std::string() : CsvTrim(rec.fields[columnField[c]]);
        };

        const std::string number = cell(colChannel);
        int n = 0;
        bool okNumber = !number.empty() && number.size() <= 4;
        for (char c : number) okNumber = okNumber && c >= '0' && c <= '9';
        if (okNumber) n = std::stoi(number);
        if (!okNumber || n < 1 || n > channels)
            return fail(line, txtBadChannel, {ValueArg(number), std::to_string(channels)});
        if (seen.count(n))
            return fail(line, txtChannelTwice, {std::to_string(n), std::to_string(seen[n])});
        seen[n] = line;
        report.lineOf[static_cast<std::size_t>(n - 1)] = line;
        ++report.channels;
        auto fitted = [&](int text, std::vector<std::string> args) {
            CsvNote note = Note(CsvNote::Fitted, line, text, std::move(args));
            note.channel = n;
            report.notes.push_back(note);
        };

        // Frequencies: any number of decimals, rounded as the channel
        // editor rounds a typed one (noted when that changes the value).
        Channel& ch = out[static_cast<std::size_t>(n - 1)];
        ch.programmed = true;
        if (cell(colRxFreq).empty()) return fail(line, txtEmpty, {ColumnArg(colRxFreq)});
        std::string rx;
        for (int c : {colRxFreq, colTxFreq}) {
            const std::string v = CsvNumber(cell(c), sep, repairs, line);
            if (c == colTxFreq && v.empty()) break;
            std::int64_t exact = 0;  // 10^-9 MHz
            if (!IsNumber(v) || !CsvFixed(v, 9, exact))
                return fail(line, txtNotNumber, {ColumnArg(c), ValueArg(v)});
            std::int64_t count = 0;
            CsvFixed(v, 5, count);
            const FreqCheckResult checked =
                CheckFreq(FormatCount(count), c, rx, state.EditLimitLow, state.EditLimitHigh,
                          state.FreqLimitLow, state.FreqLimitHigh);
            if (checked.outOfRange)
                return fail(line, txtOutOfRange,
                            {ColumnArg(c), v, std::to_string(state.EditLimitLow),
                             std::to_string(state.EditLimitHigh)});
            if (static_cast<std::int64_t>(FreqCount(checked.text)) * 10000 != exact)
                fitted(txtRounded, {ColumnArg(c), v, checked.text});
            if (c == colRxFreq) rx = checked.text, ch.rx = ch.tx = FreqCount(rx);
            else ch.tx = FreqCount(checked.text);
        }

        for (int c : {colDecode, colEncode}) {
            const int index = ToneOfCell(CsvNumber(cell(c), sep, repairs, line), line, repairs);
            if (index < 0) return fail(line, txtUnknownTone, {ValueArg(cell(c)), ColumnArg(c)});
            (c == colDecode ? ch.decode : ch.encode) = index;
        }

        for (int c = colPower; c < colName; ++c) {
            // An empty cell or a missing column: what a new channel gets.
            int choice = cell(c).empty() ? ChannelColumnOf(c).newChannel : ChoiceOfCsvWord(c, cell(c));
            if (choice < 0 && (choice = FindChoice(1, c, cell(c))) >= 0)
                repairs.Add(kRepairChinese, line);
            if (choice < 0)
                return fail(line, txtNotChoice, {ColumnArg(c), ValueArg(cell(c)), ChoicesArg(c)});
            SetChoice(ch, c, choice);
        }

        const std::string typed =
            columnField[colName] < 0 ? std::string() : rec.fields[columnField[colName]];
        const std::string name = Upper(typed);
        for (char c : name)
            if (NameCharCode(c) == kNoNameChar)
                return fail(line, txtBadName, {ColumnArg(colName), ValueArg(name)});
        ch.name = name.substr(0, kNameLength);
        if (name != typed) fitted(txtUpperCase, {ValueArg(typed)});
        if (name.size() > static_cast<std::size_t>(kNameLength))
            fitted(txtShortened, {ValueArg(name), ValueArg(ch.name)});
    }
    repairs.AddTo(report.notes);
    return true;
}

bool ChannelsFromCsv(const Module1& state, const std::string& csv, std::vector<Channel>& out,
                     std::string& error, std::vector<std::string>* warnings) {
    CsvReport report;
    CsvNote e;
    if (!ReadOwnCsv(state, csv, out, report, e)) {
        error = NoteLine(e, 0);
        return false;
    }
    if (warnings)
        for (const auto& lines : {report.Lines(0), report.RepairLines(0)})
            warnings->insert(warnings->end(), lines.begin(), lines.end());
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
