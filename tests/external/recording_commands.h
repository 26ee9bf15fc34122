#pragma once
// Records what request lines asked for, instead of trading.
#include "views/external_orders.h"

#include <functional>
#include <string>
#include <vector>

namespace kavex::test {

struct RecordingCommands : ExternalCommands {
    ExternalOrderResult placeOrder(std::string_view orderText) override {
        calls.push_back("PO " + std::string(orderText));
        if (onPlace) onPlace();
        return placeResult;
    }
    void cancelOrder(int32_t id) override { calls.push_back("CO " + std::to_string(id)); }
    void closeAllPositions() override { calls.push_back("GL"); }
    void cancelAllOrders() override { calls.push_back("CA"); }

    std::vector<std::string> calls;
    ExternalOrderResult placeResult = ExternalOrderResult::Placed;
    std::function<void()> onPlace;
};

} // namespace kavex::test
