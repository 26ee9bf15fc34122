// The chat inside the trading window: the chat level shows the "CHAT" option, ticking
// it joins, the welcome renews it, and level 0 closes the window.
#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

class ChatInTradingWindow : public ::testing::Test {
  protected:
    ChatInTradingWindow() {
        writeTextLines(dir.root / "Kavex.Ini", {"\"anna\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "",
                                                "", " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "pw", ""});
        form = std::make_unique<OrderForm>(OrderFormPlatform{
            loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{','}, {}, {}});
        form->chatOptionVisibilityChanged = [this](bool v) { visibility.push_back(v); };
        form->Form_Load();
        loop.advance(5050);
        socket.acceptConnection();
        serverSends("@UD=ACC9");
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    // The chat messages sent so far, without their frames.
    Lines chatSent() const {
        Lines out;
        for (const std::string& bytes : socket.sent)
            if (bytes.starts_with("\x01@C") || bytes.starts_with("\x01@RCU"))
                out.push_back(cp1252::toUtf8(bytes.substr(1, bytes.size() - 2)));
        return out;
    }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ScriptedDialogs dialogs{loop};
    std::unique_ptr<OrderForm> form;
    std::vector<bool> visibility;
};

TEST_F(ChatInTradingWindow, TheChatLevelShowsTheOptionAndTickingItJoinsTheChat) {
    serverSends("@WELCOME"); // "CHAT" not ticked: no join
    EXPECT_EQ(form->statusLine.text(), "Willkommen beim Rozivodizez Demo-Server");
    EXPECT_TRUE(chatSent().empty());

    serverSends("@SV=2");
    EXPECT_TRUE(form->chatOptionVisible());
    EXPECT_EQ(visibility, (std::vector<bool>{true}));

    form->chatOption.setChecked(true);
    Chat& chat = form->chat();
    EXPECT_TRUE(chat.visible());
    EXPECT_TRUE(chat.tradesButtonVisible());
    EXPECT_EQ(chatSent(), (Lines{"@CH=1", "@RCU="}));

    serverSends("@SCU=anna;bernd");
    serverSends("@RC=bernd:ohne Ton"); // the chosen sound file is not there: silence
    EXPECT_TRUE(sound.played.empty());
    writeFileAtomically(dir.root / "1.wav", "RIFF");
    serverSends("@RC=bernd:Servus");
    EXPECT_EQ(chat.users.lines(), (Lines{"anna", "bernd"}));
    EXPECT_NE(chat.history().find("\r\nServus"), std::string::npos);
    EXPECT_EQ(sound.played, (Lines{(dir.root / "1.wav").string()}));

    // After a reconnect the welcome renews taking part.
    serverSends("@WELCOME");
    EXPECT_EQ(chatSent(), (Lines{"@CH=1", "@RCU=", "@CH=2", "@RCU="}));
}

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
