#pragma once
// Lists that open below their box. Some styles open a box's list over the box itself,
// centred on the chosen line, so that the list hides the box it belongs to and, when
// long, fills the screen; a list below the box shows at most ten lines and scrolls.
#include <QComboBox>

namespace kavex {

inline void opensBelow(QComboBox* box) {
    box->setStyleSheet("QComboBox { combobox-popup: 0; }");
}

} // namespace kavex
