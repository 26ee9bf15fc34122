#pragma once
// Ranking places, place information, system information, the service level that
// switches the chat on or off, and the version reply.
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

class AccountHandlers;
class Label;
class MessageDispatcher;
class ServerSender;
class TextList;
struct TradingData;

// The controls the service level switches: the trading window's chat option and the
// chat window.
class ChatSwitch {
  public:
    virtual ~ChatSwitch() = default;
    virtual void setChatOptionVisible(bool visible) = 0;
    virtual bool chatWindowOpen() const = 0;
    virtual void closeChatWindow() = 0;
};

struct ProgramVersion {
    int major = 1;
    int minor = 1;
    int revision = 368;

    // "V1.1.368"
    std::string text() const;
};

class RankingInfo {
  public:
    // `log` is the trading window's log list; the two labels are its place
    // labels (the same ones the account handlers write).
    RankingInfo(TradingData& data, AccountHandlers& account, TextList& log, Label& totalPlaceLabel,
                Label& dayPlaceLabel, ServerSender& sender, ChatSwitch& chat, ProgramVersion version = {});

    void bind(MessageDispatcher& dispatcher);

    void onUserPlaces(std::string_view text);
    void onPlaceInfo(std::string_view text);
    void onSystemInfo(std::string_view text);
    void onWinnersAndLosers(std::string_view text);
    void onServiceLevel(std::string_view text);
    void onVersionRequest();
    // Asks the server for its system information ("@RI").
    void requestSystemInfo();

    // 0 until the server sets it; at least 1 means the chat is available.
    int16_t serviceLevel() const { return serviceLevel_; }
    bool chatAvailable() const { return serviceLevel_ >= 1; }

  private:
    TradingData& data_;
    AccountHandlers& account_;
    TextList& log_;
    Label& totalPlaceLabel_;
    Label& dayPlaceLabel_;
    ServerSender& sender_;
    ChatSwitch& chat_;
    ProgramVersion version_;
    int16_t serviceLevel_ = 0;
};

} // namespace kavex
