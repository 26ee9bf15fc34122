#pragma once
// The connection window "Orderclient" without Qt: its fields, labels and check boxes
// follow the connection's values, the user's edits go to the connection, and it keeps
// its visibility and the line a list click shows. Closing it only hides it: the link
// lives as long as the connection does.
#include "base/text_list.h"
#include "session/order_client.h"

#include <functional>
#include <string_view>

namespace kavex {

class ConnectionWindow {
  public:
    static constexpr std::string_view kCaption = "Orderclient";

    // Shows the connection's current values; the window starts hidden.
    explicit ConnectionWindow(OrderClient& connection);
    ~ConnectionWindow();
    ConnectionWindow(const ConnectionWindow&) = delete;
    ConnectionWindow& operator=(const ConnectionWindow&) = delete;

    OrderClient& connection() { return connection_; }

    // --- Edits by the user ---
    void editHost(std::string_view host);
    void editPort(std::string_view port);
    void editUser(std::string_view user);
    void editPassword(std::string_view password);
    void tickKeepServer(bool keep); // "IP"
    void tickLogAll(bool logAll);   // "Kursprotokoll"

    // --- Lists: a click shows the line in full, a double click empties the list ---
    void listClicked(const TextList& list, int index);
    void listDoubleClicked(TextList& list);

    // --- Visibility ---
    void show();
    void hide(); // "&Ablegen" and closing the window
    bool visible() const { return visible_; }
    void setVisibilityObserver(std::function<void(bool)> observer) {
        visibilityObserver_ = std::move(observer);
    }

    // --- Controls ---
    Label hostField, portField, userField, passwordField;
    Label stateLabel; // text of the socket's state
    Label byteLabel;  // "Bytes:" + received bytes
    Label lastQuote;  // the last quote line received
    Label lineLabel;  // the clicked list line
    CheckBox keepServerBox, logAllBox;

  private:
    void showChange(OrderClient::Change what);
    void setVisible(bool visible);

    OrderClient& connection_;
    bool visible_ = false;
    std::function<void(bool)> visibilityObserver_;
};

} // namespace kavex
