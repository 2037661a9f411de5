// Channel lists through a spreadsheet and back: every golden image exported
// in both layouts with each separator, damaged the way spreadsheets damage
// them, and imported again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "channels/ChannelCsv.h"
#include "channels/CommonCsv.h"
#include "channels/ToneCodec.h"

using namespace rm427;

namespace {

CodeplugImage Golden(const std::string& name) {
    std::ifstream in(RM427_TEST_DATA_DIR "/channels-" + name + ".bin", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    CodeplugImage image{};
    const std::string bytes = s.str();
    EXPECT_EQ(bytes.size(), image.size()) << name;
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    return image;
}

// What a spreadsheet does to a list: trailing zeros of the decimals and
// leading zeros of DCS codes dropped, rows sorted the other way, saved
// with a byte order mark (as UTF-16 for its "Unicode text").
std::string Damage(const std::string& csv, char separator, bool utf16) {
    std::vector<CsvRecord> records;
    CsvNote error;
    EXPECT_TRUE(ReadCsv(csv, records, error, separator));
    std::vector<std::string> lines;
    for (CsvRecord& r : records) {
        for (std::string& f : r.fields) {
            const char point = separator == ',' ? '.' : ',';
            if (f.find(point) != std::string::npos &&
                f.find_first_not_of("0123456789.,") == std::string::npos) {
                while (f.back() == '0') f.pop_back();
                if (f.back() == point) f.pop_back();
            }
            const bool dcs = f.size() == 5 && f[0] == 'D' && (f[4] == 'N' || f[4] == 'I');  // D023N
            const std::size_t at = dcs ? 1 : 0;
            if ((dcs || (f.size() == 3 && f.find_first_not_of("01234567") == std::string::npos)))
                while (f[at] == '0' && f.size() - at > (dcs ? 2u : 1u)) f.erase(at, 1);
        }
        lines.push_back(CsvLine(r.fields, {}, {separator, false}));
    }
    std::reverse(lines.begin() + 1, lines.end());
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& l : lines) text += l;
    if (!utf16) return text;
    std::string wide = "\xFF\xFE";
    for (char c : text.substr(3)) wide += std::string{c, '\0'};
    return wide;
}

}  // namespace

TEST(CsvRoundTrip, GoldenImagesSurviveASpreadsheetInBothLayouts) {
    const CsvStyle styles[] = {{',', false}, {';', true}, {'\t', false}};
    for (const char* name : {"demo", "choices", "oddities"}) {
        const CodeplugImage golden = Golden(name);
        for (bool common : {false, true}) {
            const auto read = common ? ReadCommonCsv : ReadOwnCsv;
            // The clean export read back: what the layout itself keeps (the
            // oddities' records outside 100..550 MHz it refuses, damaged or not).
            std::vector<Channel> clean;
            CsvReport report;
            CsvNote error;
            Module1 state;
            state.Image = golden;
            const std::string plain = common ? ExportCommonCsv(golden) : ExportChannelsCsv(golden);
            const bool readable = read(state, plain, clean, report, error);
            const bool fits = report.Fits();
            bool zeros = common;  // the common layout always writes a DCS code
            for (const Channel& ch : clean)
                for (int tone : {ch.decode, ch.encode})
                    zeros = zeros || (tone >= kFirstDcs && ToneTexts()[tone][1] == '0');
            for (const CsvStyle& style : styles) {
                const std::string what =
                    std::string(name) + (common ? " common " : " own ") + style.separator;
                const std::string csv =
                    common ? ExportCommonCsv(golden, style) : ExportChannelsCsv(golden, style);
                if (style.decimalComma) {
                    EXPECT_EQ(csv.find('.'), std::string::npos) << what;
                }
                for (bool utf16 : {false, true}) {
                    std::vector<Channel> back;
                    const bool ok =
                        read(state, Damage(csv, style.separator, utf16), back, report, error);
                    EXPECT_EQ(ok, readable) << what;
                    if (!ok || !readable) continue;
                    EXPECT_TRUE(back == clean) << what;
                    // Nothing more was fitted; every repair is listed.
                    EXPECT_EQ(report.Fits(), fits) << what << "\n" << report.Summary();
                    const std::string repairs = report.Summary();
                    for (const char* r :
                         {utf16 ? "UTF-16" : "byte order mark", zeros ? "leading zeros" : "read"})
                        EXPECT_NE(repairs.find(r), std::string::npos) << what << ": " << r << "\n"
                                                                      << repairs;
                    if (style.decimalComma) {
                        EXPECT_NE(repairs.find("decimal commas"), std::string::npos) << what;
                    }
                    if (style.separator != ',') {
                        EXPECT_NE(repairs.find("separated by"), std::string::npos) << what;
                    }
                }
            }
            // The program's own layout keeps the record of every channel
            // that shows (a name on an empty channel has no line to go on).
            if (!common && readable) {
                CodeplugImage again = golden;
                StoreChannels(again, clean);
                for (int n = 1; n <= 128; ++n)
                    if (ChannelAt(golden, n).programmed) {
                        EXPECT_TRUE(ChannelAt(again, n) == ChannelAt(golden, n)) << name << " " << n;
                    }
            }
        }
    }
}
