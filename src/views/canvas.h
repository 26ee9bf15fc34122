#pragma once
// A drawing surface with a user coordinate system.
#include <string>

namespace kavex {

class Canvas {
  public:
    virtual ~Canvas() = default;
    // Maps the user rectangle (left, top)-(right, bottom) onto the whole surface.
    virtual void setScale(double left, double top, double right, double bottom) = 0;
    virtual void clear(int colour) = 0;
    // Widths are in pixels.
    virtual void line(double x1, double y1, double x2, double y2, int colour, int width = 1) = 0;
    virtual void fillBox(double x1, double y1, double x2, double y2, int colour) = 0;
    // The text's top left corner is at (x, y).
    virtual void text(double x, double y, const std::string& text, int colour) = 0;
    // Font for the following texts and measurements.
    virtual void setFont(const std::string& family, int pointSize, bool bold) = 0;
    // Sizes in user units of the current scale, never negative.
    virtual double textWidth(const std::string& text) = 0;
    virtual double textHeight(const std::string& text) = 0;
};

} // namespace kavex
