#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/TextTable.h"

using rm427::FindTextEntry;
using rm427::LoadText;

namespace {
// Every number the program asks for, in both languages.
const int kNumbersInUse[] = {
    1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1012, 1013, 1020, 1021, 1022, 1023, 1027, 1028,
    1029, 1040, 1041, 1043, 1100, 1112, 1113, 1114, 1115, 1116, 1117, 1118, 1120, 1121, 1122, 1123,
    1124, 1125, 1127, 1128, 1129, 1131, 1132, 1135, 1137, 1145, 1146, 1147, 1148, 1149, 1150, 1151,
    1152, 1156, 1157, 1161, 1163, 1164, 1165, 1171, 1173, 1174, 1177, 1178, 1181, 1182, 1195, 1244,
    1245, 1246, 1247, 1248, 1249, 1262, 1263, 1268, 1269, 1271, 1319, 1320, 1321, 1322, 1328, 1329,
    1330, 1331, 1332, 1333, 1335, 1336, 1337, 1338, 1339, 1346, 1347, 1348, 1349, 1351, 1352, 1353,
    1354, 1355, 1356, 1357, 1358, 1359, 1360, 1361, 1362, 1363, 1364, 1365, 1366, 1367, 1368, 1369,
    1370, 1371, 1382, 1383, 1384, 1385, 1386, 1387, 1388, 1390, 1391, 1392, 1393, 1394, 1395, 1396,
    1397, 1398, 1399, 1400, 1401, 1402, 1403, 1404, 1405, 1406, 1407, 1408, 1480, 1500, 10000};
}  // namespace

TEST(TextTable, EveryNumberInUseExistsInBothLanguages) {
    std::set<int> numbers(std::begin(kNumbersInUse), std::end(kNumbersInUse));
    EXPECT_EQ(numbers.size(), 143u);
    for (int n : numbers) {
        ASSERT_NE(FindTextEntry(n), nullptr) << n;
        ASSERT_NE(FindTextEntry(n + 1000), nullptr) << n + 1000;
        EXPECT_FALSE(std::string(FindTextEntry(n)).empty()) << n;
        EXPECT_FALSE(std::string(FindTextEntry(n + 1000)).empty()) << n + 1000;
    }
    for (int n = 10000; n <= 10008; ++n) {
        EXPECT_NE(FindTextEntry(n), nullptr) << n;
        EXPECT_NE(FindTextEntry(n + 1000), nullptr) << n + 1000;
    }
    EXPECT_STREQ(FindTextEntry(11009), "NT");
    EXPECT_STREQ(FindTextEntry(11010), "SQ Modulate");
    EXPECT_STREQ(FindTextEntry(12010), "静噪调整");
}

TEST(TextTable, NumbersAreUnique) {
    std::set<int> seen;
    for (std::size_t i = 0; i < rm427::kTextTableSize; ++i)
        EXPECT_TRUE(seen.insert(rm427::kTextTable[i].number).second) << rm427::kTextTable[i].number;
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
