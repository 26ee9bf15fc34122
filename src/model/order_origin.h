#pragma once
// Where an order was made: the grid, a quick button, a key, the chart, a bracket, a
// closing command, or the file-drop interface or the bridge with their reference. The
// origin goes with the entry line while it is composed and with the user order number
// once it is sent; the journal writes it and the order row's tooltip shows it.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kavex {

enum class OriginKind : uint8_t {
    Unknown,
    Grid,
    QuickButton,
    Key,
    Chart,
    BracketChild,
    Closing,
    FileDrop,
    Bridge
};

struct OrderOrigin {
    OriginKind kind = OriginKind::Unknown;
    std::string ref; // the external reference of a file-drop or bridge order
    bool operator==(const OrderOrigin&) const = default;
};

// "grid", "quick button", ..., "file-drop:REF", "bridge:REF"; empty when unknown.
std::string originText(const OrderOrigin& origin);

class OrderOrigins {
  public:
    // The origin of every entry line taken while the scope lives. An outer scope wins:
    // closing a holding goes through the quick buttons and stays a closing order.
    class Scope {
      public:
        Scope(OrderOrigins& origins, OrderOrigin origin);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        OrderOrigins& origins_;
        bool outermost_;
    };

    // Entry line `line` was just taken: it gets the current origin (the grid outside any scope).
    void lineTaken(int line);
    const OrderOrigin& ofLine(int line) const;
    // The line went out as order `orderUserId`: the origin moves to the order.
    void lineSent(int line, int32_t orderUserId);
    // The origin of a sent order; an unknown one (made in an earlier run) when none.
    const OrderOrigin& ofOrder(int32_t orderUserId) const;

  private:
    OrderOrigin current_{OriginKind::Grid, {}};
    bool scoped_ = false;
    std::vector<OrderOrigin> lines_; // lines_[n] is line n
    std::unordered_map<int32_t, OrderOrigin> orders_;
};

} // namespace kavex
