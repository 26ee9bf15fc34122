#pragma once
// The whole client on the fake platform in a fresh working folder, with the server's side
// of a session scripted on the virtual clock.
#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/client_parts.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavex::test {

struct ClientFixture {
    // A settings file for user "anna", password "pw", server 127.0.0.1; `change` adjusts it.
    void writeSettings(const std::function<void(Settings&)>& change = {}) {
        Settings s;
        s.userName = "anna";
        s.password = "pw";
        s.serverHost = "127.0.0.1";
        if (change) change(s);
        writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(s));
    }
    // Creates the client (after `prepare` has seen the platform) and loads its window.
    Client& load(const std::function<void(ClientPlatform&)>& prepare = {}) {
        ClientPlatform platform{
            loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, {}, {}};
        if (prepare) prepare(platform);
        client = std::make_unique<Client>(platform);
        client->endProgram = [] {};
        client->load();
        return *client;
    }
    // Loads the window and lets the server answer its autostart login with account
    // ACC9, last order number 40 and the instruments SAP and BMW.
    Client& startSession(const std::function<void(ClientPlatform&)>& prepare = {}) {
        load(prepare);
        return startSessionAfterLoad();
    }
    // The same login for a window loaded before; the server answers on the autostart's
    // schedule if the window was loaded just now, at once otherwise.
    Client& startSessionAfterLoad() {
        const int64_t from = std::max<int64_t>(loop.elapsedMs(), 5050);
        at(from + 10, [this] { socket.acceptConnection(); });
        at(from + 20, [this] { serverSends("!;ID"); });
        at(from + 30, [this] { serverSends("!;USER"); });
        at(from + 40, [this] { serverSends("@UD=ACC9"); });
        at(from + 50, [this] { serverSends("@LI=40"); });
        at(from + 60, [this] {
            serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                        "BMW;DE0005190003;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0");
        });
        loop.advance(from + 950 - loop.elapsedMs());
        return *client;
    }
    // Runs `action` at the given time on the virtual clock (ms since the start).
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    // Whether exactly one message with this text went to the server.
    bool sentOnce(const std::string& text) const {
        return std::count(socket.sent.begin(), socket.sent.end(), wire::frame(text)) == 1;
    }

    TempDir dir;
    WorkingDirectory folder{dir.root};
    FakeEventLoop loop;
    FakeTcpClient socket;
    FakeHttpGet http;
    FakeSound sound;
    FakeSystemServices system;
    FakePrompts prompts;
    ScriptedDialogs dialogs{loop};
    std::unique_ptr<Client> client;
};

} // namespace kavex::test
