// Players chatting through the demo game server program: three real trading windows on
// the Qt platform, each with its chat window on screen (offscreen). A public message
// reaches the others, a private one only its addressee. With KAVEX_SCREENSHOT_DIR set,
// the two chat windows are saved there as pictures.
#include "base/files.h"
#include "demo_server.h"
#include "platform/qt/chat_window.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_tcp_client.h"
#include "support/fakes.h"
#include "trading_window/order_form.h"

#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr uint32_t kLimitMs = 10000;

struct Player {
    Player(QtEventLoop& loop, quint16 webPort, const std::string& user) : folder(temp.path().toStdString()) {
        Settings settings;
        settings.userName = user;
        settings.password = "demo";
        writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));
        if (user == "demo2") writeFileAtomically(folder.path("1.wav"), "RIFF");
        sites.primary = "http://127.0.0.1:" + std::to_string(webPort) + "/";
        sites.mirror = sites.primary;
        timings.loginWaitSeconds = 0.5; // the login waits this long, nested, for each player
        form = std::make_unique<OrderForm>(OrderFormPlatform{loop, socket, http, sound, system, prompts,
                                                             dialogs, folder, "kavex", NumberLocale{'.'},
                                                             sites, timings});
        form->endProgram = [] {};
        window = std::make_unique<ChatWindow>(form->chat());
        window->setWindowTitle(QString::fromStdString("Chat " + user));
        // Discovery first, so that the login goes to this test's server and to no
        // other one that may listen on the default port.
        form->orderClient().Command1_Click();
        form->Form_Load();
    }
    Chat& chat() { return form->chat(); }
    bool heard(const std::string& text) { return chat().history().find(text) != std::string::npos; }
    QString shownHistory() const { return window->historyView()->toPlainText(); }

    QTemporaryDir temp;
    WorkingDirectory folder;
    QtTcpClient socket;
    QtHttpGet http{2000};
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ImmediateDialogs dialogs;
    DiscoverySites sites;
    ConnectionTimings timings;
    std::unique_ptr<OrderForm> form;
    std::unique_ptr<ChatWindow> window;
};

void saveScreenshots(const std::vector<ChatWindow*>& windows) {
    const QByteArray dir = qgetenv("KAVEX_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    std::vector<QPixmap> shots;
    int width = 0, height = 0;
    for (ChatWindow* w : windows) {
        shots.push_back(w->grab());
        width += shots.back().width() + 10;
        height = std::max(height, shots.back().height() + 24);
    }
    QPixmap both(width, height);
    both.fill(Qt::white);
    QPainter p(&both);
    int x = 0;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        p.drawText(x + 4, 16, windows[i]->windowTitle());
        p.drawPixmap(x, 24, shots[i]);
        x += shots[i].width() + 10;
    }
    p.end();
    both.save(QString::fromUtf8(dir) + "/chat_two_players.png");
}

TEST(ChatServerRun, PublicMessagesReachEveryonePrivateOnesOnlyTheirAddressee) {
    QtEventLoop loop;
    QTemporaryDir serverFolder;
    test::DemoServer server(loop, serverFolder.path());
    ASSERT_TRUE(server.start(KAVEX_SERVER_PROGRAM));
    Player anna(loop, server.webPort, "demo1"), bernd(loop, server.webPort, "demo2"),
        carla(loop, server.webPort, "demo3");
    std::vector<Player*> all{&anna, &bernd, &carla};

    // The server's chat level shows the "CHAT" option; ticking it joins the chat.
    ASSERT_TRUE(test::waitUntil(
        loop,
        [&] {
            return std::all_of(all.begin(), all.end(),
                               [](Player* p) { return p->form->chatOptionVisible(); });
        },
        kLimitMs));
    for (Player* p : all) {
        p->form->chatOption.setChecked(true);
        ASSERT_TRUE(test::waitUntil(
            loop, [&] { return p->chat().users.contains(p->form->settings().userName); }, kLimitMs));
    }
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return anna.chat().users.size() == 3; }, kLimitMs));
    EXPECT_EQ(anna.chat().users.lines(), (std::vector<std::string>{"demo1", "demo2", "demo3"}));
    EXPECT_TRUE(anna.heard("User demo3 betritt Chat"));
    EXPECT_TRUE(anna.window->isVisible());

    // Public, typed into anna's window: German text both ways through the code page.
    anna.window->inputEdit()->setPlainText(QString::fromUtf8("Grüße an alle – das Maß ist voll, 5 €"));
    anna.window->button("Senden an alle")->click();
    for (Player* p : {&bernd, &carla})
        ASSERT_TRUE(test::waitUntil(
            loop, [&] { return p->heard(" demo1:\r\nGrüße an alle – das Maß ist voll, 5 €"); }, kLimitMs));
    EXPECT_TRUE(bernd.shownHistory().contains(QString::fromUtf8("Grüße an alle – das Maß ist voll, 5 €")));
    EXPECT_FALSE(anna.heard(" demo1:")); // no echo: anna's own line reads "ich:"
    EXPECT_TRUE(anna.heard(" ich:\r\nGrüße an alle"));
    EXPECT_EQ(bernd.sound.played, std::vector<std::string>{bernd.folder.path("1.wav").string()});
    EXPECT_TRUE(carla.sound.played.empty()); // carla has no such file: silence

    // Private to bernd, picked from anna's user list.
    QListView* users = anna.window->usersView();
    QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                      users->visualRect(users->model()->index(1, 0)).center());
    ASSERT_EQ(anna.chat().recipient.text(), "demo2");
    anna.window->inputEdit()->setPlainText(QString::fromUtf8("Nur für dich, Bernd"));
    anna.window->button("Privat senden an:")->click();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return bernd.heard(" demo1:\r\n(privat) Nur für dich, Bernd"); }, kLimitMs));
    // Anything anna sends later reaches carla after the private message would have.
    anna.window->inputEdit()->setPlainText("Ende");
    anna.window->button("Senden an alle")->click();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return carla.heard(" demo1:\r\nEnde"); }, kLimitMs));
    EXPECT_FALSE(carla.heard("Nur für dich"));

    // Bernd answers privately: a click on the header line selects anna.
    bernd.chat().history_Click(bernd.chat().history().find(" demo1:\r\n(privat)") + 3);
    ASSERT_EQ(bernd.chat().recipient.text(), "demo1");
    bernd.window->inputEdit()->setPlainText("Danke!");
    bernd.window->button("Privat senden an:")->click();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return anna.heard(" demo2:\r\n(privat) Danke!"); }, kLimitMs));

    // Carla leaves; the others see it.
    carla.form->chatOption.setChecked(false);
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return anna.heard("User demo3 verläßt Chat"); }, kLimitMs));
    EXPECT_EQ(anna.chat().users.lines(), (std::vector<std::string>{"demo1", "demo2"}));
    EXPECT_FALSE(carla.window->isVisible());

    saveScreenshots({anna.window.get(), bernd.window.get()});
}

#else

TEST(ChatServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
