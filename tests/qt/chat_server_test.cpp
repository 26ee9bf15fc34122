// Players chatting through the demo game server program: three real trading windows on
// the Qt platform, each with its chat window on screen (offscreen). A public message
// reaches the others, a private one only its addressee.
#include "demo_server.h"
#include "gui/chat_window.h"

#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

// A trading window with its chat window on screen; only demo2 has the chat sound file.
struct Player : test::DemoClient {
    Player(QtEventLoop& loop, const std::string& url, const std::string& user) : DemoClient(loop, url) {
        if (user == "demo2") writeFileAtomically(folder.path("1.wav"), "RIFF");
        beforeLoad = [this](Client& f) { window = std::make_unique<ChatWindow>(f.chat()); };
        // The login waits this long, nested, for each player.
        start(user, {}, [](ClientPlatform& p) { p.timings.loginWaitSeconds = 0.5; });
    }
    Chat& chat() { return app->chat(); }
    bool heard(const std::string& text) { return chat().history().find(text) != std::string::npos; }

    std::unique_ptr<ChatWindow> window;
};

TEST(ChatServerRun, PublicMessagesReachEveryonePrivateOnesOnlyTheirAddressee) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    const std::string url = server.discoveryUrl();
    Player anna(loop, url, "demo1"), bernd(loop, url, "demo2"), carla(loop, url, "demo3");
    std::vector<Player*> all{&anna, &bernd, &carla};

    // The server's chat level shows the "CHAT" option; ticking it joins the chat.
    ASSERT_TRUE(anna.waitFor([&] {
        return std::all_of(all.begin(), all.end(),
                           [](Player* p) { return p->app->controls().chatOptionVisible; });
    }));
    for (Player* p : all) {
        p->app->controls().chatOption.setChecked(true);
        ASSERT_TRUE(anna.waitFor([&] { return p->chat().users.contains(p->app->settings().userName); }));
    }
    ASSERT_TRUE(anna.waitFor([&] { return anna.chat().users.size() == 3; }));
    EXPECT_EQ(anna.chat().users.lines(), (std::vector<std::string>{"demo1", "demo2", "demo3"}));
    EXPECT_TRUE(anna.heard("User demo3 betritt Chat"));

    // Public, typed into anna's window: German text both ways through the code page.
    auto send = [&](const char* text, const char* button) {
        anna.window->inputEdit()->setPlainText(QString::fromUtf8(text));
        anna.window->button(button)->click();
    };
    send("Grüße an alle – das Maß ist voll, 5 €", "Senden an alle");
    for (Player* p : {&bernd, &carla})
        ASSERT_TRUE(
            anna.waitFor([&] { return p->heard(" demo1:\r\nGrüße an alle – das Maß ist voll, 5 €"); }));
    EXPECT_TRUE(bernd.window->historyView()->toPlainText().contains(
        QString::fromUtf8("Grüße an alle – das Maß ist voll, 5 €")));
    EXPECT_FALSE(anna.heard(" demo1:")); // no echo: anna's own line reads "ich:"
    EXPECT_TRUE(anna.heard(" ich:\r\nGrüße an alle"));
    EXPECT_EQ(bernd.sound.played, std::vector<std::string>{bernd.folder.path("1.wav").string()});
    EXPECT_TRUE(carla.sound.played.empty()); // carla has no such file: silence

    // Private to bernd, picked from anna's user list.
    QListView* users = anna.window->usersView();
    QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                      users->visualRect(users->model()->index(1, 0)).center());
    ASSERT_EQ(anna.chat().recipient.text(), "demo2");
    send("Nur für dich, Bernd", "Privat senden an:");
    ASSERT_TRUE(anna.waitFor([&] { return bernd.heard(" demo1:\r\n(privat) Nur für dich, Bernd"); }));
    // Anything anna sends later reaches carla after the private message would have.
    send("Ende", "Senden an alle");
    ASSERT_TRUE(anna.waitFor([&] { return carla.heard(" demo1:\r\nEnde"); }));
    EXPECT_FALSE(carla.heard("Nur für dich"));

    // Carla leaves; the others see it.
    carla.app->controls().chatOption.setChecked(false);
    ASSERT_TRUE(anna.waitFor([&] { return anna.heard("User demo3 verläßt Chat"); }));
    EXPECT_EQ(anna.chat().users.lines(), (std::vector<std::string>{"demo1", "demo2"}));
    EXPECT_FALSE(carla.window->isVisible());
}

#endif

} // namespace
} // namespace kavex
