// Where imported channels go and what the preview lists, in each mode.
#include <gtest/gtest.h>

#include "channels/ChannelCsv.h"
#include "channels/CommonCsv.h"
#include "channels/ImportPlan.h"

using namespace rm427;

namespace {

std::vector<ImportLine::Kind> Kinds(const ImportPlan& p) {
    std::vector<ImportLine::Kind> out;
    for (const ImportLine& l : p.lines) out.push_back(l.kind);
    return out;
}

std::vector<int> Where(const ImportPlan& p) {
    std::vector<int> out;
    for (const ImportLine& l : p.lines)
        out.push_back(l.kind == ImportLine::Skipped ? -l.line : l.channel);
    return out;
}

}  // namespace

TEST(ImportPlan, EachModeSaysWhatChangesAndWhatIsSkipped) {
    // The codeplug: 1 A, 3 B, 4 E, 126..128 programmed.
    std::vector<Channel> current(128);
    current[0] = NewChannel(14500000, "A");
    current[2] = NewChannel(14600000, "B");
    current[3] = NewChannel(14700000, "E");
    for (int n = 126; n <= 128; ++n) current[n - 1] = NewChannel(15000000 + n * 2500);
    // The file: 1 A again, 2 C, 3 B renamed (with a name to shorten), 5 D, an AM line.
    const std::string csv =
        "Location,Name,Frequency,Mode\n"
        "1,A,145.0,FM\n2,C,145.5,NFM\n3,LONGNAME,146.0,FM\n5,D,148.0,FM\n6,AIR,128.0,AM\n";
    std::vector<Channel> incoming;
    CsvReport report;
    CsvNote error;
    ASSERT_TRUE(ReadCommonCsv(Module1(), csv, incoming, report, error));
    using K = ImportLine::Kind;

    ImportOptions o;  // replace all
    ImportPlan p = PlanImport(current, incoming, report, o, 0);
    EXPECT_EQ(Kinds(p), (std::vector<K>{K::Unchanged, K::New, K::Changed, K::Emptied, K::New, K::Emptied,
                                        K::Emptied, K::Emptied, K::Skipped}));
    EXPECT_EQ(Where(p), (std::vector<int>{1, 2, 3, 4, 5, 126, 127, 128, -6}));
    ASSERT_EQ(p.lines[2].changes.size(), 1u);
    EXPECT_EQ(p.lines[2].changes[0].after, "LONGN");
    EXPECT_TRUE(p.lines[2].Fitted());
    EXPECT_EQ(p.channels[3].programmed, false);
    EXPECT_EQ(PlanText(p, 0).rfind(
                  "channel 1: Unchanged\nchannel 2: New\nchannel 3: Changed; Name B -> LONGN; name", 0),
              0u);

    // Into empty channels: A and B are duplicates (left out when asked).
    o.mode = ImportMode::Append;
    p = PlanImport(current, incoming, report, o, 0);
    EXPECT_EQ(Where(p), (std::vector<int>{2, 5, 6, 7, -6}));
    EXPECT_EQ(p.lines[0].duplicateOf, 1);
    EXPECT_EQ(p.Duplicates(), 2);
    EXPECT_EQ(p.channels[0].name, "A");  // kept
    EXPECT_EQ(p.channels[4].name, "C");
    o.skipDuplicates = true;
    p = PlanImport(current, incoming, report, o, 1);
    EXPECT_EQ(Where(p), (std::vector<int>{2, 5, -6, -2, -4}));
    EXPECT_NE(PlanText(p, 1).find("第 2 行：跳过；与信道 1 重复"), std::string::npos) << PlanText(p, 1);

    // From channel 125 on: the gap (file channel 4) empties 128, D does not fit.
    ASSERT_TRUE(ParseImportMode("at:125", o));
    EXPECT_FALSE(ParseImportMode("at:129", o) || ParseImportMode("at:", o) || ParseImportMode("up", o));
    ASSERT_TRUE(ParseImportMode("at:125", o));
    o.compact = true;
    p = PlanImport(current, incoming, report, o, 0);
    EXPECT_EQ(Kinds(p),
              (std::vector<K>{K::New, K::Changed, K::Changed, K::Emptied, K::Skipped, K::Skipped}));
    EXPECT_EQ(Where(p), (std::vector<int>{125, 126, 127, 128, -6, -5}));
    EXPECT_EQ(p.lines[4].notes[0].text, 3323);  // AM
    // Compacted: the gaps are closed.
    EXPECT_EQ(p.channels[3].name, "A");
    EXPECT_EQ(p.channels[5].name, "LONGN");
    EXPECT_FALSE(p.channels[6].programmed);
}
