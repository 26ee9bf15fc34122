#pragma once
// The palette picture of the tab "Sonstiges": the cells of ColourEditor's palette; a
// click hands the cell under the pointer to the editor.
#include <QWidget>

namespace kavex {

class ColourEditor;

class ColourPalette : public QWidget {
  public:
    explicit ColourPalette(ColourEditor& editor, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRect cellRect(int column, int row) const;

    ColourEditor& editor_;
};

} // namespace kavex
