#include "core/chat_relay.h"

#include "base/numbers.h"
#include "core/orders.h"
#include "core/text_file.h"

#include <algorithm>
#include <vector>

namespace kavex::server {
namespace {

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Whether the text after a message's last ";" reads as a user name rather than as
// part of the message: it starts without a blank and holds a letter or a digit.
// "Hallo; wie geht's" and "super ;-)" are public messages that way.
bool looksLikeName(std::string_view tail) {
    if (tail.empty() || tail.front() == ' ') return false;
    return std::any_of(tail.begin(), tail.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    });
}

} // namespace

std::string tradeFeedLine(std::string_view ticker, const ServerExecution& e) {
    return concat(ticker, e.action == "BUY" ? " Kauf " : " Verkauf ", e.quantity, " zu ",
                  strSingleTrimmed(static_cast<float>(e.price)));
}

// --- taking part ---------------------------------------------------------------------

void ChatRelay::participation(SessionId session, std::string_view user, std::string_view value) {
    if (value == "0") {
        tradesWanted_.erase(std::string(user));
        leave(session);
    } else if (value == "1" || value == "2") {
        join(session, user, value == "2");
    } else {
        send_(session, concat("@ER=Unbekannter Chat-Wert ", value.substr(0, 10)));
    }
}

void ChatRelay::join(SessionId session, std::string_view user, bool renewal) {
    // A renewal after a reconnect keeps the trades feed; a fresh join opens a narrow
    // window on the client, so the feed starts off.
    const auto wanted = tradesWanted_.find(user);
    const bool trades = renewal && wanted != tradesWanted_.end() && wanted->second;
    if (!renewal) tradesWanted_.erase(std::string(user));
    auto it = members_.find(session);
    if (it != members_.end()) {
        it->second.trades = trades;
        return;
    }
    const bool newName = !present(user);
    members_[session] = Member{std::string(user), nextJoin_++, trades, {}};
    if (newName) toMembers(session, concat("@CU1=", user));
}

void ChatRelay::leave(SessionId session) {
    auto it = members_.find(session);
    if (it == members_.end()) return;
    const std::string user = std::move(it->second.user);
    members_.erase(it);
    if (!present(user)) toMembers(session, "@CU0=" + user);
}

void ChatRelay::disconnected(SessionId session) {
    leave(session);
}

void ChatRelay::tradesFeed(SessionId session, std::string_view value) {
    auto it = members_.find(session);
    if (it == members_.end()) return;
    it->second.trades = value == "1";
    tradesWanted_[it->second.user] = it->second.trades;
}

bool ChatRelay::present(std::string_view user) const {
    return std::any_of(members_.begin(), members_.end(),
                       [&](const auto& m) { return m.second.user == user; });
}

std::string ChatRelay::userList() const {
    std::vector<const Member*> order;
    order.reserve(members_.size());
    for (const auto& [id, m] : members_)
        order.push_back(&m);
    std::sort(order.begin(), order.end(),
              [](const Member* a, const Member* b) { return a->joined < b->joined; });
    std::string out = "@SCU=";
    std::vector<std::string_view> listed;
    for (const Member* m : order) {
        if (std::find(listed.begin(), listed.end(), m->user) != listed.end()) continue;
        if (!listed.empty()) out += ';';
        out += m->user;
        listed.push_back(m->user);
    }
    return out;
}

void ChatRelay::userListRequest(SessionId session) {
    send_(session, userList());
}

// --- messages ------------------------------------------------------------------------

void ChatRelay::toMembers(SessionId except, std::string_view text) {
    for (const auto& [id, m] : members_)
        if (id != except) send_(id, text);
}

void ChatRelay::notice(SessionId session, std::string_view text) {
    send_(session, concat("@RC=", kNoticeSender, ":", text));
}

bool ChatRelay::floodAllows(Member& m, int64_t nowMs) {
    while (!m.recent.empty() && nowMs - m.recent.front() >= limits_.floodWindowMs)
        m.recent.pop_front();
    if (static_cast<int>(m.recent.size()) >= limits_.floodMessages) return false;
    m.recent.push_back(nowMs);
    return true;
}

void ChatRelay::message(SessionId session, std::string_view body, int64_t nowMs) {
    auto it = members_.find(session);
    if (it == members_.end()) {
        notice(session, "Nachricht nicht gesendet: Sie sind nicht im Chat.");
        return;
    }
    Member& sender = it->second;
    std::string_view text = body;
    std::string_view recipient;
    // A private message ends in ";" and the recipient's name.
    if (const auto semi = body.rfind(';'); semi != std::string_view::npos) {
        const std::string_view tail = body.substr(semi + 1);
        if (isPlayer_(tail)) {
            text = body.substr(0, semi);
            recipient = tail;
        } else if (looksLikeName(tail)) {
            notice(session, concat("Nachricht nicht gesendet: ", tail, " ist nicht im Chat."));
            return;
        }
    }
    if (text.empty()) return;
    const std::size_t chars = characterCount(text);
    if (chars > limits_.maxMessageChars) {
        notice(session,
               concat("Nachricht nicht gesendet: ", static_cast<unsigned long>(chars),
                      " Zeichen, erlaubt sind ", static_cast<unsigned long>(limits_.maxMessageChars), "."));
        return;
    }
    if (!recipient.empty() && !present(recipient)) {
        notice(session, concat("Nachricht nicht gesendet: ", recipient, " ist nicht im Chat."));
        return;
    }
    if (!floodAllows(sender, nowMs)) {
        notice(session,
               concat("Nachricht nicht gesendet: mehr als ", limits_.floodMessages, " Nachrichten in ",
                      static_cast<long long>(limits_.floodWindowMs / 1000), " Sekunden."));
        return;
    }
    if (recipient.empty()) {
        toMembers(session, concat("@RC=", sender.user, ":", text));
        return;
    }
    const std::string line = concat("@RC=", sender.user, ":(privat) ", text);
    for (const auto& [id, m] : members_)
        if (id != session && m.user == recipient) send_(id, line);
}

void ChatRelay::trade(std::string_view line) {
    const std::string text = concat("@RT=", line);
    for (const auto& [id, m] : members_)
        if (m.trades) send_(id, text);
}

} // namespace kavex::server
