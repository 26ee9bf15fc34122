// The server's own files and option values: bad lines refused with their line number,
// times of day, and the day numbers statements are named by. (The shipped files are read
// by every run of the server program.)
#include "core/account_file.h"
#include "core/clock.h"
#include "core/instrument_data.h"

#include <gtest/gtest.h>

namespace kavex::server::test {
namespace {

TEST(ServerConfig, BadInstrumentAndAccountLinesAreRefusedWithTheirLineNumber) {
    EXPECT_THROW(parseInstruments("# only a comment\n"), std::runtime_error);
    try {
        parseInstruments("A;A.F;EUR;Alpha;10;100;0.5;10\nB;B.F;EUR;Beta;10;0;0.5;10\n");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("instrument line 2"), std::string::npos);
    }
    EXPECT_THROW(parseAccounts("anna;pw;1000\r\nanna;x;5\r\n"), std::runtime_error); // repeated user
    EXPECT_THROW(parseAccounts("anna;pw\n"), std::runtime_error);                    // no start cash
    const auto a = parseAccounts("# players\r\n anna ;pw;1000\r\nben;;500;1\r\n");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].user, "anna");
    EXPECT_EQ(a[1].password, "");
    EXPECT_TRUE(a[1].locked);
}

TEST(ServerConfig, TimeOfDayAndDayNumbers) {
    EXPECT_EQ(parseTimeOfDay("22:00"), 22 * 3600);
    EXPECT_EQ(parseTimeOfDay("off"), std::nullopt);
    for (const char* bad : {"24:00", "12", "12:60", "12:00x", "1200"})
        EXPECT_THROW(parseTimeOfDay(bad), std::invalid_argument) << bad;
    // 20 September 2004 is day 38250, the first day the client asks statements for.
    EXPECT_EQ((LocalTime{2004, 9, 20}.dayNumber()), 38250);
}

} // namespace
} // namespace kavex::server::test
