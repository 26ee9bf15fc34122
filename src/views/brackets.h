#pragma once
// Bracket orders: protective children (a profit-taking limit, a stop-loss stop and on
// request a market-on-close order) composed as entry lines from the instrument's
// presets, on an entry line not yet sent or on an order the server already holds. The
// children go out with their main order through the grid's transmit action.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavex {

class BracketPresetDialog;
class DialogHost;
class FailureLog;
class GridActions;
class OrderGrid;
class OrderGridColumns;
class Prompts;
class ServerSender;
struct BracketPreset;
struct Order;
struct TradingData;

class Brackets {
  public:
    // Menu index n of both bracket commands: 1 and 3 add the MOC child, 2 and 3 open the
    // preset dialog first.
    static constexpr std::array<const char*, 4> kMenuCaptions = {
        "Erzeuge Bracket Orders", "Erzeuge Bracket Orders MOC", "Erzeuge Bracket Orders Edit",
        "Erzeuge Bracket Orders MOC Edit"};
    // Logged when a command's line or order left the grid while a dialog or menu was open.
    static constexpr const char* kRowGone = "Befehl nicht ausgeführt: Zeile nicht mehr im Grid";

    Brackets(TradingData& data, GridActions& actions, OrderGrid& orderGrid, const OrderGridColumns& columns,
             ServerSender& sender, Prompts& prompts, DialogHost& dialogs, BracketPresetDialog& presetDialog,
             FailureLog& log);

    // Bracket on the entry line shown in grid row `row`.
    void bracketEntryLine(int index, int row);
    // Bracket on the server order shown in grid row `row`.
    void bracketServerOrder(int index, int row);

    // The preset of an instrument, made when the instrument has none yet; it is keyed by
    // the instrument's ticker so that edits are stored under it.
    BracketPreset& presetFor(int instrument);

    // Limit of a child from preset value `value`: mode 0 the value, 1 an offset to the
    // last price on the protective side, 2 a negative offset to the main order's fill
    // price. No limit for any other mode.
    static std::optional<float> childLimit(float mode, float value, float last, bool limitChild,
                                           bool childSells);
    // "@BR1=" / "@BR?=" for a main order held by the server, framed.
    static std::string bracketMessage(std::string_view tag, const Order& main);

  private:
    void create(int index, int row, bool serverOrder);
    // Makes one child entry line below `afterRow` by a click on the instrument row's
    // price column; returns its grid row, 0 when none was made.
    int makeChild(int instrumentRow, int column, int afterRow, int role, const char* type,
                  std::optional<float> limit, int32_t quantity, int32_t parentLine, int32_t parentUserId);

    TradingData& data_;
    GridActions& actions_;
    OrderGrid& orderGrid_;
    const OrderGridColumns& columns_;
    ServerSender& sender_;
    Prompts& prompts_;
    DialogHost& dialogs_;
    BracketPresetDialog& presetDialog_;
    FailureLog& log_;
};

} // namespace kavex
