#include "views/grid_columns.h"

#include "views/colour_roles.h"

namespace kavex {
namespace {

constexpr std::array<std::string_view, OrderGridColumns::kColumns + 1> kInstrumentTitles = {
    "",        "TICKER", "Börse",    "Name",    "Stck",    "Preis", "G/V",
    "BidVol",  "Bid",    "Ask",      "Askvol",  "Letzter", "Zeit",  "DEFAULT",
    "Bestand", "G/V",    "MarginWP", "Bracket", "",        "",      ""};
constexpr std::array<std::string_view, OrderGridColumns::kColumns + 1> kOrderTitles = {
    "",        "Ticker", "OrderID", "OrderUserID", "gilt",    "B/S",         "Stck",  "Limit1", "Limit2",
    "Typ",     "TRANS",  "CANCEL",  "Status",      "St.Zeit", "Filled/Rem.", "Preis", "Margin", "Br.OrderId",
    "EOD/GTC", "",       ""};
constexpr std::array<std::string_view, OrderGridColumns::kExecutionColumns + 1> kExecutionTitles = {
    "",      "-",       "Aktion", "Stück", "Ticker",  "Zelticker",   "Name",   "Preis",
    "Summe", "Währung", "Zeit",   "ExID",  "OrderID", "Commissions", "Gewinn", "Ergebnis"};

} // namespace

void OrderGridColumns::setUp(const ColourRoles& colours) {
    titles_[0] = kInstrumentTitles;
    titles_[1] = kOrderTitles;
    for (int c = 0; c <= kColumns; ++c) {
        map_[0][c] = (c >= 1 && c <= 17) ? c : 0;
        map_[1][c] = (c >= 1 && c <= 18) ? c : 0;
        colours_[0][c] = colours[OG_WPZeile];
        colours_[1][c] = colours[c % 2 == 1 ? OG_OrderzeileB : OG_OrderzeileA];
    }
    colours_[0][8] = colours[OG_Bid];
    colours_[0][9] = colours[OG_Ask];
    colours_[0][14] = colours[OG_Bestand];
    colours_[1][9] = colours[OG_OrderzeileB];
    colours_[1][10] = colours[OG_TRANS];
    colours_[1][11] = colours[OG_CANCEL];
    textColour_ = colours[OG_Schrift];
    separatorColour_ = colours[OG_Trennzeile];
    for (int c = 0; c <= kExecutionColumns; ++c)
        executionColours_[c] = colours[c % 2 == 1 ? EG_ZeileB : EG_ZeileA];
    executionTextColour_ = colours[EG_Schrift];
    executionSeparatorColour_ = colours[EG_Trennzeile];
}

std::string_view OrderGridColumns::executionTitle(int column) const {
    return kExecutionTitles.at(static_cast<std::size_t>(column));
}

int OrderGridColumns::logicalAt(int set, int gridColumn) const {
    for (int c = 1; c <= kColumns; ++c)
        if (map_[set][c] == gridColumn) return c;
    return 0;
}

} // namespace kavex
