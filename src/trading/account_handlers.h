#pragma once
// The account figures and user-data messages: the Account record, the holdings table
// and its index, the result texts and the ranking places.
#include "base/numbers.h"

#include <string>
#include <string_view>

namespace kavex {

class Label;
class MessageDispatcher;
class PortfolioForward;
class TextList;
struct TradingData;

// The trading window's labels written here.
struct AccountLabels {
    Label& result;      // "Heute +-: " and the result text
    Label& panelResult; // the account panel's result label
    Label& totalPlace;
    Label& dayPlace;
};

class AccountHandlers {
  public:
    // `outgoing` is the connection window's outgoing list, `log` the trading
    // window's log list (failure lines and the position listing). `bridge` may be
    // null while there is no bridge to the external front-end.
    AccountHandlers(TradingData& data, TextList& outgoing, TextList& log, AccountLabels labels,
                    NumberLocale locale, PortfolioForward* bridge = nullptr);

    void bind(MessageDispatcher& dispatcher);

    void onUserAccount(std::string_view body);
    void onUserData(std::string_view body);
    // Shows the ranking places of the Account in the two place labels.
    void listPositions();

    // The result text: today's result, " = ", and today's plus the earlier result.
    std::string resultText() const;

  private:
    TradingData& data_;
    TextList& outgoing_;
    TextList& log_;
    AccountLabels labels_;
    NumberLocale locale_;
    PortfolioForward* bridge_;
};

} // namespace kavex
