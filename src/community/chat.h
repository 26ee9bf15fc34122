#pragma once
// The chat window, kept headless: public and private messages, the list of users in
// the chat, the trades feed, and the messages that join or leave the chat. The Qt
// widget renders this model and forwards clicks to it.
#include "base/text_list.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class MessageDispatcher;
class ServerSender;
class Sound;

// The trading window's settings the chat reads when a message arrives.
struct ChatSoundSettings {
    const int16_t& enabled;  // "Chat mit Sound"
    const std::string& file; // the chosen wave file
};

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Where the chat window opens, at the trading window's top: directly right of the trading
// window; when the screen has no room there, directly left of it; with room on neither
// side, at the screen's left edge, so that it covers the instrument's names and never the
// holding and profit columns at the grid's right end.
WindowRect chatWindowPlacement(const WindowRect& tradingWindow, int width, int height,
                               const WindowRect& screen);

// The user named by a history line: the text after the line's first blank, up to its
// next ":". Empty when the line has no such part (a message body, say).
std::string recipientFromHistoryLine(std::string_view line);

class Chat {
  public:
    // Window sizes in twips.
    static constexpr int kNarrowWidth = 4650;
    static constexpr int kWideWidth = 7485;
    static constexpr int kHeight = 6665;
    static constexpr int kMaxUsers = 2000;

    // What changed, for the view.
    enum class Change {
        HistoryAppended, // text was added at the end of history()
        HistoryReset,    // history() was emptied or replaced
        Caret,           // historyCaret() moved (the view scrolls there)
        TradesSelection, // tradesSelection() moved
        Window,          // shown, hidden, width or the "&T" button
    };
    using Observer = std::function<void(Change)>;

    // `chatLevel` reads the server's current chat level (0 no chat, 1 chat without
    // trades, 2 or more chat with trades).
    Chat(ServerSender& sender, EventLoop& loop, Sound& sound, ChatSoundSettings soundSettings,
         std::function<int16_t()> chatLevel);

    void bind(MessageDispatcher& dispatcher);

    // --- Messages from the server ---
    void onChatMessage(std::string_view body);
    void onTradeMessage(std::string_view body);
    void onChatUsers(std::string_view body);
    void onChatUserJoined(std::string_view name);
    void onChatUserLeft(std::string_view name);

    // --- Messages to the server that go out only while connected ---
    void sendChatSwitch(int n);
    void sendTradeMessagesSwitch(int n);
    void requestChatUsers();

    // --- Taking part ---
    // The trading window's "CHAT" option was ticked or unticked.
    void setChatOption(bool checked);
    // The server welcomed the player; `chatOptionChecked` is the "CHAT" option.
    void welcome(bool chatOptionChecked);

    // --- The window ---
    void open();  // loads the window if needed and shows it
    void close(); // unloads it: history, users and trades are gone
    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }
    int width() const { return width_; }
    int height() const { return kHeight; }
    bool tradesButtonVisible() const { return tradesButtonVisible_; }

    // --- Buttons and clicks ---
    void sendToAll();    // "Senden an alle"
    void sendPrivate();  // "Privat senden an:"
    void clearHistory(); // "Löschen"
    void showTrades();   // "&T": wide window, trades on
    void hideTrades();   // "&X": narrow window, trades off
    void chooseUser(int index);
    // A click into the history with the caret at this character offset.
    void historyClicked(std::size_t caret);

    // Appends one line to the history.
    void Chatadd(std::string_view line);

    const std::string& history() const { return history_; }
    std::size_t historyCaret() const { return historyCaret_; }
    int tradesSelection() const { return tradesSelection_; } // -1: none

    void setObserver(Observer observer) { observer_ = std::move(observer); }

    static constexpr const char* kUserListTitle = "User im Chat";
    TextList users;      // the names in the chat, in the order the server gave them
    TextList trades;     // one line per trade message
    Label input;         // the text to send; line breaks as CR LF
    Label recipient;     // the user name for private messages
    CheckBox stopOption; // "Stop": new lines do not scroll

  private:
    bool collecting() const;
    // The user-list messages arrive at any time: they create the window's state
    // without showing it, as any use of the window does.
    void ensureLoaded();
    void discardContents();
    std::string now() const;
    void notify(Change change) {
        if (observer_) observer_(change);
    }

    ServerSender& sender_;
    EventLoop& loop_;
    Sound& sound_;
    ChatSoundSettings soundSettings_;
    std::function<int16_t()> chatLevel_;
    Observer observer_;

    bool loaded_ = false;
    bool visible_ = false;
    bool tradesButtonVisible_ = false;
    int width_ = kNarrowWidth;
    std::string history_;
    std::size_t historyCaret_ = 0;
    int tradesSelection_ = -1;
};

} // namespace kavex
