// Program Many Radios: the message pattern and the log's lines.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "image/ImageLayout.h"
#include "radio/Fleet.h"
#include "settings/SettingsRow.h"

namespace rm427 {
namespace {

TEST(Fleet, PatternGivesEachRadioItsMessageOrIsRefusedBeforeTheFirst) {
    const MessagePattern car{"CAR##", 1};
    EXPECT_EQ(CheckMessagePattern(0, car, 99), "");
    EXPECT_EQ(PatternMessage(car, 0), "CAR01");
    EXPECT_EQ(PatternMessage(car, 98), "CAR99");
    EXPECT_EQ(PatternMessage({"#-X", 7}, 2), "9-X");
    EXPECT_EQ(PatternMessage({"FIXED", 1}, 4), "FIXED");
    EXPECT_EQ(CheckMessagePattern(0, {"", 1}, 5000), "");  // the codeplug's own message

    // The counter outgrows its digits with the 100th radio, or the 2nd from 99.
    EXPECT_NE(CheckMessagePattern(0, car, 100).find("radio 100 of the run would need 100"),
              std::string::npos);
    EXPECT_NE(CheckMessagePattern(0, {"CAR##", 99}, 2), "");
    EXPECT_NE(CheckMessagePattern(0, {"CARS##", 1}, 1).find("more than five"), std::string::npos);
    EXPECT_NE(CheckMessagePattern(0, {"car#", 1}, 1).find("\"c\""), std::string::npos);
    EXPECT_NE(CheckMessagePattern(1, {"C#R#", 1}, 1), "");

    // Only the message's four bytes change; it reads back as written.
    CodeplugImage image{};
    image.fill(0x5A);
    const CodeplugImage out = WithPowerOnMessage(image, PatternMessage(car, 41));
    EXPECT_EQ(UnpackPowerOnMessage(&out[settings::kMessage]), "CAR42");
    for (int i = 0; i < kImageSize; ++i)
        if (i < settings::kMessage || i >= settings::kMessage + 4) {
            ASSERT_EQ(out[i], 0x5A) << i;
        }
}

TEST(Fleet, LogLinesAreAppendedAsCsvUnderTheHeader) {
    FleetRadio r;
    r.unit = 3;
    r.attempt = 2;
    r.time = "2026-12-07 12:00:00";
    r.low = 4000;
    r.high = 4700;
    r.identification = "52 4D";
    r.message = "CAR03";
    r.result = FleetResult::Differs;
    r.seconds = 12.34;
    r.reason = "said \"no\", twice";
    const std::string line = FleetLogLine(r, "/dev/pts/3", "a,b.dat");
    EXPECT_EQ(line,
              "2026-12-07 12:00:00,3,2,/dev/pts/3,400.0 - 470.0 MHz,52 4D,CAR03,differs,12.3,"
              "\"a,b.dat\",\"said \"\"no\"\", twice\"");
    const std::string header = FleetLogHeader();
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 10);

    const auto path = std::filesystem::path(::testing::TempDir()) / "fleet_test.csv";
    std::filesystem::remove(path);
    std::string error;
    ASSERT_TRUE(AppendDurably(path.u8string(), FleetLogHeader() + "\n", error)) << error;
    ASSERT_TRUE(AppendDurably(path.u8string(), line + "\n", error)) << error;
    std::ostringstream all;
    all << std::ifstream(path).rdbuf();
    EXPECT_EQ(all.str(), FleetLogHeader() + "\n" + line + "\n");
    EXPECT_FALSE(AppendDurably((path / "no" / "such").u8string(), "x", error));
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace rm427
