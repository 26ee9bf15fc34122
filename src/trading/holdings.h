#pragma once
// The holdings table as the user-data message rebuilds it, its listing in the protocol
// list, and the revaluation of a holding at the instrument's last price.
#include "base/failure.h"
#include "base/numbers.h"

#include <string>
#include <string_view>
#include <vector>

namespace kavex {

struct TradingData;

// Rebuilds the PositionList from a position text (five values per holding: quantity,
// margin, cost, value, instrument number; an incomplete last group is ignored). Each
// failing statement writes "F:" + tag + description to `log` and the rest goes on:
//  - a value too large for its field leaves that field 0;
//  - a holding beyond the table's room (one per instrument) is not stored.
void rebuildPositionList(TradingData& data, std::string_view positionText, FailureLog& log,
                         std::string_view tag);

// Rebuilds the position index from the PositionList and sets the Changed flag of every
// instrument that has a holding. A holding whose instrument lies outside the instrument
// table stays in the list but is not indexed (one failure line each); when an
// instrument has several holdings, the last one is indexed.
void rebuildPositionIndex(TradingData& data, FailureLog& log, std::string_view tag);

// The position listing: "U: 1 " + user label, then per instrument (ascending) and per
// holding of it (table order) its ticker, quantity, margin, cost, value and a rule.
// Holdings of instruments outside the instrument table are not listed.
std::vector<std::string> positionListing(const TradingData& data, NumberLocale locale);

// Refresh step for one instrument: clears its Changed flag and, when it has a holding
// and a last price, sets the holding's value to quantity x last x multiplier.
void refreshHoldingValue(TradingData& data, int instrument);

} // namespace kavex
