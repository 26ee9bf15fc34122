#pragma once
// Closing and reversing holdings: "Position Glattstellen" and "Position Drehen" on one
// instrument, and "GLATT", which closes every holding and cancels every open order. All
// of them trade through the quick-order buttons, so the orders are made, confirmed and
// transmitted exactly like a manual quick order.
#include <cstdint>
#include <string>

namespace kavex {

class FailureLog;
class GridActions;
class OrderGrid;
class OrderPlacement;
class Prompts;
struct Settings;
struct TradingData;

class Closing {
  public:
    static constexpr const char* kNoHoldingToClose = "Kein Bestand - kein Glattstellen möglich!";
    static constexpr const char* kNoHoldingToReverse = "Kein Bestand - kein Drehen möglich!";
    static constexpr const char* kCloseAllQuestion =
        "Wirklich alle Positionen glattstellen ?\nDiese Sicherheitsabfrage kann unter 'Sonstiges' "
        "deaktiviert werden!";

    Closing(TradingData& data, GridActions& actions, OrderPlacement& placement, OrderGrid& orderGrid,
            Settings& settings, Prompts& prompts, FailureLog& log);

    // Menu commands of the instrument row in grid row `row`.
    void closePosition(int row);
    void reversePosition(int row);
    // "GLATT" (also asked for by the file-drop interface).
    void closeAllPositions();

  private:
    // The market orders that close every holding, one line each, for the confirmation box.
    std::string closingOrders() const;
    // Trades `factor` times the holding against it: 1 closes, 2 reverses.
    void tradeAgainstHolding(int row, int factor, const char* noHolding, const char* tag);
    void setQuantityField(int64_t quantity);

    TradingData& data_;
    GridActions& actions_;
    OrderPlacement& placement_;
    OrderGrid& orderGrid_;
    Settings& settings_;
    Prompts& prompts_;
    FailureLog& log_;
};

} // namespace kavex
