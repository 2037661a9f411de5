#include "channels/CommonCsv.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>

#include "channels/Channel.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelRecord.h"
#include "channels/FreqCodec.h"
#include "channels/ToneCodec.h"
#include "image/ModelTable.h"
#include "text/TextTable.h"

namespace rm427 {

const char* const kCommonCsvColumns[] = {
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment"};
const int kCommonCsvColumnCount =
    static_cast<int>(sizeof(kCommonCsvColumns) / sizeof(kCommonCsvColumns[0]));

namespace {

enum Col {
    cLocation,
    cName,
    cFrequency,
    cDuplex,
    cOffset,
    cTone,
    cRTone,
    cCTone,
    cDtcs,
    cPolarity,
    cRxDtcs,
    cCrossMode,
    cMode,
    cTStep,
    cSkip,
    cPower,
    cComment,
    kCols
};

enum : int {
    txtBadLocation = 3321,
    txtLocationTaken = 3322,
    txtMode = 3323,
    txtFreqNotNumber = 3324,
    txtFreqOutside = 3325,
    txtFreqRounded = 3326,
    txtOffset = 3327,
    txtDuplexOff = 3328,
    txtDuplex = 3329,
    txtTxOutside = 3330,
    txtTxRounded = 3331,
    txtBand = 3332,
    txtPolarity = 3333,
    txtCrossMode = 3334,
    txtToneMode = 3335,
    txtEncodeTone = 3336,
    txtDecodeTone = 3337,
    txtEncodeDcs = 3338,
    txtDecodeDcs = 3339,
    txtDecodeAlone = 3340,
    txtNameChars = 3341,
    txtShortened = 3318,
    txtPower = 3342,
    txtNoHeader = 3305,
    txtNoColumn = 3308,
};

bool ParseFixed(const std::string& text, int decimals, std::int64_t& out) {
    return CsvFixed(text, decimals, out);
}

// MHz text -> frequency count (10 Hz units).
bool ParseMHz(const std::string& text, std::int64_t& count) { return ParseFixed(text, 5, count); }

std::string Mhz6(std::int64_t count) { return FormatCount(count) + "0"; }

// Band texts of BandNames 1..13 as MHz ranges.
constexpr int kBandLow[14] = {0, 136, 136, 150, 216, 350, 350, 370, 400, 400, 440, 450, 450, 470};
constexpr int kBandHigh[14] = {0, 150, 174, 174, 223, 370, 390, 390, 420, 470, 480, 470, 490, 650};

struct Line {
    int number = 0;
    int channel = 0;
    std::vector<CsvNote> notes;
    void Note(int text, std::vector<std::string> args = {}, CsvNote::Kind kind = CsvNote::Fitted) {
        CsvNote n;
        n.kind = kind;
        n.line = number;
        n.channel = channel;
        n.text = text;
        n.args = std::move(args);
        notes.push_back(std::move(n));
    }
};

// A CTCSS value ("88.5", "100", "77") -> tone list index 1..50, 0 when the
// radio has no such tone.
int CtcssIndex(const std::string& value) {
    std::int64_t tenths = 0;
    if (!ParseFixed(value, 1, tenths)) return 0;
    const auto& texts = ToneTexts();
    for (int i = kFirstCtcss; i <= kLastCtcss; ++i) {
        std::int64_t t = 0;
        if (ParseFixed(texts[i], 1, t) && t == tenths) return i;
    }
    return 0;
}

// A DCS code ("23", "023") and polarity letter ('N' or 'R') -> tone list
// index 51..264, 0 when the radio has no such code.
int DcsIndex(const std::string& code, char polarity, CsvRepairs* repairs = nullptr, int line = 0) {
    std::string c = CsvTrim(code);
    if (repairs && !c.empty() && c.size() < 3) repairs->Add(kRepairDcsZeros, line);
    if (c.empty() || c.size() > 3 || c.find_first_not_of("01234567") != std::string::npos) return 0;
    c.insert(0, 3 - c.size(), '0');
    const auto& texts = ToneTexts();
    for (int i = 0; i < kDcsCodes; ++i)
        if (std::string(texts[kFirstDcs + i]).substr(1, 3) == c)
            return kFirstDcs + i + (polarity == 'R' ? kDcsCodes : 0);
    return 0;
}

// One side of the signalling as the CSV describes it.
struct Side {
    enum Kind { None, Tone, Dcs } kind = None;
    std::string value;  // tone in Hz or DCS code
    char polarity = 'N';
};

int SideIndex(const Side& side, bool encode, Line& line, CsvRepairs& repairs) {
    if (side.kind == Side::None) return 0;
    if (side.kind == Side::Tone) {
        const int i = CtcssIndex(side.value);
        if (!i) line.Note(encode ? txtEncodeTone : txtDecodeTone, {ValueArg(CsvTrim(side.value))});
        return i;
    }
    const int i = DcsIndex(side.value, side.polarity, &repairs, line.number);
    if (!i) line.Note(encode ? txtEncodeDcs : txtDecodeDcs, {ValueArg(CsvTrim(side.value))});
    return i;
}

}  // namespace

CsvLayout DetectCsvLayout(const std::string& csv) {
    std::vector<CsvRecord> records;
    CsvNote error;
    const CsvSource src = DecodeCsv(csv);
    // Only the header matters; a malformed body is reported by the import.
    const std::size_t start = src.text.find_first_not_of("\r\n");
    if (start == std::string::npos) return CsvLayout::Unknown;
    const std::size_t end = src.text.find_first_of("\r\n", start);
    if (!ReadCsv(src.text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                 records, error, src.separator) ||
        records.empty())
        return CsvLayout::Unknown;
    std::set<std::string> names;
    std::set<int> columns;
    CsvRepairs ignored;
    for (const auto& f : records.front().fields) {
        names.insert(CsvLower(CsvTrim(f)));
        if (ChannelColumnOfCsvName(f) >= 0) columns.insert(ChannelColumnOfCsvName(f));
        for (int language : {0, 1})
            for (int c : {colChannel, colRxFreq})
                if (CsvTrim(f) == LoadText(language, ChannelColumnOf(c).title)) columns.insert(c);
    }
    if (names.count("location") && names.count("frequency")) return CsvLayout::Common;
    if (columns.count(colChannel) && columns.count(colRxFreq)) return CsvLayout::Own;
    return CsvLayout::Unknown;
}

bool ModelBandLimits(const CodeplugImage& image, int& lowMHz, int& highMHz) {
    const int code = FieldValue(image.data(), model::kCode);
    if (FieldValue(image.data(), model::kMarker) != model::kMarkerSet || code > 12) return false;
    const int band = BandNameIndex(code);
    lowMHz = kBandLow[band];
    highMHz = kBandHigh[band];
    return true;
}

bool ReadCommonCsv(const Module1& state, const std::string& csv, std::vector<Channel>& out,
                   CsvReport& report, CsvNote& error) {
    const int channels = std::min<int>(state.CHCount, kMaxChannels);
    out.assign(static_cast<std::size_t>(channels), Channel{});
    report = CsvReport{};
    report.lineOf.assign(out.size(), 0);
    const CsvSource src = DecodeCsv(csv);
    report.notes = src.notes;
    const char sep = src.separator;
    CsvRepairs repairs;
    std::vector<CsvRecord> records;
    if (!ReadCsv(src.text, records, error, sep)) return false;
    if (records.empty()) {
        error = CsvNote{CsvNote::Error, 1, 0, txtNoHeader, {}};
        return false;
    }
    int field[kCols];
    std::fill(std::begin(field), std::end(field), -1);
    const CsvRecord& head = records.front();
    for (std::size_t f = 0; f < head.fields.size(); ++f)
        for (int c = 0; c < kCols; ++c)
            if (field[c] < 0 && CsvLower(CsvTrim(head.fields[f])) == CsvLower(kCommonCsvColumns[c]))
                field[c] = static_cast<int>(f);
    for (int c : {cLocation, cFrequency})
        if (field[c] < 0) {
            error = CsvNote{CsvNote::Error, head.line, 0, txtNoColumn, {kCommonCsvColumns[c]}};
            return false;
        }

    int bandLow = 0, bandHigh = 0;
    const bool band = ModelBandLimits(state.Image, bandLow, bandHigh);
    const std::int64_t low = static_cast<std::int64_t>(state.EditLimitLow) * 100000;
    const std::int64_t high = static_cast<std::int64_t>(state.EditLimitHigh) * 100000;
    const std::string lowText = std::to_string(state.EditLimitLow),
                      highText = std::to_string(state.EditLimitHigh);
    std::map<int, int> seen;  // channel -> line

    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        Line line;
        line.number = rec.line;
        auto cell = [&](int c) -> std::string {
            return field[c] >= 0 && static_cast<std::size_t>(field[c]) < rec.fields.size()
                       ? CsvTrim(rec.fields[field[c]])
                       : std::string();
        };
        // A number field: a decimal comma is its point when the separator is not a comma.
        auto number = [&](int c) { return CsvNumber(cell(c), sep, repairs, line.number); };
        auto finish = [&](bool taken) {
            taken ? ++report.channels : ++report.skipped;
            report.notes.insert(report.notes.end(), line.notes.begin(), line.notes.end());
        };
        auto skip = [&](int text, std::vector<std::string> args) {
            line.Note(text, std::move(args), CsvNote::Skipped);
            finish(false);
        };

        // Location.
        const std::string loc = cell(cLocation);
        std::int64_t n = 0;
        if (!ParseFixed(loc, 0, n) || loc.find('.') != std::string::npos || n < 1 || n > channels) {
            skip(txtBadLocation, {ValueArg(loc), std::to_string(channels)});
            continue;
        }
        if (seen.count(static_cast<int>(n))) {
            skip(txtLocationTaken, {std::to_string(n), std::to_string(seen[static_cast<int>(n)])});
            continue;
        }
        line.channel = static_cast<int>(n);

        // Mode.
        const std::string mode = CsvLower(cell(cMode));
        if (!mode.empty() && mode != "fm" && mode != "nfm") {
            skip(txtMode, {ValueArg(cell(cMode))});
            continue;
        }

        // Receive frequency.
        std::int64_t rx = 0;
        if (!ParseMHz(number(cFrequency), rx)) {
            skip(txtFreqNotNumber, {ValueArg(cell(cFrequency))});
            continue;
        }
        if (rx < low || rx > high) {
            skip(txtFreqOutside, {FormatCount(rx), lowText, highText});
            continue;
        }
        const std::string rxText = RoundFreq(FormatCount(rx), colRxFreq, "");
        if (FreqCount(rxText) != rx) line.Note(txtFreqRounded, {FormatCount(rx), rxText});

        // Transmit frequency.
        const std::string duplex = CsvLower(cell(cDuplex));
        std::int64_t offset = 0;
        if ((duplex == "+" || duplex == "-" || duplex == "split") && !cell(cOffset).empty() &&
            !ParseMHz(number(cOffset), offset)) {
            skip(txtOffset, {ValueArg(cell(cOffset))});
            continue;
        }
        std::int64_t tx = rx;
        if (duplex == "+") tx = rx + offset;
        else if (duplex == "-") tx = rx - offset;
        else if (duplex == "split") tx = offset;
        else if (duplex == "off") line.Note(txtDuplexOff, {rxText});
        else if (!duplex.empty()) line.Note(txtDuplex, {ValueArg(cell(cDuplex))});
        if (tx < low || tx > high) {
            skip(txtTxOutside, {FormatCount(tx), lowText, highText});
            continue;
        }
        std::string txText = FormatCount(tx);
        if (duplex == "+" || duplex == "-" || duplex == "split") {
            txText = RoundFreq(txText, colTxFreq, rxText);
            if (FreqCount(txText) != tx) line.Note(txtTxRounded, {FormatCount(tx), txText});
        } else {
            txText = rxText;
        }

        if (band) {
            const std::int64_t bl = static_cast<std::int64_t>(bandLow) * 100000;
            const std::int64_t bh = static_cast<std::int64_t>(bandHigh) * 100000;
            const std::int64_t rc = FreqCount(rxText), tc = FreqCount(txText);
            if (rc < bl || rc > bh || tc < bl || tc > bh)
                line.Note(txtBand, {std::to_string(bandLow), std::to_string(bandHigh)},
                          CsvNote::Warning);
        }

        // Signalling: encode is the transmit side, decode the receive side.
        const std::string tone = CsvLower(cell(cTone));
        const std::string pol = cell(cPolarity);
        const char txPol = pol.size() >= 1 && (pol[0] == 'R' || pol[0] == 'r') ? 'R' : 'N';
        const char rxPol = pol.size() >= 2 && (pol[1] == 'R' || pol[1] == 'r') ? 'R' : 'N';
        if (tone == "dtcs" || tone == "cross")
            if (!pol.empty() &&
                (pol.size() != 2 || CsvLower(pol).find_first_not_of("nr") != std::string::npos))
                line.Note(txtPolarity, {ValueArg(pol)});
        Side enc, dec;
        if (tone.empty()) {
        } else if (tone == "tone") {
            enc = {Side::Tone, number(cRTone), 'N'};
        } else if (tone == "tsql") {
            enc = dec = {Side::Tone, number(cCTone), 'N'};
        } else if (tone == "dtcs") {
            enc = {Side::Dcs, cell(cDtcs), txPol};
            dec = {Side::Dcs, cell(cDtcs), rxPol};
        } else if (tone == "cross") {
            std::string cross = CsvLower(cell(cCrossMode));
            if (cross.empty()) cross = "tone->tone";
            const auto arrow = cross.find("->");
            const std::string txMode =
                arrow == std::string::npos ? "?" : CsvTrim(cross.substr(0, arrow));
            const std::string rxMode =
                arrow == std::string::npos ? "?" : CsvTrim(cross.substr(arrow + 2));
            const bool known = (txMode == "" || txMode == "tone" || txMode == "dtcs") &&
                               (rxMode == "" || rxMode == "tone" || rxMode == "dtcs");
            if (!known) {
                line.Note(txtCrossMode, {ValueArg(cell(cCrossMode))});
            } else {
                const std::string rxCode = cell(cRxDtcs).empty() ? cell(cDtcs) : cell(cRxDtcs);
                if (txMode == "tone") enc = {Side::Tone, number(cRTone), 'N'};
                if (txMode == "dtcs") enc = {Side::Dcs, cell(cDtcs), txPol};
                if (rxMode == "tone") dec = {Side::Tone, number(cCTone), 'N'};
                if (rxMode == "dtcs") dec = {Side::Dcs, rxCode, rxPol};
            }
        } else {
            line.Note(txtToneMode, {ValueArg(cell(cTone))});
        }
        int e = SideIndex(enc, true, line, repairs);
        const int d = SideIndex(dec, false, line, repairs);
        if (d != 0 && e == 0) {
            e = kFirstCtcss;
            line.Note(txtDecodeAlone);
        }

        // Name: upper case, only the characters the radio has a code for.
        const std::string rawName = cell(cName);
        std::string name;
        bool dropped = false;
        for (char ch : rawName) {
            char u = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
            if (NameCharCode(u) == kNoNameChar) {
                // A UTF-8 sequence counts once, on its lead byte.
                if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) dropped = true;
                continue;
            }
            name += u;
        }
        if (dropped) line.Note(txtNameChars, {ValueArg(rawName)});
        // Trimmed again once the characters are left out ("RPT 中继" -> "RPT"),
        // so that a cell read back from an export is the same name.
        name = CsvTrim(name);
        if (name.size() > static_cast<std::size_t>(kNameLength)) {
            name.resize(kNameLength);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            line.Note(txtShortened, {ValueArg(rawName), ValueArg(name)});
        }

        // Power: a level by name or watts mapped to the nearest level
        // (5 W high, 2.5 W mid, 1 W low).
        const std::string p = CsvLower(number(cPower));
        int power = p.empty() ? ChannelColumnOf(colPower).newChannel : ChoiceOfCommonWord(colPower, p);
        if (power >= 0) {
        } else if (p == "medium") {
            power = powerMid;
        } else {
            power = powerHigh;
            std::string w = p;
            if (!w.empty() && w.back() == 'w') w = CsvTrim(w.substr(0, w.size() - 1));
            std::int64_t tenths = 0;
            if (ParseFixed(w, 1, tenths)) {
                power = tenths >= 38 ? powerHigh : tenths >= 18 ? powerMid : powerLow;
            } else {
                line.Note(txtPower, {ValueArg(cell(cPower))});
            }
        }

        // Columns the layout does not have: what a new channel gets.
        Channel& ch = out[static_cast<std::size_t>(n - 1)];
        ch = NewChannel(FreqCount(rxText), name);
        ch.tx = FreqCount(txText);
        ch.decode = d;
        ch.encode = e;
        ch.power = static_cast<PowerChoice>(power);
        ch.bandwidth =
            ChoiceOfCommonWord(colBandwidth, mode) == bandwidthNarrow ? bandwidthNarrow : bandwidthWide;
        ch.scanAdd = ChoiceOfCommonWord(colScanAdd, cell(cSkip)) == scanAddNo ? scanAddNo : scanAddYes;
        seen[static_cast<int>(n)] = line.number;
        report.lineOf[static_cast<std::size_t>(n - 1)] = line.number;
        finish(true);
    }
    repairs.AddTo(report.notes);
    return true;
}

bool ChannelsFromCommonCsv(const Module1& state, const std::string& csv, std::vector<Channel>& out,
                           CommonCsvImport& report, std::string& error) {
    CsvNote e;
    if (ReadCommonCsv(state, csv, out, report, e)) return true;
    error = NoteLine(e, 0);
    return false;
}

bool ChannelRowsFromCommonCsv(const Module1& state, const std::string& csv, ChannelRows& rows,
                              CommonCsvImport& report, std::string& error) {
    std::vector<Channel> channels;
    rows = MakeChannelRows(state);
    if (!ChannelsFromCommonCsv(state, csv, channels, report, error)) return false;
    RenderChannels(channels, state.Language, rows);
    return true;
}

bool ImportCommonCsv(const std::string& csv, CodeplugImage& image, CommonCsvImport& report,
                     std::string& error) {
    Module1 s;
    s.Image = image;  // the model's band
    std::vector<Channel> channels;
    if (!ChannelsFromCommonCsv(s, csv, channels, report, error)) return false;
    StoreChannels(image, channels);
    return true;
}

std::string ChannelRowsToCommonCsv(const ChannelRows& rows, int language) {
    std::vector<Channel> channels;
    for (std::size_t n = 1; n < rows.size(); ++n)
        channels.push_back(ParseRow(rows[n], language, Channel{}));
    return ChannelsToCommonCsv(channels);
}

std::string ChannelsToCommonCsv(const std::vector<Channel>& channels, const CsvStyle& style) {
    std::string out =
        CsvLine(std::vector<std::string>(kCommonCsvColumns, kCommonCsvColumns + kCommonCsvColumnCount),
                {}, style);
    std::vector<bool> numbers(static_cast<std::size_t>(kCommonCsvColumnCount), false);
    for (int c : {cFrequency, cOffset, cRTone, cCTone, cTStep})
        numbers[static_cast<std::size_t>(c)] = true;
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const Channel& ch = channels[k];
        const std::size_t n = k + 1;
        if (!ch.programmed) continue;
        const std::int64_t rx = ch.rx;
        const std::int64_t tx = ch.tx;
        std::string duplex, offset = "0.000000";
        if (tx != rx) {
            const std::int64_t d = tx > rx ? tx - rx : rx - tx;
            // Cross-band pairs read better as a transmit frequency.
            if (d >= 50 * 100000) {
                duplex = "split";
                offset = Mhz6(tx);
            } else {
                duplex = tx > rx ? "+" : "-";
                offset = Mhz6(d);
            }
        }

        // Signalling: list indexes of encode (transmit) and decode (receive).
        const int e = ch.encode;
        const int d = ch.decode;
        auto isTone = [](int i) { return i >= kFirstCtcss && i <= kLastCtcss; };
        auto isDcs = [](int i) { return i >= kFirstDcs; };
        auto hz = [](int i) { return std::string(ToneTexts()[i]); };
        auto code = [](int i) { return std::string(ToneTexts()[i]).substr(1, 3); };
        auto polarity = [&](int i) { return i >= kFirstDcs + kDcsCodes ? 'R' : 'N'; };
        std::string mode, cross, rTone = "88.5", cTone = "88.5", dtcs = "023", rxDtcs = "023";
        char txPol = 'N', rxPol = 'N';
        if (isTone(e)) rTone = hz(e);
        if (isTone(d)) cTone = hz(d);
        if (isDcs(e)) dtcs = code(e), txPol = polarity(e);
        if (isDcs(d)) rxDtcs = code(d), rxPol = polarity(d);
        if (e == 0 && d == 0) {
        } else if (isTone(e) && d == 0) {
            mode = "Tone";
        } else if (isTone(e) && isTone(d) && e == d) {
            mode = "TSQL";
        } else if (isDcs(e) && isDcs(d) && code(e) == code(d)) {
            mode = "DTCS";
        } else {
            mode = "Cross";
            cross = std::string(isTone(e)  ? "Tone"
                                : isDcs(e) ? "DTCS"
                                           : "") +
                    "->" +
                    (isTone(d)  ? "Tone"
                     : isDcs(d) ? "DTCS"
                                : "");
            if (isDcs(d) && !isDcs(e)) dtcs = rxDtcs;  // readers without RxDtcsCode
        }
        if (mode == "Cross" && !isDcs(d)) rxDtcs = dtcs;

        const auto word = [&](int c) { return CommonWordOf(c, ChoiceOf(ch, c)); };
        const std::vector<std::string> f = {std::to_string(n),
                                            ch.name,
                                            Mhz6(rx),
                                            duplex,
                                            offset,
                                            mode,
                                            rTone,
                                            cTone,
                                            dtcs,
                                            std::string{txPol, rxPol},
                                            rxDtcs,
                                            cross,
                                            word(colBandwidth),
                                            rx % kStep5k != 0 ? "6.25" : "5.00",
                                            word(colScanAdd),
                                            word(colPower),
                                            ""};
        out += CsvLine(f, numbers, style);
    }
    return out;
}

std::string ExportCommonCsv(const CodeplugImage& image, const CsvStyle& style) {
    return ChannelsToCommonCsv(ImageChannels(image), style);
}

}  // namespace rm427
