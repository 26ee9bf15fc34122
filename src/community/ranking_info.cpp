#include "community/ranking_info.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "trading/account_handlers.h"

#include <algorithm>

namespace kavex {
namespace {

constexpr int kMaxRankingFields = 10;
constexpr int kMaxSystemInfoTexts = 30;

} // namespace

std::string ProgramVersion::text() const {
    return "V" + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

RankingInfo::RankingInfo(TradingData& data, AccountHandlers& account, TextList& log, Label& totalPlaceLabel,
                         Label& dayPlaceLabel, ServerSender& sender, ChatSwitch& chat, ProgramVersion version)
    : data_(data), account_(account), log_(log), totalPlaceLabel_(totalPlaceLabel),
      dayPlaceLabel_(dayPlaceLabel), sender_(sender), chat_(chat), version_(version) {}

void RankingInfo::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::UserPlaces, [this](std::string_view t) { onUserPlaces(t); });
    dispatcher.setHandler(Handler::PlaceInfo, [this](std::string_view t) { onPlaceInfo(t); });
    dispatcher.setHandler(Handler::SystemInfo, [this](std::string_view t) { onSystemInfo(t); });
    dispatcher.setHandler(Handler::WinnersAndLosers, [this](std::string_view t) { onWinnersAndLosers(t); });
    dispatcher.setHandler(Handler::ServiceLevel, [this](std::string_view t) { onServiceLevel(t); });
    dispatcher.setHandler(Handler::VersionRequest, [this](std::string_view) { onVersionRequest(); });
}

void RankingInfo::onUserPlaces(std::string_view text) {
    constexpr std::string_view tag = "WS_SUP ";
    const Fields f = SplitFields(text, ";", kMaxRankingFields);
    Account& a = data_.account;
    guard(log_, tag, [&] { a.totalPlace = parseInt16(f[1]); });
    guard(log_, tag, [&] { a.dayPlace = parseInt16(f[2]); });
    a.kontoValue8 = parseSingle(f[3]);
    account_.listPositions();
}

void RankingInfo::onPlaceInfo(std::string_view text) {
    const Fields f = SplitFields(text, ";", kMaxRankingFields);
    totalPlaceLabel_.setText("Ges:" + std::string(f[1]));
    dayPlaceLabel_.setText("Heute:" + std::string(f[2]));
}

void RankingInfo::onSystemInfo(std::string_view text) {
    const Fields f = SplitFields(text, ";", kMaxSystemInfoTexts);
    const int shown = std::min(f.count(), kMaxSystemInfoTexts);
    for (int i = 1; i <= shown; ++i)
        log_.addLine(std::string(f[i]));
}

void RankingInfo::onWinnersAndLosers(std::string_view text) {
    // The message is read but has no visible effect.
    (void)SplitFields(text, ";", kMaxRankingFields);
}

void RankingInfo::onServiceLevel(std::string_view text) {
    constexpr std::string_view tag = "WS_SV ";
    // A level that does not fit keeps the old one; the switching below still runs.
    guard(log_, tag, [&] { serviceLevel_ = parseInt16(text); });
    if (serviceLevel_ == 0) {
        guard(log_, tag, [&] { chat_.setChatOptionVisible(false); });
        guard(log_, tag, [&] {
            if (chat_.chatWindowOpen()) chat_.closeChatWindow();
        });
        totalPlaceLabel_.setText("");
        dayPlaceLabel_.setText("");
    } else if (serviceLevel_ >= 1) {
        guard(log_, tag, [&] { chat_.setChatOptionVisible(true); });
        account_.listPositions();
    }
}

void RankingInfo::onVersionRequest() {
    skipOnFailure([&] { sender_.send(wire::frame("@SV=" + version_.text())); });
    skipOnFailure([&] { sender_.send(wire::frame("@SVK=1")); });
}

void RankingInfo::requestSystemInfo() {
    sender_.send(wire::frame("@RI"));
}

} // namespace kavex
