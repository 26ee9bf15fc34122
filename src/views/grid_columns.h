#pragma once
// Column titles, the logical-to-grid column map and the column colours of the order
// grid, derived from the colour roles by the column set-up.
#include <array>
#include <string_view>

namespace kavex {

class ColourRoles;

constexpr int rgb(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

// Set 0 serves instrument rows (title row 0), set 1 order lines (title row 1).
class OrderGridColumns {
  public:
    static constexpr int kColumns = 20;
    static constexpr int kInstrumentSet = 0;
    static constexpr int kOrderSet = 1;
    // Logical columns of the instrument set that a click turns into an entry line.
    static constexpr int kBidColumn = 8;
    static constexpr int kAskColumn = 9;

    // The column set-up: titles, map and colours, following the current colour roles.
    void setUp(const ColourRoles& colours);

    std::string_view title(int set, int logical) const { return titles_[set][logical]; }
    // Grid column of a logical column, 0 when the column is not drawn.
    int map(int set, int logical) const { return map_[set][logical]; }
    // Logical column shown in a grid column (for clicks), 0 when none.
    int logicalAt(int set, int gridColumn) const;
    int colour(int set, int logical) const { return colours_[set][logical]; }
    int textColour() const { return textColour_; }
    int separatorColour() const { return separatorColour_; }

    // The execution grid's set: columns 1..15 after the narrow column 0.
    static constexpr int kExecutionColumns = 15;
    std::string_view executionTitle(int column) const;
    int executionColour(int column) const { return executionColours_[column]; }
    int executionTextColour() const { return executionTextColour_; }
    int executionSeparatorColour() const { return executionSeparatorColour_; }

  private:
    std::array<std::array<std::string_view, kColumns + 1>, 2> titles_{};
    std::array<std::array<int, kColumns + 1>, 2> map_{};
    std::array<std::array<int, kColumns + 1>, 2> colours_{};
    int textColour_ = 0;
    int separatorColour_ = 0;
    std::array<int, kExecutionColumns + 1> executionColours_{};
    int executionTextColour_ = 0;
    int executionSeparatorColour_ = 0;
};

// Fixed colours of the order grid drawing.
namespace grid_colour {
constexpr int kTitle = rgb(160, 160, 160);
constexpr int kInstrumentMargin = rgb(23, 127, 167);
constexpr int kOrderMargin = rgb(23, 139, 191);
constexpr int kBuy = rgb(0, 255, 0);
constexpr int kSell = rgb(255, 0, 0);
constexpr int kFinishedBuy = rgb(160, 160, 160);
constexpr int kFinishedSell = rgb(128, 128, 128);
constexpr int kInactiveAction = rgb(192, 192, 192);
constexpr int kDefaultInstrument = rgb(255, 255, 0);
constexpr int kAlarmReached = rgb(255, 140, 0);
constexpr int kHoldingText = rgb(255, 255, 255);
} // namespace grid_colour

} // namespace kavex
