#include "views/link_state.h"

#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/socket_state.h"
#include "platform/tcp_client.h"
#include "views/cell_grid.h"
#include "views/grid_columns.h"

namespace kavex {
namespace {

constexpr int kGreen = 0x00A000;  // as red + 256 x green + 65536 x blue
constexpr int kYellow = 0x00A0C0; // dark yellow, readable on the window's grey
constexpr int kRed = 0x0000D0;
// Quote columns of the instrument rows: BidVol, Bid, Ask, Askvol, Letzter.
constexpr int kPriceColumns[] = {7, 8, 9, 10, 11};

} // namespace

LinkState::LinkState(EventLoop& loop, const TcpClient& socket, const TradingData& data, Grid grid,
                     Label& text)
    : loop_(loop), socket_(socket), data_(data), grid_(grid), text_(text), downSince_(loop.tickCount()),
      lastPriceAt_(loop.tickCount()) {}

LinkState::~LinkState() {
    if (timer_ != 0) loop_.stopTimer(timer_);
}

void LinkState::start() {
    if (timer_ == 0) timer_ = loop_.startTimer(kTickMs, [this] { tick(); });
    tick();
}

bool LinkState::connected() const {
    return socket_.state() == static_cast<int>(SocketState::Connected);
}

void LinkState::tick() {
    const uint32_t now = loop_.tickCount();
    if (data_.priceUpdates != seenUpdates_) {
        seenUpdates_ = data_.priceUpdates;
        lastPriceAt_ = now;
    }
    const bool up = connected();
    if (wasConnected_ && !up) downSince_ = now;
    wasConnected_ = up;
    showState();
    const bool stale = now - lastPriceAt_ >= kStaleMs;
    // Rows drawn while the prices are stale are greyed on the next tick.
    if (stale || stale != stale_) greyPrices(stale);
    stale_ = stale;
}

void LinkState::showState() {
    const int state = socket_.state();
    if (state == static_cast<int>(SocketState::Connected)) {
        colour_ = kGreen;
        return text_.setText("verbunden");
    }
    if (state >= static_cast<int>(SocketState::ConnectionPending) &&
        state <= static_cast<int>(SocketState::Connecting)) {
        colour_ = kYellow;
        return text_.setText("verbinde...");
    }
    colour_ = kRed;
    text_.setText("nicht verbunden seit " + std::to_string((loop_.tickCount() - downSince_) / 1000) + " s");
}

void LinkState::greyPrices(bool grey) {
    const int colour = grey ? kStaleText : kGridDefaultColour;
    const int rows = std::min(data_.gridRows.rowCount(), grid_.cells.rows() - 1);
    for (int row = 1; row <= rows; ++row) {
        if (data_.gridRows.at(row).kind != RowInstrument) continue;
        for (int logical : kPriceColumns) {
            const int col = grid_.columns.map(OrderGridColumns::kInstrumentSet, logical);
            if (col <= 0 || col >= grid_.cells.cols()) continue;
            Cell& cell = grid_.cells.mutableCell(row, col);
            if (cell.foreground == colour) continue;
            cell.foreground = colour;
            grid_.cells.touch(row, col);
        }
    }
}

} // namespace kavex
