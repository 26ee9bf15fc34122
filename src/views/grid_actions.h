#pragma once
// What clicks in the order grid do: new entry lines from the quote cells, the in-cell
// editor for quantity, limits and type, "TRANSMIT", "DELETE", "CANCEL", "DEFAULT", and
// the quick-order buttons that trade the default instrument.
#include "base/text_list.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavex {

class CellGrid;
class FailureLog;
class OrderGrid;
class OrderGridColumns;
class OrderPlacement;
class Prompts;
class ServerSender;
struct Settings;
struct TradingData;

// The drop-down editor laid over one grid cell.
struct CellEditor {
    bool visible = false;
    bool active = false;
    bool listFillGuard = false;
    int row = 0;
    int col = 0;
    std::vector<std::string> items;
    int selected = -1;
    std::string text;
    int32_t orderUserId = 0; // the working order being changed; 0 for an entry line
};

class GridActions {
  public:
    enum EditorMode { Quantity = 1, Price = 2, OrderType = 3 };
    static constexpr int kTitleRows = 2; // fixed on top, as column 0 is on the left

    GridActions(TradingData& data, CellGrid& grid, OrderGrid& orderGrid, const OrderGridColumns& columns,
                OrderPlacement& placement, ServerSender& sender, Settings& settings, Prompts& prompts,
                FailureLog& log);

    // A mouse-down on a cell: commits an open editor, then a right click opens the
    // context actions and any other button runs clickSelectedCell. The title rows and
    // column 0 take no click.
    void mouseDown(int row, int col, bool rightButton);
    void clickSelectedCell(int startRow);

    void openEditor(int row, int col, int mode, float price);
    // The editor's list choice, typed text, Enter, Escape, focus loss.
    void chooseEditorItem(int index);
    void setEditorText(const std::string& text) { editor_.text = text; }
    void commitEditor();
    void escapeEditor();

    // The default-quantity box: the text as typed; it is corrected at once.
    void setDefaultQuantityText(const std::string& text);
    int32_t defaultQuantity() const;
    Label& defaultQuantityBox() { return defaultQuantityBox_; }

    // Quick-order buttons: 0 buys, 1 sells the default instrument at once.
    void quickOrder(int index);
    // The "Mehr"/"Weniger" button: finished orders shown or hidden.
    void toggleFinishedOrders();

    const CellEditor& editor() const { return editor_; }
    int lastInsertedRow() const { return lastInsertedRow_; }
    // Colours of the two quick-order buttons once a default instrument is marked (-1 before).
    const std::array<int, 2>& quickButtonColours() const { return quickButtonColours_; }
    int currentRow() const { return currentRow_; }
    int currentCol() const { return currentCol_; }
    void selectCell(int row, int col);

    std::function<void(int instrument)> showChart;
    // A click on the ticker: the user has seen the instrument's reached alarm.
    std::function<void(int instrument)> instrumentSeen;
    // Right click on a cell: the order context actions (bracket, close, reverse).
    std::function<void(int row, int col)> contextActions;
    std::function<void(const std::string& caption)> moreButtonCaptionChanged;
    // The editor changed the quantity or the limit of a working order (in the order book).
    std::function<void(int orderBookNumber, std::optional<int32_t> quantity, std::optional<float> limit)>
        changeOrder;

    static std::vector<std::string> priceChoices(float reference);

  private:
    void transmit(int row);
    void deleteLine(int row);
    void markDefault(int row, int col);
    void insertEntryLine(int row, const char* side);
    void onInstrumentRow(int row, int logical);
    void onEntryLine(int row, int logical);
    void onWorkingOrder(int row, int logical);
    void commitOrderChange(int logical, const std::string& text);

    TradingData& data_;
    CellGrid& grid_;
    OrderGrid& orderGrid_;
    const OrderGridColumns& columns_;
    OrderPlacement& placement_;
    ServerSender& sender_;
    Settings& settings_;
    Prompts& prompts_;
    FailureLog& log_;

    CellEditor editor_;
    Label defaultQuantityBox_;
    int currentRow_ = 0;
    int currentCol_ = 0;
    int lastInsertedRow_ = 0;
    std::array<int, 2> quickButtonColours_{-1, -1};
};

} // namespace kavex
