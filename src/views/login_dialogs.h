#pragma once
// The two dialogs in front of the connection: "Username und Passwort" (GibPW) and the
// five-second "Autostart" countdown (FTimer). Both are headless models; a DialogHost
// shows them modally and returns when they are closed.
#include "base/text_list.h"

#include <functional>
#include <string>

namespace kavex {

class EventLoop;
class GibPW;
class FTimer;
class BracketPresetDialog;

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    // Each returns once the dialog has closed.
    virtual void runModal(GibPW& dialog) = 0;
    virtual void runModal(FTimer& dialog) = 0;
    // The bracket preset input (dialogs/bracket_preset_dialog.h); without a window of
    // its own a host closes it as it was opened.
    virtual void runModal(BracketPresetDialog& dialog);
};

class GibPW {
  public:
    static constexpr const char* kCaption = "Username und Passwort";

    // `user` and `password` are the settings' values, written on "&OK".
    GibPW(std::string& user, std::string& password, std::function<void(const std::string&)> setUserTooltip);

    void open();     // fills the fields from the settings
    void OK_Click(); // stores the fields as they are, empty texts included
    // "Abbruch" closes without storing.
    void Abbruch_Click() { visible.setChecked(false); }

    Label userField, passwordField;
    CheckBox visible;

  private:
    std::string& user_;
    std::string& password_;
    std::function<void(const std::string&)> setUserTooltip_;
};

class FTimer {
  public:
    static constexpr const char* kCaption = "Autostart";
    static constexpr int kStartMs = 5000;
    static constexpr int kTickMs = 250;

    FTimer(EventLoop& loop, DialogHost& host, GibPW& credentials);
    ~FTimer();

    void open();
    void tick();
    void Start_Click();
    void UserPassword_Click(); // "Username/Paßwort"
    void close();

    int remaining() const { return remaining_; }
    Label countdown; // "Autostart: 4750 msec"
    CheckBox visible;
    CheckBox startHasFocus;

  private:
    void stopTimer();

    EventLoop& loop_;
    DialogHost& host_;
    GibPW& credentials_;
    int remaining_ = kStartMs;
    int timer_ = 0;
};

} // namespace kavex
