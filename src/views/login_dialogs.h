#pragma once
// The two dialogs in front of the connection: "Username und Passwort" (CredentialsDialog) and the
// five-second "Autostart" countdown (AutostartDialog). Both are headless models; a DialogHost
// shows them modally and returns when they are closed.
#include "base/text_list.h"

#include <functional>
#include <string>

namespace kavex {

class EventLoop;
class CredentialsDialog;
class AutostartDialog;
class BracketPresetDialog;

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    // Each returns once the dialog has closed.
    virtual void runModal(CredentialsDialog& dialog) = 0;
    virtual void runModal(AutostartDialog& dialog) = 0;
    // The bracket preset input (dialogs/bracket_preset_dialog.h); without a window of
    // its own a host closes it as it was opened.
    virtual void runModal(BracketPresetDialog& dialog);
};

class CredentialsDialog {
  public:
    static constexpr const char* kCaption = "Username und Passwort";

    // `user` and `password` are the settings' values, written on "&OK".
    CredentialsDialog(std::string& user, std::string& password,
                      std::function<void(const std::string&)> setUserTooltip);

    void open();    // fills the fields from the settings
    void confirm(); // stores the fields as they are, empty texts included
    // "Abbruch" closes without storing.
    void cancel() { visible.setChecked(false); }

    Label userField, passwordField;
    CheckBox visible;

  private:
    std::string& user_;
    std::string& password_;
    std::function<void(const std::string&)> setUserTooltip_;
};

class AutostartDialog {
  public:
    static constexpr const char* kCaption = "Autostart";
    static constexpr int kStartMs = 5000;
    static constexpr int kTickMs = 250;

    AutostartDialog(EventLoop& loop, DialogHost& host, CredentialsDialog& credentials);
    ~AutostartDialog();

    void open();
    void tick();
    void start();
    void changeCredentials(); // "Username/Paßwort"
    void close();

    int remaining() const { return remaining_; }
    Label countdown; // "Autostart: 4750 msec"
    CheckBox visible;
    CheckBox startHasFocus;

  private:
    void stopTimer();

    EventLoop& loop_;
    DialogHost& host_;
    CredentialsDialog& credentials_;
    int remaining_ = kStartMs;
    int timer_ = 0;
};

} // namespace kavex
