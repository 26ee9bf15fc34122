#pragma once
// The texts of the messages the game sends, without their frame characters.
// Prices and amounts are written in the short number form (" 101.5", " .5", "-2"),
// counts and numbers of records as plain decimal digits.
#include "core/exchange.h"
#include "core/market.h"
#include "core/orders.h"

#include <string>
#include <vector>

namespace kavex::server::msg {

// "@SI=" with one line per instrument:
// ticker;code;currency;last;bid;bid size;ask;ask size;name;multiplier;tick size;margin percent
std::string instrumentList(const Market& market);
// "!;T;01" followed by the instrument codes separated by ";".
std::string codeTable(const Market& market);
// The price message of one step, in the form the step asks for.
std::string quote(const Market& market, const QuoteEvent& event);

// The 21 fields of an order (open order, lines of the order lists).
std::string orderFields(const ServerOrder& order);
std::string openOrder(const ServerOrder& order); // "@OO="
// "@OS=" user order;order id;status;time;filled;remaining;price;info;active;limit1
std::string orderStatus(const ServerOrder& order);
// The 13 fields of an execution.
std::string executionFields(const ServerExecution& execution);
std::string execution(const ServerExecution& execution); // "@EX="

std::string allOrders(const std::vector<ServerOrder>& orders);       // "@SAO="
std::string openOrders(const std::vector<ServerOrder>& orders);      // "@SOO="
std::string allExecutions(const std::vector<ServerExecution>& list); // "@SAE="

// "@SUK=" opened date;user;equity;earlier result;today's result;total place;day place;margin
std::string accountFigures(const TradingAccount& account, const Market& market, Places places);
// "@SUD=" today's result;earlier result;then per holding quantity;margin;cost;value;instrument
std::string userData(const TradingAccount& account, const Market& market);
// "@SUP=" total place;day place;margin
std::string ranking(const TradingAccount& account, const Market& market, Places places);
// "@PI=" place texts "3 / 6";"1 / 6"
std::string placeInfo(Places places, int players);
// "@SYI=" up to 30 texts separated by ";"
std::string systemInfo(const std::vector<std::string>& lines);
// "@SD=FILE=" code yyyymmdd "K.TXT", then the statement lines of that trading day.
std::string statement(const TradingAccount& account, const Market& market, int64_t dayNumber, bool today);

} // namespace kavex::server::msg
