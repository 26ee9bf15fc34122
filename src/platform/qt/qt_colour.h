#pragma once
// Colours as the program stores them (red + 256 * green + 65536 * blue) and as Qt has them.
#include <QColor>

namespace kavex {

inline QColor toQColor(int colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
inline int fromQColor(const QColor& c) {
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

} // namespace kavex
