#pragma once
// Shows dialogs "modally" on the virtual clock: the autostart countdown runs until the
// dialog closes; the credentials dialog is answered by the test (or left as it is).
#include "support/fake_event_loop.h"
#include "views/bracket_preset_dialog.h"
#include "views/login_dialogs.h"

#include <deque>
#include <functional>

namespace kavex::test {

struct ScriptedDialogs : DialogHost {
    explicit ScriptedDialogs(FakeEventLoop& l) : loop(l) {}
    void runModal(CredentialsDialog& d) override {
        ++credentialShows;
        if (answer)
            answer(d);
        else
            d.OK_Click();
    }
    void runModal(AutostartDialog& d) override {
        ++autostartShows;
        while (d.visible.checked())
            loop.advance(AutostartDialog::kTickMs);
    }
    // Each round of the preset dialog takes the next scripted answer (by default OK as
    // opened); a dialog still open when the answers run out is given up.
    void runModal(BracketPresetDialog& d) override {
        ++presetShows;
        while (d.visible.checked()) {
            if (presetAnswers.empty()) {
                d.OK_Click();
                if (d.visible.checked()) d.visible.setChecked(false);
                break;
            }
            auto next = std::move(presetAnswers.front());
            presetAnswers.pop_front();
            next(d);
        }
    }
    FakeEventLoop& loop;
    std::function<void(CredentialsDialog&)> answer;
    std::deque<std::function<void(BracketPresetDialog&)>> presetAnswers;
    int presetShows = 0;
    int credentialShows = 0;
    int autostartShows = 0;
};

} // namespace kavex::test
