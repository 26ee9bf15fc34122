#include "trading/account_handlers.h"

#include "base/failure.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/message_dispatcher.h"
#include "protocol/wire.h"
#include "trading/holdings.h"
#include "trading/portfolio_forward.h"

#include <algorithm>

namespace kavex {
namespace {

constexpr std::string_view kSukTag = "WS_SUK ";
constexpr std::string_view kSudTag = "WS_SUD ";
constexpr int kMaxAccountFields = 1000;

// 0 = no place, 101 = beyond the first hundred.
std::string placeText(std::string_view caption, int16_t place) {
    if (place == 0) return {};
    std::string text(caption);
    if (place == 101) return text + "> 100";
    return text + strInt(place);
}

} // namespace

AccountHandlers::AccountHandlers(TradingData& data, TextList& outgoing, TextList& log, AccountLabels labels,
                                 NumberLocale locale, PortfolioForward* bridge)
    : data_(data), outgoing_(outgoing), log_(log), labels_(labels), locale_(locale), bridge_(bridge) {}

void AccountHandlers::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::UserAccount, [this](std::string_view body) { onUserAccount(body); });
    dispatcher.setHandler(Handler::UserData, [this](std::string_view body) { onUserData(body); });
}

void AccountHandlers::onUserAccount(std::string_view body) {
    const Fields f = SplitFields(body, ";", kMaxAccountFields);
    const int stored = std::min(f.count(), kMaxAccountFields);
    for (int i = 1; i <= stored; ++i)
        outgoing_.addLine(std::string(f[i]));

    Account& a = data_.account;
    a.kontoText1 = f[1];
    a.kontoText2 = f[2];
    a.kontoValue3 = parseSingle(f[3]);
    a.totalResult = parseSingle(f[4]);
    a.todayResult = parseSingle(f[5]);
    guard(log_, kSukTag, [&] { a.totalPlace = parseInt16(f[6]); });
    guard(log_, kSukTag, [&] { a.dayPlace = parseInt16(f[7]); });
    a.kontoValue8 = parseSingle(f[8]);

    if (bridge_) {
        guard(log_, kSukTag, [&] {
            if (bridge_->takePortfolioRequest())
                bridge_->sendToFrontEnd(wire::frame("@SUK;" + std::string(body)));
        });
    }
}

void AccountHandlers::onUserData(std::string_view body) {
    Account& a = data_.account;
    // Without any ";" both results are 0 and the whole body is the position text. With
    // a single ";" the earlier result runs to the end and there is no position text.
    float today = 0;
    float total = 0;
    std::string_view positions = body;
    const std::size_t first = body.find(';');
    if (first != std::string_view::npos) {
        today = parseSingle(body.substr(0, first));
        const std::size_t second = body.find(';', first + 1);
        if (second == std::string_view::npos) {
            total = parseSingle(body.substr(first + 1));
            positions = {};
        } else {
            total = parseSingle(body.substr(first + 1, second - first - 1));
            positions = body.substr(second + 1);
        }
    }
    a.todayResult = today;
    a.totalResult = total;

    const std::string text = resultText();
    labels_.result.setText("Heute +-: " + text);
    labels_.panelResult.setText(today > 0 ? "+" + text : text);

    a.positionText = positions;
    rebuildPositionList(data_, positions, log_, kSudTag);
    for (std::string& line : positionListing(data_, locale_))
        log_.addLine(std::move(line));
    rebuildPositionIndex(data_, log_, kSudTag);
    data_.accountChanged = true;
}

std::string AccountHandlers::resultText() const {
    const Account& a = data_.account;
    const float sum = a.totalResult + a.todayResult;
    return localeSingle(a.todayResult, locale_) + " = " + localeSingle(sum, locale_);
}

void AccountHandlers::listPositions() {
    labels_.totalPlace.setText(placeText("TotalPos:", data_.account.totalPlace));
    labels_.dayPlace.setText(placeText("DayPos:", data_.account.dayPlace));
}

} // namespace kavex
