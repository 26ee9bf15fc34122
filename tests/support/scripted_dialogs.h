#pragma once
// Shows dialogs "modally" on the virtual clock: the autostart countdown runs until the
// dialog closes; the credentials dialog is answered by the test (or left as it is); the
// preset dialog is confirmed as opened, and given up if its check refuses that.
#include "support/fake_event_loop.h"
#include "views/bracket_preset_dialog.h"
#include "views/login_dialogs.h"

#include <functional>

namespace kavex::test {

struct ScriptedDialogs : DialogHost {
    explicit ScriptedDialogs(FakeEventLoop& l) : loop(l) {}
    void runModal(CredentialsDialog& d) override {
        ++credentialShows;
        if (answer)
            answer(d);
        else
            d.confirm();
    }
    void runModal(AutostartDialog& d) override {
        ++autostartShows;
        while (d.visible.checked())
            loop.advance(AutostartDialog::kTickMs);
    }
    void runModal(BracketPresetDialog& d) override {
        ++presetShows;
        if (whilePresetOpen) whilePresetOpen(); // other events run while the dialog is open
        if (cancelPreset) return d.cancel();
        d.confirm();
        if (d.visible.checked()) d.visible.setChecked(false);
    }
    FakeEventLoop& loop;
    bool cancelPreset = false; // "Abbrechen" instead of OK
    std::function<void(CredentialsDialog&)> answer;
    std::function<void()> whilePresetOpen;
    int presetShows = 0;
    int credentialShows = 0;
    int autostartShows = 0;
};

} // namespace kavex::test
