#include "gui/colour_palette.h"

#include "gui/cell_grid_model.h"
#include "views/colour_editor.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavex {

ColourPalette::ColourPalette(ColourEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
    setMinimumSize(ColourEditor::kPaletteColumns * 8, ColourEditor::kPaletteRows * 8);
    setCursor(Qt::CrossCursor);
}

QSize ColourPalette::sizeHint() const {
    return {ColourEditor::kPaletteColumns * 18, ColourEditor::kPaletteRows * 14};
}

QRect ColourPalette::cellRect(int column, int row) const {
    const int x0 = column * width() / ColourEditor::kPaletteColumns;
    const int x1 = (column + 1) * width() / ColourEditor::kPaletteColumns;
    const int y0 = row * height() / ColourEditor::kPaletteRows;
    const int y1 = (row + 1) * height() / ColourEditor::kPaletteRows;
    return {x0, y0, x1 - x0, y1 - y0};
}

void ColourPalette::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int row = 0; row < ColourEditor::kPaletteRows; ++row)
        for (int column = 0; column < ColourEditor::kPaletteColumns; ++column)
            painter.fillRect(cellRect(column, row), toQColor(ColourEditor::paletteColour(column, row)));
}

void ColourPalette::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!rect().contains(p)) return;
    editor_.choosePaletteColour(p.x() * ColourEditor::kPaletteColumns / std::max(1, width()),
                                p.y() * ColourEditor::kPaletteRows / std::max(1, height()));
}

} // namespace kavex
