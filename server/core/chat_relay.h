#pragma once
// The chat between logged-in players: who is in the chat, public and private
// messages, the user list, and the trades feed. The relay owns no connection; it
// answers through the Send callback with message texts (UTF-8, unframed).
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace kavex::server {

using SessionId = uint64_t;
struct ServerExecution;

struct ChatLimits {
    std::size_t maxMessageChars = 500; // text of one message, without the recipient
    int floodMessages = 5;             // at most this many messages ...
    int64_t floodWindowMs = 10000;     // ... within this time, per player connection
};

// The trades feed line of one execution: "AAA Kauf 3 zu 101.5".
std::string tradeFeedLine(std::string_view ticker, const ServerExecution& execution);

class ChatRelay {
  public:
    using Send = std::function<void(SessionId session, std::string_view text)>;
    using IsPlayer = std::function<bool(std::string_view user)>;
    // Sender name of the relay's own notices.
    static constexpr std::string_view kNoticeSender = "Chat-Server";

    ChatRelay(ChatLimits limits, Send send, IsPlayer isPlayer)
        : limits_(limits), send_(std::move(send)), isPlayer_(std::move(isPlayer)) {}

    // "@CH=": 1 join, 2 join again after a reconnect, 0 leave.
    void participation(SessionId session, std::string_view user, std::string_view value);
    // "@CT=": 1 trades feed on, 0 off.
    void tradesFeed(SessionId session, std::string_view value);
    // "@RCU=": the user list to the asking connection.
    void userListRequest(SessionId session);
    // "@C=": text, or text ";" recipient. `nowMs` is the game time, for the flood limit.
    void message(SessionId session, std::string_view body, int64_t nowMs);
    // One line of the trades feed, to every participant who asked for it.
    void trade(std::string_view line);
    // The connection is gone: it leaves the chat.
    void disconnected(SessionId session);

    bool participating(SessionId session) const { return members_.count(session) != 0; }
    std::size_t participantCount() const { return members_.size(); }
    // "@SCU=" and the names in the order they joined, each name once.
    std::string userList() const;

  private:
    struct Member {
        std::string user;
        uint64_t joined = 0;
        bool trades = false;
        std::deque<int64_t> recent; // times of the accepted messages inside the flood window
    };

    void join(SessionId session, std::string_view user, bool renewal);
    void leave(SessionId session);
    bool present(std::string_view user) const;
    void toMembers(SessionId except, std::string_view text);
    void notice(SessionId session, std::string_view text);
    bool floodAllows(Member& m, int64_t nowMs);

    ChatLimits limits_;
    Send send_;
    IsPlayer isPlayer_;
    std::map<SessionId, Member> members_;
    uint64_t nextJoin_ = 0;
    // Whether a player had the trades feed on, so that a reconnect which renews taking
    // part keeps it.
    std::map<std::string, bool, std::less<>> tradesWanted_;
};

} // namespace kavex::server
