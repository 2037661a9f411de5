#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/AccessKeys.h"
#include "text/TextTable.h"

using rm427::FindTextEntry;
using rm427::LoadText;

// Numbers are unique, and every English text (1000s, 3000s, 10000s) has a
// non-empty Chinese twin 1000 above it.
TEST(TextTable, UniqueNumbersAndEveryEnglishTextHasItsTwin) {
    std::set<int> seen;
    for (std::size_t i = 0; i < rm427::kTextTableSize; ++i) {
        const int n = rm427::kTextTable[i].number;
        EXPECT_TRUE(seen.insert(n).second) << n;
        EXPECT_FALSE(std::string(rm427::kTextTable[i].text).empty()) << n;
        const int thousands = n / 1000;
        if (thousands == 1 || thousands == 3 || thousands == 10) {
            EXPECT_NE(FindTextEntry(n + 1000), nullptr) << n + 1000;
        }
    }
    EXPECT_STREQ(FindTextEntry(11009), "NT");
    EXPECT_STREQ(FindTextEntry(11010), "SQ Modulate");
    EXPECT_STREQ(FindTextEntry(12010), "静噪调整");
}

TEST(TextTable, LookupByLanguage) {
    EXPECT_EQ(LoadText(0, 1322), "All data will be cleared.");
    EXPECT_EQ(LoadText(1, 1322), "所有数据将被清空。");
    EXPECT_EQ(LoadText(0, 1336), "Version ");  // trailing space kept
    EXPECT_EQ(LoadText(1, 1336), "版本");
    EXPECT_EQ(LoadText(0, 1001), "&File");
    EXPECT_EQ(LoadText(1, 1001), "文件(&F)");
    EXPECT_EQ(LoadText(1, 10004), "机型不匹配，继续？");
    EXPECT_EQ(LoadText(0, 10004), "The Model Type is not fix,Continue？");
    // Languages the table has no range for read as English.
    EXPECT_EQ(LoadText(7, 1137), "None");
    EXPECT_EQ(LoadText(255, 1137), "None");
    EXPECT_EQ(LoadText(0, 4242), "");
}

// English has a singular; Chinese says the same sentence for any count.
TEST(TextTable, CountsReadNaturally) {
    EXPECT_EQ(rm427::CountText(0, 3434, 1) + rm427::CountText(0, 3434, 2),
              "1 channel pasted.2 channels pasted.");
    for (int n : {3202, 3208, 3434, 3435, 3436})
        EXPECT_EQ(rm427::CountText(1, n, 1), rm427::FillText(LoadText(1, n), {"1"})) << n;
}

// What an argument brings is taken as it is (a channel named "%1" stays
// "%1"); %10 is the tenth argument where there is one.
TEST(TextTable, FillTextTakesArgumentsAsTheyAre) {
    EXPECT_EQ(rm427::FillText("%1 -> %2 (%3)", {"%2", "50%1", "x"}), "%2 -> 50%1 (x)");
    const std::vector<std::string> ten{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    EXPECT_EQ(rm427::FillText("%10%1 100%", ten), "ja 100%");
    EXPECT_EQ(rm427::FillText("%10 %2", {"x"}), "x0 %2");
}

// No two captions that are live together answer the same Alt key, in either
// language; and the check does see a clash ("&Clone" and "&Close").
TEST(AccessKeys, NoClashInEitherLanguage) {
    EXPECT_EQ(rm427::AccessKey("Print Pre&view"), "V");
    EXPECT_EQ(rm427::AccessKey("联机(&L)"), "L");
    EXPECT_EQ(rm427::AccessKey("Fish && &Chips"), "C");
    EXPECT_EQ(rm427::AccessKey("Fish && Chips"), "");
    for (int language : {0, 1}) {
        const auto scopes = rm427::AccessKeyScopes();
        for (const std::string& clash : rm427::AccessKeyClashes(language, scopes))
            ADD_FAILURE() << "language " << language << ": " << clash;
        EXPECT_EQ(rm427::AccessKeyClashes(language, {{"w", {1040, 1135}}}).size(), 1u);
    }
}
