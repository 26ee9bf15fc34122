#pragma once
// Orders on behalf of other local programs: placing and cancelling through the order
// grid as the user would, and the reports the bridge's front-end gets about them. The
// file-drop interface and the bridge both use these operations.
#include "external/external_commands.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class CellGrid;
class GridActions;
class OrderGrid;
class OrderGridColumns;
class OrderPlacement;
class Prompts;
struct TradingData;

class ExternalOrders : public ExternalCommands {
  public:
    // The "@ER" code of an order that could not go out (the link is down, no grid row, a
    // number out of range, the stop check).
    static constexpr int kNotPlacedCode = 2;

    ExternalOrders(TradingData& data, GridActions& actions, OrderPlacement& placement, OrderGrid& orderGrid,
                   CellGrid& grid, const OrderGridColumns& columns, Prompts& prompts);

    ExternalOrderResult placeOrder(std::string_view orderText) override;
    void cancelOrder(int32_t orderUserId) override;
    void closeAllPositions() override;
    void cancelAllOrders() override;
    std::string whyNotPlaced() const override { return whyNot_; }

    // Reports to the bridge's front-end: "@OC;" reference ";" id, and "@ER;" code ";" text.
    void reportNewOrderId(const std::string& externalRef, int32_t orderUserId);
    void reportError(int code, const std::string& text);

    // The bridge's send routine (framed text); unset, reports go nowhere.
    std::function<void(std::string_view framedText)> sendToBridge;
    // The "GLATT" button's action.
    std::function<void()> closeAll;

  private:
    // `whyNot` is the answer's text when the order does not go out.
    ExternalOrderResult placeThroughGrid(std::string_view orderText, std::string& whyNot);

    std::string whyNot_ = kNotPlaced;
    TradingData& data_;
    GridActions& actions_;
    OrderPlacement& placement_;
    OrderGrid& orderGrid_;
    CellGrid& grid_;
    const OrderGridColumns& columns_;
    Prompts& prompts_;
};

} // namespace kavex
