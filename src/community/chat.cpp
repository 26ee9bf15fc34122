#include "community/chat.h"

#include "base/failure.h"
#include "base/split_fields.h"
#include "platform/event_loop.h"
#include "platform/services.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"

#include <algorithm>
#include <vector>

namespace kavex {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A public message goes out as one line: every CR LF becomes one blank.
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == kLineBreak) {
            out.push_back(' ');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace

WindowRect chatWindowPlacement(const WindowRect& tradingWindow, int width, int height,
                               const WindowRect& screen) {
    WindowRect r{tradingWindow.left + tradingWindow.width, tradingWindow.top, width, height};
    if (r.left + width <= screen.left + screen.width) return r;
    r.left = tradingWindow.left - width;
    if (r.left < screen.left) r.left = screen.left;
    return r;
}

std::string recipientFromHistoryLine(std::string_view line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || line.find(':') == std::string_view::npos) return {};
    const std::string_view after = line.substr(blank + 1);
    const std::size_t colon = after.find(':');
    if (colon == std::string_view::npos) return {};
    return std::string(after.substr(0, colon));
}

Chat::Chat(ServerSender& sender, EventLoop& loop, Sound& sound, ChatSoundSettings soundSettings,
           std::function<int16_t()> chatLevel)
    : sender_(sender), loop_(loop), sound_(sound), soundSettings_(soundSettings),
      chatLevel_(std::move(chatLevel)) {}

void Chat::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::ChatMessage, [this](std::string_view b) { onChatMessage(b); });
    dispatcher.setHandler(Handler::TradeMessage, [this](std::string_view b) { onTradeMessage(b); });
    dispatcher.setHandler(Handler::ChatUsers, [this](std::string_view b) { onChatUsers(b); });
    dispatcher.setHandler(Handler::ChatUserJoined, [this](std::string_view b) { onChatUserJoined(b); });
    dispatcher.setHandler(Handler::ChatUserLeft, [this](std::string_view b) { onChatUserLeft(b); });
}

std::string Chat::now() const {
    return timeOfDayText(loop_.now());
}

bool Chat::collecting() const {
    return loaded_ && chatLevel_() >= 1;
}

// --- Messages from the server ---------------------------------------------------------

void Chat::onChatMessage(std::string_view body) {
    if (!collecting()) return;
    // The header line is the time and the sender with its colon; without a colon it is
    // the time and a blank, and the whole body follows.
    const std::size_t colon = body.find(':');
    const std::size_t header = colon == std::string_view::npos ? 0 : colon + 1;
    Chatadd(now() + " " + std::string(body.substr(0, header)));
    Chatadd(body.substr(header));
    if (soundSettings_.enabled != 0) skipOnFailure([&] { sound_.play(soundSettings_.file); });
}

void Chat::onTradeMessage(std::string_view body) {
    if (!collecting()) return;
    trades.addLine(now() + " " + std::string(body));
    if (!stopOption.checked()) {
        tradesSelection_ = static_cast<int>(trades.size()) - 1;
        notify(Change::TradesSelection);
    }
}

void Chat::onChatUsers(std::string_view body) {
    ensureLoaded();
    const Fields names = SplitFields(body, ";", kMaxUsers);
    const int n = std::min(names.count(), kMaxUsers);
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i)
        list.emplace_back(names[i]);
    users.setLines(std::move(list));
}

void Chat::onChatUserJoined(std::string_view name) {
    ensureLoaded();
    const std::string user(name);
    if (users.contains(user)) return;
    users.addLine(user);
    Chatadd("User " + user + " betritt Chat");
}

void Chat::onChatUserLeft(std::string_view name) {
    ensureLoaded();
    std::vector<std::string> list = users.lines();
    const auto it = std::find(list.begin(), list.end(), name);
    if (it == list.end()) return;
    list.erase(it);
    users.setLines(std::move(list));
    Chatadd("User " + std::string(name) + " verläßt Chat");
}

// --- Messages to the server -------------------------------------------------------------

void Chat::sendChatSwitch(int n) {
    sender_.sendFramed("@CH=" + std::to_string(n));
}

void Chat::sendTradeMessagesSwitch(int n) {
    sender_.sendFramed("@CT=" + std::to_string(n));
}

void Chat::requestChatUsers() {
    sender_.sendFramed("@RCU=");
}

// --- Taking part ----------------------------------------------------------------------

void Chat::setChatOption(bool checked) {
    // Ticking opens a fresh window; unticking leaves the window and its history as they are.
    if (checked) {
        close();
        open();
    }
    sendChatSwitch(checked ? 1 : 0);
    requestChatUsers();
}

void Chat::welcome(bool chatOptionChecked) {
    if (!chatOptionChecked) return;
    sendChatSwitch(2);
    requestChatUsers();
}

// --- The window -------------------------------------------------------------------------

void Chat::ensureLoaded() {
    if (loaded_) return;
    loaded_ = true;
    width_ = kNarrowWidth;
}

void Chat::open() {
    ensureLoaded();
    visible_ = true;
    tradesButtonVisible_ = chatLevel_() > 1;
    notify(Change::Window);
}

void Chat::close() {
    if (!loaded_) return;
    loaded_ = false;
    visible_ = false;
    discardContents();
    notify(Change::Window);
}

void Chat::discardContents() {
    history_.clear();
    historyCaret_ = 0;
    notify(Change::HistoryReset);
    users.clear();
    trades.clear();
    tradesSelection_ = -1;
    input.setText("");
    recipient.setText("");
    stopOption.setChecked(false);
    width_ = kNarrowWidth;
}

// --- Buttons and clicks -----------------------------------------------------------------

void Chat::Chatadd(std::string_view line) {
    history_.append(kLineBreak);
    history_.append(line);
    notify(Change::HistoryAppended);
    if (!stopOption.checked()) {
        historyCaret_ = history_.size();
        notify(Change::Caret);
    }
}

void Chat::sendToAll() {
    const std::string text = input.text();
    if (text.empty()) return;
    sender_.send(wire::frame("@C=" + oneLine(text)));
    Chatadd(now() + " ich:");
    Chatadd(text);
    input.setText("");
}

void Chat::sendPrivate() {
    const std::string text = input.text();
    const std::string to = recipient.text();
    if (to.empty() || text.empty()) return;
    sender_.send(wire::frame("@C=" + text + ";" + to));
    Chatadd(now() + " ich:P->" + to + ":");
    Chatadd(text);
    input.setText("");
}

void Chat::clearHistory() {
    history_.clear();
    historyCaret_ = 0;
    notify(Change::HistoryReset);
}

void Chat::showTrades() {
    width_ = kWideWidth;
    notify(Change::Window);
    sendTradeMessagesSwitch(1);
}

void Chat::hideTrades() {
    width_ = kNarrowWidth;
    notify(Change::Window);
    sendTradeMessagesSwitch(0);
}

void Chat::chooseUser(int index) {
    if (index < 0 || index >= static_cast<int>(users.size())) return;
    recipient.setText(users.lines()[static_cast<std::size_t>(index)]);
}

void Chat::historyClicked(std::size_t caret) {
    recipient.setText("");
    const std::size_t c = std::min(caret, history_.size());
    historyCaret_ = c;
    // The line under the caret: from just after the last line break that ends at or
    // before the caret, to the next line break.
    std::size_t start = 0;
    if (c >= kLineBreak.size()) {
        const std::size_t p = history_.rfind(kLineBreak, c - kLineBreak.size());
        if (p != std::string::npos) start = p + kLineBreak.size();
    }
    const std::size_t end = history_.find(kLineBreak, start);
    const std::string_view line = std::string_view(history_).substr(start, end - start);
    const std::string name = recipientFromHistoryLine(line);
    if (!name.empty()) recipient.setText(name);
}

} // namespace kavex
