// Changing a working order in the grid: its cancel first, the replacement only after the
// server has confirmed the cancel, less what was filled, nothing after a complete fill.
#include "support/trading_fixture.h"
#include "views/order_change.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class OrderChange : public ::testing::Test, public test::TradingFixture {
  protected:
    OrderChange() {
        actions.changeOrder = [this](int n, auto q, auto l) { changes.request(n, q, l); };
        orderGrid.pendingChangeText = [this](int n) { return changes.pendingText(n); };
    }
    int addWorkingOrder(int32_t id) {
        Order o;
        o.accountCode = "ACC1";
        o.instrumentNumber = 1;
        o.orderUserId = id;
        o.orderId = "S" + std::to_string(id);
        o.side = "BUY";
        o.orderType = "LMT";
        o.quantity = 10;
        o.limit1 = 149;
        o.status = StatusSubmitted;
        data.orderBook.append(o);
        rebuild();
        return data.orderBook.count();
    }
    void edit(int n, int logical, const char* text) {
        click(data.gridRows.findRow(n, RowOpenOrder), logical);
        ASSERT_TRUE(actions.editor().visible);
        actions.setEditorText(text);
        actions.commitEditor();
    }
    OrderChanges changes{data, actions, placement, orderGrid, columns, errors, log};
};

TEST_F(OrderChange, TheReplacementWaitsForTheConfirmedCancelAndTakesOffWhatWasFilled) {
    struct Case {
        int16_t status;
        int32_t filled;
        std::vector<std::string> sentAfter; // after the cancel
    };
    const Case cases[] = {
        {StatusCancelled, 0, {"@PO=ACC1;101;1;BUY ;LMT;12; 148.5; 0;0;0"}},
        {StatusCancelled, 5, {"@PO=ACC1;101;1;BUY ;LMT;7; 148.5; 0;0;0"}},
        {StatusFilled, 10, {}},
    };
    int32_t id = 77;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filled);
        ++id;
        const std::string cancel = "@CO=ACC1;" + std::to_string(id) + ";S" + std::to_string(id);
        socket.sent.clear();
        data.account.lastUserOrderId = 100;
        const int n = addWorkingOrder(id);
        edit(n, 6, "12");
        edit(n, 7, "148,5"); // a second change before the cancel is confirmed: no second cancel
        EXPECT_EQ(sentTexts(), std::vector<std::string>{cancel});
        const int row = data.gridRows.findRow(n, RowOpenOrder);
        EXPECT_EQ(grid.text(row, columns.map(1, 12)), "Ändern: 12 @ 148.5");
        data.orderBook.update(n, [](Order& o) { o.status = StatusPendCancel; }); // not yet: nothing goes out
        changes.statusChanged(n);
        EXPECT_EQ(socket.sent.size(), 1u);
        data.orderBook.update(n, [&](Order& o) { o.status = c.status, o.filled = c.filled; });
        changes.statusChanged(n);
        std::vector<std::string> expected{cancel};
        expected.insert(expected.end(), c.sentAfter.begin(), c.sentAfter.end());
        EXPECT_EQ(sentTexts(), expected);
        EXPECT_EQ(changes.pendingText(n), "");
        if (c.sentAfter.empty()) {
            EXPECT_EQ(statusLine.text(), OrderChanges::kFilledFirst);
        }
    }
}

} // namespace
} // namespace kavex
