#pragma once
// Orders on behalf of other local programs: placing and cancelling through the order
// grid as the user would, and the reports the bridge's front-end gets about them. The
// file-drop interface and the bridge both use these operations.
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

enum class ExternalOrderResult {
    Placed,
    UnknownInstrument, // reported with "@ER" and a message box
    NotPlaced,         // no grid row for the instrument, or a step failed
};

// What a request line can ask for.
class ExternalCommands {
  public:
    virtual ~ExternalCommands() = default;
    // "@PO": the order text is everything after "@PO;".
    virtual ExternalOrderResult Ext_Placeorder(std::string_view orderText) = 0;
    // "@CO": cancels the order with this user order number when it is working.
    virtual void Ext_CancelOrder(int32_t orderUserId) = 0;
    virtual void closeAllPositions() = 0; // "@GL", as the "GLATT" button
    virtual void cancelAllOrders() = 0;   // "@CA", as the "CANCEL Alle" button
};

class ExternalOrders : public ExternalCommands {
  public:
    static constexpr const char* kUnknownInstrument = "Wertpapier nicht verfügbar";

    ExternalOrders(TradingData& data, GridActions& actions, OrderPlacement& placement, OrderGrid& orderGrid,
                   CellGrid& grid, const OrderGridColumns& columns, Prompts& prompts);

    ExternalOrderResult Ext_Placeorder(std::string_view orderText) override;
    void Ext_CancelOrder(int32_t orderUserId) override;
    void closeAllPositions() override;
    void cancelAllOrders() override;

    // Reports to the bridge's front-end: "@OC;" reference ";" id, and "@ER;" code ";" text.
    void ExtS_NewOrderId(const std::string& externalRef, int32_t orderUserId);
    void ExtS_Error(int code, const std::string& text);

    // The bridge's send routine (framed text); unset, reports go nowhere.
    std::function<void(std::string_view framedText)> sendToBridge;
    // The "GLATT" button's action.
    std::function<void()> closeAll;

  private:
    TradingData& data_;
    GridActions& actions_;
    OrderPlacement& placement_;
    OrderGrid& orderGrid_;
    CellGrid& grid_;
    const OrderGridColumns& columns_;
    Prompts& prompts_;
};

} // namespace kavex
