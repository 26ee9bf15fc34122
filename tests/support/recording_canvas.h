#pragma once
// A canvas that keeps what is on it: the operations since the last clear, in user
// coordinates, with a fixed font of 6 x 13 pixels per character.
#include "views/canvas.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace kavex::test {

struct DrawOp {
    enum Kind { Line, Box, Text };
    Kind kind = Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int colour = 0;
    int width = 0;
    std::string text;
};

class RecordingCanvas : public Canvas {
  public:
    RecordingCanvas(int widthPx = 400, int heightPx = 300) : widthPx(widthPx), heightPx(heightPx) {}

    void setScale(double l, double t, double r, double b) override {
        left = l, top = t, right = r, bottom = b;
    }
    void clear(int) override {
        ops.clear();
        ++clears;
    }
    void line(double x1, double y1, double x2, double y2, int colour, int width) override {
        ops.push_back({DrawOp::Line, x1, y1, x2, y2, colour, width, {}});
    }
    void fillBox(double x1, double y1, double x2, double y2, int colour) override {
        ops.push_back({DrawOp::Box, x1, y1, x2, y2, colour, 0, {}});
    }
    void text(double x, double y, const std::string& s, int colour) override {
        ops.push_back({DrawOp::Text, x, y, x, y, colour, 0, s});
    }
    void setFont(const std::string&, int, bool) override {}
    double textWidth(const std::string& s) override {
        return double(s.size()) * 6 * std::fabs(right - left) / widthPx;
    }
    double textHeight(const std::string&) override { return 13 * std::fabs(bottom - top) / heightPx; }

    std::vector<DrawOp> select(DrawOp::Kind kind, int colour = -1) const {
        std::vector<DrawOp> out;
        for (const DrawOp& op : ops)
            if (op.kind == kind && (colour < 0 || op.colour == colour)) out.push_back(op);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const DrawOp& op : ops)
            if (op.kind == DrawOp::Text) out.push_back(op.text);
        return out;
    }

    int widthPx, heightPx;
    double left = 0, top = 0, right = 0, bottom = 0;
    std::vector<DrawOp> ops;
    int clears = 0;
};

} // namespace kavex::test
