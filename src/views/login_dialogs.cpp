#include "views/login_dialogs.h"

#include "base/numbers.h"
#include "platform/event_loop.h"

namespace kavex {

CredentialsDialog::CredentialsDialog(std::string& user, std::string& password,
                                     std::function<void(const std::string&)> setUserTooltip)
    : user_(user), password_(password), setUserTooltip_(std::move(setUserTooltip)) {}

void CredentialsDialog::open() {
    userField.setText(user_);
    passwordField.setText(password_);
    visible.setChecked(true);
}

void CredentialsDialog::confirm() {
    user_ = userField.text();
    password_ = passwordField.text();
    if (setUserTooltip_) setUserTooltip_("User:" + user_);
    visible.setChecked(false);
}

AutostartDialog::AutostartDialog(EventLoop& loop, DialogHost& host, CredentialsDialog& credentials)
    : loop_(loop), host_(host), credentials_(credentials) {}

AutostartDialog::~AutostartDialog() {
    stopTimer();
}

void AutostartDialog::open() {
    remaining_ = kStartMs;
    visible.setChecked(true);
    stopTimer();
    timer_ = loop_.startTimer(kTickMs, [this] { tick(); });
}

void AutostartDialog::tick() {
    remaining_ -= kTickMs;
    countdown.setText("Autostart:" + strInt(remaining_) + " msec");
    startHasFocus.setChecked(true);
    if (remaining_ < 1) start();
}

void AutostartDialog::start() {
    close();
}

void AutostartDialog::changeCredentials() {
    stopTimer();
    credentials_.open();
    host_.runModal(credentials_);
    close();
}

void AutostartDialog::close() {
    stopTimer();
    visible.setChecked(false);
}

void AutostartDialog::stopTimer() {
    if (timer_ != 0) loop_.stopTimer(timer_);
    timer_ = 0;
}

} // namespace kavex
