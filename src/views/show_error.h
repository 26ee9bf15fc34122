#pragma once
// Messages for the user: the status line, the list "Meldungen...", and the window
// "Message" with its "OK" button and the box "nicht mehr als Fenster zeigen".
#include "base/text_list.h"
#include "trading/order_events.h"

#include <string>

namespace kavex {

class SystemServices;

// The headless state of the "Message" window; the Qt side shows it centred on the screen.
struct MessageWindow {
    static constexpr const char* kCaption = "Message";
    static constexpr const char* kOkCaption = "OK";
    static constexpr const char* kSuppressCaption = "nicht mehr als Fenster zeigen";

    Label text;
    CheckBox suppress; // ticked: no more windows during this run
    CheckBox visible;

    void confirm() { visible.setChecked(false); }
};

class ErrorDisplay : public UserMessages {
  public:
    // From here on every new text of the status line, whoever sets it, goes into `messages`.
    ErrorDisplay(Label& statusLine, TextList& messages, MessageWindow& window, SystemServices& system)
        : statusLine_(statusLine), messages_(messages), window_(window), system_(system) {
        statusLine_.recordTextsIn(&messages_);
    }

    void showError(const std::string& text) override;
    void showNote(const std::string& text) override;

  private:
    Label& statusLine_;
    TextList& messages_;
    MessageWindow& window_;
    SystemServices& system_;
};

} // namespace kavex
