// The demo server program killed (-9) and started again on the same game store while the
// real trading window has a working order: the client comes back by itself, the order is
// still working at the server and in the grid, and the next order gets a new number that
// the server accepts.
#include "../demo_server.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

TEST(ServerRestartFaults, KilledServerKeepsTheWorkingOrderAndTheNextOrderGetsANewNumber) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    const QStringList options{"--heartbeat-ms", "300", "--close-time", "off"};
    ASSERT_TRUE(server.start(options));
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start("demo1", {}, [](ClientPlatform& p) {
        p.timings.watchdogIntervalMs = 500;
        p.timings.silenceLimitMs = 500;
        p.timings.loginWaitSeconds = 0.5;
        p.timings.reconnectPauseSeconds = 0.1;
    });
    TradingData& data = app.data();
    TextList& incoming = app.orderClient().incoming();
    ASSERT_TRUE(client.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Ask > 0; }));

    // A market-on-close order works until the close, which is off.
    auto placeOnClose = [&] {
        auto click = [&](int row, int set, int logical) {
            app.gridActions().mouseDown(row, app.columns().map(set, logical), false);
        };
        const int instrumentRow = data.gridRows.findRow(1, RowInstrument);
        click(instrumentRow, 0, 9); // the Ask: an entry line below the instrument
        int line = instrumentRow + 1;
        while (line < data.gridRows.rowCount() && data.gridRows.at(line).kind != RowEntryLine)
            ++line;
        click(line, 1, 9);
        app.gridActions().chooseEditorItem(3); // Typ: "MOC"
        click(line, 1, 10);                    // TRANSMIT
    };
    auto status = [&](int32_t id) {
        const int n = data.orderBook.findByOrderUserId(id);
        return n == 0 ? 0 : data.orderBook.at(n).status;
    };
    placeOnClose();
    ASSERT_TRUE(client.waitFor([&] { return status(1) == StatusSubmitted; }));
    const std::string firstId = data.orderBook.at(data.orderBook.findByOrderUserId(1)).orderId.str();

    server.kill();
    ASSERT_TRUE(client.waitFor([&] { return incoming.contains("WS closed"); }, 3000));
    const std::size_t before = incoming.size();
    ASSERT_TRUE(server.start(options));
    auto arrived = [&](const std::string& line) {
        return std::find(incoming.lines().begin() + static_cast<std::ptrdiff_t>(before),
                         incoming.lines().end(), line) != incoming.lines().end();
    };
    ASSERT_TRUE(client.waitFor([&] { return arrived("IN:@RV"); }, 5000)) << "logged in again";
    EXPECT_TRUE(arrived("IN:@LI=1"));
    EXPECT_EQ(status(1), StatusSubmitted);
    const int row = data.orderRow(1);
    ASSERT_GT(row, 0);
    const CellGrid& grid = app.orderGridCells();
    bool shown = false;
    for (int c = 0; c < grid.cols(); ++c)
        shown = shown || grid.text(row, c) == OrderStatusText(StatusSubmitted);
    EXPECT_TRUE(shown) << "the working order's line in the grid";

    placeOnClose();
    ASSERT_TRUE(client.waitFor([&] { return status(2) == StatusSubmitted; }));
    EXPECT_NE(data.orderBook.at(data.orderBook.findByOrderUserId(2)).orderId.str(), firstId);
    EXPECT_EQ(status(1), StatusSubmitted);
    for (std::size_t i = before; i < incoming.size(); ++i)
        EXPECT_FALSE(incoming.lines()[i].starts_with("IN:@OR=")) << incoming.lines()[i];
}

#endif

} // namespace
} // namespace kavex
