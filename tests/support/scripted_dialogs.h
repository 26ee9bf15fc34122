#pragma once
// Shows dialogs "modally" on the virtual clock: the autostart countdown runs until the
// dialog closes; the credentials dialog is answered by the test (or left as it is).
#include "dialogs/login_dialogs.h"
#include "support/fake_event_loop.h"

#include <functional>

namespace kavex::test {

struct ScriptedDialogs : DialogHost {
    explicit ScriptedDialogs(FakeEventLoop& l) : loop(l) {}
    void runModal(GibPW& d) override {
        ++credentialShows;
        if (answer)
            answer(d);
        else
            d.OK_Click();
    }
    void runModal(FTimer& d) override {
        ++autostartShows;
        while (d.visible.checked())
            loop.advance(FTimer::kTickMs);
    }
    FakeEventLoop& loop;
    std::function<void(GibPW&)> answer;
    int credentialShows = 0;
    int autostartShows = 0;
};

} // namespace kavex::test
