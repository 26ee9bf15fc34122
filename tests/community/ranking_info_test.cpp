// Ranking places, place information, system information and the service level, which
// shows or hides the chat option and closes the chat window.
#include "community/ranking_info.h"
#include "model/trading_data.h"
#include "protocol/server_sender.h"
#include "support/receive_fixture.h"
#include "trading/account_handlers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

struct FakeChat : ChatSwitch {
    void setChatOptionVisible(bool visible) override { optionVisible = visible; }
    bool chatWindowOpen() const override { return open; }
    void closeChatWindow() override { open = false; }
    bool optionVisible = false, open = false;
};

class Ranking : public ::testing::Test {
  protected:
    Ranking() {
        account.bind(rx.dispatcher);
        ranking.bind(rx.dispatcher);
    }
    void receive(const std::string& text) { rx.receiveFrame(text); }

    test::ReceiveFixture rx;
    TradingData& data = rx.data;
    TextList& log = rx.log;
    Label result, panelResult, totalPlace, dayPlace;
    FakeChat chat;
    test::FakeTcpClient socket;
    ServerSender sender{socket, rx.outgoing};
    AccountHandlers account{
        data, rx.outgoing, log, {result, panelResult, totalPlace, dayPlace}, NumberLocale{','}};
    RankingInfo ranking{data, account, log, totalPlace, dayPlace, sender, chat};
};

TEST_F(Ranking, RankingStoresAndRedrawsThePlacesAnOversizedPlaceStaysAloneAndSystemInfoHasThirtyTexts) {
    receive("@SUP=3;4;2500.5");
    receive("@SUP=5;6");
    EXPECT_EQ(data.account.kontoValue8, 0); // a missing value reads 0
    EXPECT_TRUE(log.empty());
    receive("@SUP=70000;2;3");
    EXPECT_EQ(log.lines(), (Lines{"F:WS_SUP Overflow"}));
    EXPECT_EQ(data.account.totalPlace, 5);
    EXPECT_EQ(dayPlace.text(), "DayPos: 2");

    // System information adds at most thirty texts to the protocol list.
    std::string many = "@SYI=";
    for (int i = 1; i <= 31; ++i)
        many += "t" + std::to_string(i) + ";";
    receive(many);
    ASSERT_EQ(log.size(), 31u);
    EXPECT_EQ(log.back(), "t30");
}

TEST_F(Ranking, ServiceLevelZeroClosesTheChatAndOneShowsTheOptionWithoutReopening) {
    data.account.totalPlace = 8;
    receive("@SV=1");
    EXPECT_TRUE(chat.optionVisible);
    EXPECT_EQ(totalPlace.text(), "TotalPos: 8");
    chat.open = true;
    receive("@SV=0");
    EXPECT_FALSE(chat.optionVisible || chat.open);
    EXPECT_EQ(totalPlace.text(), "");
    receive("@SV=2");
    EXPECT_FALSE(chat.open);
    receive("@SV=-1"); // a negative level changes nothing else
    EXPECT_TRUE(chat.optionVisible);
    EXPECT_EQ(totalPlace.text(), "TotalPos: 8");
    receive("@SV=abc"); // no number reads as 0
    EXPECT_FALSE(chat.optionVisible);
}

} // namespace
} // namespace kavex
