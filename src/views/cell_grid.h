#pragma once
// A grid control's cells, kept headless. Rows and columns are 0-based as in the
// control; row 0 is the title row. Lengths are twips, colours red + 256*green + 65536*blue.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

enum class CellAlignment { Left, Centre, Right };

// Colour value meaning "the grid's default colour".
constexpr int kGridDefaultColour = -1;

struct Cell {
    std::string text;
    int background = kGridDefaultColour;
    int foreground = kGridDefaultColour;
    bool bold = false;
    float fontSize = 8.25f;
    CellAlignment alignment = CellAlignment::Left;
    bool operator==(const Cell&) const = default;
};

class CellGrid {
  public:
    // A changed rectangle of cells (inclusive), or the whole grid when rows/cols are -1.
    struct Change {
        int firstRow = -1, lastRow = -1, firstCol = -1, lastCol = -1;
        bool layout = false; // row count, column count, heights or widths changed
        // The one row inserted or removed by this change (-1: none, or more than one
        // while redraw was off), so that a view can move its rows instead of starting over.
        int rowInserted = -1, rowRemoved = -1;
    };
    using Observer = std::function<void(const Change&)>;

    void resize(int rows, int cols);
    // Inserts an empty row before `row` (row == rows() appends) / removes a row.
    void insertRow(int row);
    void removeRow(int row);
    // Empties every cell (text, colours, fonts); sizes, heights and widths stay.
    void clear();
    int rows() const { return rows_; }
    int cols() const { return cols_; }

    // Checked access: throws Failure("Subscript out of range") outside the grid.
    const Cell& cell(int row, int col) const;
    Cell& mutableCell(int row, int col);
    void setText(int row, int col, std::string text);
    // As setText, copying into the cell's own storage: a writer that redraws many cells
    // with mostly unchanged texts builds no strings of its own.
    void assignText(int row, int col, std::string_view text);
    // Sets one cell's background colour; reports the cell only when the colour changed.
    void setBackground(int row, int col, int colour);
    const std::string& text(int row, int col) const { return cell(row, col).text; }

    void setRowHeight(int row, int twips);
    int rowHeight(int row) const;
    void setColWidth(int col, int twips);
    int colWidth(int col) const;

    // Colours of cells that have none of their own.
    void setDefaultBackground(int colour);
    int defaultBackground() const { return defaultBackground_; }
    void setDefaultForeground(int colour);
    int defaultForeground() const { return defaultForeground_; }
    int effectiveBackground(int row, int col) const;
    int effectiveForeground(int row, int col) const;

    // While redraw is off, changes are collected and reported once when it is turned on.
    void setRedraw(bool on);
    bool redraw() const { return redraw_; }
    // Reports a change of one cell made through mutableCell().
    void touch(int row, int col);
    void setObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    void notify(const Change& change);
    Cell& at(int row, int col); // checked

    int rows_ = 0, cols_ = 0;
    std::size_t storageOf(int row) const {
        return static_cast<std::size_t>(rowOrder_[static_cast<std::size_t>(row)]);
    }

    std::vector<std::vector<Cell>> storage_; // the cells of each row, in no particular order
    std::vector<int32_t> rowOrder_;          // row number -> its index in storage_
    std::vector<int32_t> freeStorage_;       // storage rows of removed rows, for reuse
    std::vector<int> rowHeights_, colWidths_;
    int defaultBackground_ = 0xFFFFFF;
    int defaultForeground_ = 0x000000;
    bool redraw_ = true;
    bool pending_ = false;
    Change pendingChange_;
    int pendingRowCountChanges_ = 0;
    Observer observer_;
};

} // namespace kavex
