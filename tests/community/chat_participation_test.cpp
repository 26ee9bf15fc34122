// The chat inside the trading window: the chat level shows the "CHAT" option, ticking
// it joins, the welcome renews it, and level 0 closes the window.
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

class ChatInTradingWindow : public ::testing::Test, public test::FormFixture {
  protected:
    ChatInTradingWindow() {
        writeSettings();
        load();
        form->chatOptionVisibilityChanged = [this](bool v) { visibility.push_back(v); };
        loop.advance(5050);
        socket.acceptConnection();
        serverSends("@UD=ACC9");
    }
    // The chat messages sent so far, without their frames.
    Lines chatSent() const {
        Lines out;
        for (const std::string& bytes : socket.sent)
            if (bytes.starts_with("\x01@C") || bytes.starts_with("\x01@RCU"))
                out.push_back(cp1252::toUtf8(bytes.substr(1, bytes.size() - 2)));
        return out;
    }

    std::vector<bool> visibility;
};

TEST_F(ChatInTradingWindow, LevelZeroHidesTheOptionAndClosesTheWindowUntilTickedAgain) {
    serverSends("@SV=1");
    form->chatOption.setChecked(true);
    EXPECT_FALSE(form->chat().tradesButtonVisible());
    serverSends("@SV=0");
    EXPECT_FALSE(form->chatOptionVisible());
    EXPECT_FALSE(form->chat().loaded());

    serverSends("@SV=1");
    EXPECT_FALSE(form->chat().loaded());
    form->chatOption.setChecked(false);
    EXPECT_EQ(chatSent(), (Lines{"@CH=1", "@RCU=", "@CH=0", "@RCU="}));
}

} // namespace
} // namespace kavex
