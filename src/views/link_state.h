#pragma once
// The state of the link to the game server as the trading window shows it at all times:
// "verbunden", "verbinde..." or "nicht verbunden seit N s", each with its colour, and the
// price cells of the order grid greyed while no price has arrived for 10 s. Orders are
// refused while the link is down (see connected()).
#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

class CellGrid;
class EventLoop;
class Label;
class OrderGridColumns;
class TcpClient;
struct TradingData;

class LinkState {
  public:
    static constexpr int kTickMs = 1000;
    static constexpr uint32_t kStaleMs = 10000;
    static constexpr int kStaleText = 0x808080;

    struct Grid {
        CellGrid& cells;
        const OrderGridColumns& columns;
    };

    // `text` shows the state; the view reads colour() when the text changes.
    LinkState(EventLoop& loop, const TcpClient& socket, const TradingData& data, Grid grid, Label& text);
    ~LinkState();
    LinkState(const LinkState&) = delete;
    LinkState& operator=(const LinkState&) = delete;

    void start(); // the 1 s tick
    void tick();

    bool connected() const;
    int colour() const { return colour_; }
    bool pricesStale() const { return stale_; }

  private:
    void showState();
    void greyPrices(bool grey);

    EventLoop& loop_;
    const TcpClient& socket_;
    const TradingData& data_;
    Grid grid_;
    Label& text_;
    int timer_ = 0;
    int colour_ = 0;
    bool stale_ = false;
    bool wasConnected_ = false;
    uint32_t downSince_ = 0;
    uint64_t seenUpdates_ = 0;
    uint32_t lastPriceAt_ = 0;
};

} // namespace kavex
