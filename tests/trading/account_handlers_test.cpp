// The account handlers: account figures, user data with the holdings, and the ranking places.
#include "support/receive_fixture.h"
#include "trading/account_handlers.h"
#include "trading/holdings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

class Account : public ::testing::Test, public test::ReceiveFixture {
  protected:
    Account() {
        data.instruments.reset(3);
        const char* tickers[] = {"SAP", "BMW", "DAI"};
        for (int i = 1; i <= 3; ++i) {
            data.instruments.at(i).Ticker = tickers[i - 1];
            data.instruments.at(i).Multiplier = 1;
        }
        handlers.bind(dispatcher);
    }
    // Protocol lines that are failure lines.
    Lines failures() const {
        Lines out;
        for (const auto& l : log.lines())
            if (l.starts_with("F:")) out.push_back(l);
        return out;
    }

    Label result, panelResult, totalPlace, dayPlace;
    AccountHandlers handlers{
        data, outgoing, log, {result, panelResult, totalPlace, dayPlace}, NumberLocale{','}};
};

TEST_F(Account, GarbageAccountFieldsReadAsZeroAndAnOverflowKeepsOnlyThatField) {
    handlers.onUserAccount("a;b;1;2;3;4;5;6");
    handlers.onUserAccount("x;;abc;;-1.5;99999;2");
    EXPECT_EQ(failures(), (Lines{"F:WS_SUK Overflow"}));
    // The figures in message order: garbage and missing fields read 0; the place that overflowed keeps its 4.
    const auto& a = data.account;
    EXPECT_EQ(std::make_tuple(a.kontoText1, a.kontoText2, a.kontoValue3, a.totalResult, a.todayResult,
                              a.totalPlace, a.dayPlace, a.kontoValue8),
              std::make_tuple("x", "", 0.0f, 0.0f, -1.5f, int16_t{4}, int16_t{2}, 0.0f));
}

TEST_F(Account, UserDataShowsTheResultInTheLocaleFormWithAPlusOnlyForAGainAndZeroWithoutSeparator) {
    dispatcher.dispatch("@SUD=12.5;-100.25;");
    EXPECT_EQ(result.text(), "Heute +-: 12,5 = -87,75");
    EXPECT_EQ(panelResult.text(), "+12,5 = -87,75");
    handlers.onUserData("0;3;");
    EXPECT_EQ(panelResult.text(), "0 = 3");
    // Without a separator the results read 0 and the body is kept as position text.
    handlers.onUserData("5;5;1;0;0;0;1");
    handlers.onUserData("17");
    EXPECT_EQ(data.account.positionText, "17");
    EXPECT_EQ(result.text(), "Heute +-: 0 = 0");
    EXPECT_EQ(positionOf(data.positionIndex, 1), 0);
}

TEST_F(Account, HoldingsInUnknownInstrumentsAreKeptButNeitherIndexedNorListed) {
    handlers.onUserData("0;0;1;0;0;0;9;2;0;0;0;2;4;0;0;0;0;5;0;0;0;-1");
    EXPECT_EQ(failures(), Lines(3, "F:WS_SUD Subscript out of range"));
    EXPECT_EQ(data.positionList.count(), 3); // room for three: the fourth is not stored
    EXPECT_EQ(positionOf(data.positionIndex, 2), 2);
    EXPECT_TRUE(data.instruments.at(2).Changed);
    EXPECT_EQ(std::count(log.lines().begin(), log.lines().end(), "-----------------------"), 1);
}

TEST_F(Account, WithoutALastPriceAHoldingKeepsTheValueFromTheMessage) {
    handlers.onUserData("0;0;-3;0;-30;-31.5;2");
    const Position& bmwHolding = data.positionList.at(positionOf(data.positionIndex, 2));
    refreshHoldingValue(data, 2);
    EXPECT_FLOAT_EQ(bmwHolding.sumValue, -31.5f);
    data.instruments.at(2).Last = 3e30f;
    data.instruments.at(2).Multiplier = 1e10f;
    EXPECT_THROW(refreshHoldingValue(data, 2), Failure); // the value overflows and stays
    EXPECT_FLOAT_EQ(bmwHolding.sumValue, -31.5f);
}

TEST_F(Account, RankingPlacesShowNothingBeyondHundredOrWithALeadingBlank) {
    auto show = [&](int16_t total, int16_t day) {
        data.account.totalPlace = total;
        data.account.dayPlace = day;
        handlers.listPositions();
        return Lines{totalPlace.text(), dayPlace.text()};
    };
    EXPECT_EQ(show(7, 101), (Lines{"TotalPos: 7", "DayPos:> 100"}));
    EXPECT_EQ(show(101, 0), (Lines{"TotalPos:> 100", ""}));
    EXPECT_EQ(show(-1, 100), (Lines{"TotalPos:-1", "DayPos: 100"}));
}

} // namespace
} // namespace kavex
