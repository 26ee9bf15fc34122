#include "views/chart_markers.h"

#include "base/numbers.h"
#include "model/execution_list.h"
#include "model/price_history.h"
#include "views/canvas.h"
#include "views/chart_pane.h"

#include <algorithm>
#include <cmath>

namespace kavex {
namespace {

constexpr int kAlertLevelColour = chart_colour::rgb(255, 140, 0);

// Seconds since midnight of a time "hhmmss" or "hh:mm:ss"; -1 for anything else.
int secondsOfDay(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits.push_back(c);
    if (digits.size() != 6) return -1;
    const int h = std::stoi(digits.substr(0, 2)), m = std::stoi(digits.substr(2, 2)),
              s = std::stoi(digits.substr(4, 2));
    return h < 24 && m < 60 && s < 60 ? h * 3600 + m * 60 + s : -1;
}

double secondsOfDay(double dayNumber) {
    return (dayNumber - std::floor(dayNumber)) * 86400.0;
}

} // namespace

void ChartMarkers::place(const PriceHistory& history, const ExecutionList& executions, int instrument,
                         int n) {
    markers_.clear();
    if (instrument < 1 || instrument > history.instrumentCount()) return;
    struct Fill {
        int seconds, number;
    };
    std::vector<Fill> fills;
    for (int e = 1; e <= executions.count(); ++e) {
        const Execution& x = executions.at(e);
        const int seconds = secondsOfDay(x.execTime.str());
        if (x.instrumentNumber == instrument && seconds >= 0) fills.push_back({seconds, e});
    }
    if (fills.empty()) return;
    std::stable_sort(fills.begin(), fills.end(),
                     [](const Fill& a, const Fill& b) { return a.seconds < b.seconds; });

    // One walk over the points and the fills together, both oldest first.
    const int w = history.pos(instrument);
    const int first = std::max(3001 - std::clamp(n, 1, 3000), 1);
    int shown = 0; // the newest point so far that is not after the fill
    std::size_t next = 0;
    for (int i = first; i <= 3000 && next < fills.size(); ++i) {
        const HistoryEntry& p = history.slot(instrument, pointSlot(w, i));
        if (p.Time == 0) continue; // a slot never written
        while (next < fills.size() && fills[next].seconds < secondsOfDay(p.Time)) {
            if (shown != 0) markers_.push_back({double(shown), 0, fills[next].number, true});
            ++next;
        }
        shown = i;
    }
    for (; next < fills.size() && shown != 0; ++next)
        markers_.push_back({double(shown), 0, fills[next].number, true});
    for (ExecutionMarker& m : markers_) {
        const Execution& x = executions.at(m.execution);
        m.price = x.price;
        m.buy = x.action.trimmed().starts_with('B');
    }
}

void ChartMarkers::draw(Canvas& canvas, const Scale& scale, int widthPx, int heightPx) const {
    if (widthPx <= 0 || heightPx <= 0) return;
    const double ux = scale.width() / widthPx;
    const double uy = -scale.height() / heightPx; // price units per pixel upwards
    for (const ExecutionMarker& m : markers_) {
        const int colour = m.buy ? chart_colour::kLimitLong : chart_colour::kLimitShort;
        // Rows of one pixel from the tip to the base: up for a buy, down for a sell.
        const double direction = m.buy ? -1 : 1;
        const double tip = m.price - direction * uy * kSizePx / 2;
        for (int k = 0; k <= kSizePx; ++k) {
            const double y = tip + direction * uy * k;
            const double half = ux * k / 2.0;
            canvas.line(m.x - half, y, m.x + half, y, colour, 1);
        }
        const double base = tip + direction * uy * kSizePx;
        const double half = ux * kSizePx / 2.0;
        canvas.line(m.x, tip, m.x - half, base, chart_colour::kBlack, 1);
        canvas.line(m.x, tip, m.x + half, base, chart_colour::kBlack, 1);
        canvas.line(m.x - half, base, m.x + half, base, chart_colour::kBlack, 1);
    }
}

void ChartMarkers::drawAlertLevel(Canvas& canvas, float level, double left, double right) {
    canvas.line(left, level, right, level, kAlertLevelColour, 2);
}

int ChartMarkers::executionAt(double x, double y, const Scale& scale, int widthPx, int heightPx) const {
    if (widthPx <= 0 || heightPx <= 0) return 0;
    const double reachX = std::fabs(scale.width() / widthPx) * kSizePx;
    const double reachY = std::fabs(scale.height() / heightPx) * kSizePx;
    // The newest marker is drawn last, on top: it is the one clicked.
    for (auto m = markers_.rbegin(); m != markers_.rend(); ++m)
        if (std::fabs(m->x - x) <= reachX && std::fabs(m->price - y) <= reachY) return m->execution;
    return 0;
}

std::string executionDescription(const ExecutionList& executions, int number) {
    if (!executions.valid(number)) return {};
    const Execution& e = executions.at(number);
    std::string text = "Ausführung " + std::string(e.executionId.trimmed());
    text += "\nOrder " + std::string(e.orderId.trimmed());
    text += "\n" + std::string(e.action.trimmed()) + " " + std::to_string(e.quantity) + " zu " +
            strSingleTrimmed(e.price);
    text += "\nZeit " + std::string(e.execTime.trimmed());
    text += "\nBetrag " + strSingleTrimmed(e.amount) + "  Kommission " + strSingleTrimmed(e.commission);
    return text;
}

} // namespace kavex
