// One refresh tick of the order grid through the Qt model: the quote rows of the changed
// instruments are redrawn into the grid model, and between instruments the pending events
// run (at most once per millisecond, as the trading window's refresh timer lets them), so
// the view's repaints are part of the figure. The same tick without a model or view attached is measured in
// the same run; the program prints both and their ratio.
#include "base/text_list.h"
#include "gui/cell_grid_model.h"
#include "gui/cell_grid_view.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/qt/qt_event_loop.h"
#include "views/cell_grid.h"
#include "views/colour_roles.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace kavex;
using Clock = std::chrono::steady_clock;

constexpr int kInstruments = 1000;
constexpr int kTicks = 40;

// A book of 1000 instruments; every tenth holds a position, so its holding cells are drawn too.
struct Book {
    TradingData data;
    CellGrid grid;
    ColourRoles colours;
    OrderGridColumns columns;
    Settings settings;
    QtEventLoop loop;
    TextList log;
    OrderGrid view{data, grid, columns, colours, settings, loop, log, NumberLocale{','}};

    Book() {
        columns.setUp(colours);
        data.instruments.reset(kInstruments);
        resetPositionIndex(data.positionIndex, kInstruments);
        data.positionList.reset(kInstruments);
        data.account.kontoValue8 = 25000;
        for (int i = 1; i <= kInstruments; ++i) {
            Instrument& q = data.instruments.at(i);
            q.Ticker = "T" + std::to_string(i);
            q.ZeltickerCode = "DE000" + std::to_string(100000 + i);
            q.Bid = 99.5f;
            q.Ask = 100.25f;
            q.Last = 100;
            q.BidVolume = 300;
            q.AskVolume = 450;
            if (i % 10 == 0) {
                Position p;
                p.instrumentNumber = static_cast<int16_t>(i);
                p.holding = 5;
                p.sumCost = 500;
                p.sumValue = 512.5f;
                p.marginS = 80;
                setPositionOf(data.positionIndex, i, data.positionList.add(p));
            }
        }
        grid.resize(3, OrderGridColumns::kColumns + 1);
        for (int c = 1; c <= OrderGridColumns::kColumns; ++c)
            grid.setColWidth(c, 900);
        view.rebuildRows();
        view.redrawAll();
    }

    // One tick: every listed instrument gets a new bid and its quote row is redrawn;
    // `between` runs after each instrument.
    void tick(const std::vector<int>& changed, int t, const std::function<void()>& between) {
        const float bid = t % 2 == 0 ? 99.75f : 99.5f;
        for (int i : changed) {
            data.instruments.at(i).Bid = bid;
            view.redrawInstrument(i);
            if (between) between();
        }
    }
};

struct Figure {
    double medianMs = 0;
    double meanMs = 0;
};

Figure measure(Book& book, const std::vector<int>& changed, const std::function<void()>& between,
               const std::function<void()>& afterTick = nullptr) {
    auto tick = [&](int t) {
        book.tick(changed, t, between);
        if (afterTick) afterTick();
    };
    for (int t = 0; t < 3; ++t)
        tick(t); // warm up
    std::vector<double> ms;
    for (int t = 0; t < kTicks; ++t) {
        auto start = Clock::now();
        tick(t);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    Figure f;
    for (double v : ms)
        f.meanMs += v / static_cast<double>(ms.size());
    std::nth_element(ms.begin(), ms.begin() + static_cast<std::ptrdiff_t>(ms.size() / 2), ms.end());
    f.medianMs = ms[ms.size() / 2];
    return f;
}

std::vector<int> firstInstruments(int n) {
    std::vector<int> v;
    for (int i = 1; i <= n; ++i)
        v.push_back(i);
    return v;
}

std::vector<int> spreadInstruments(int n) {
    std::vector<int> v;
    for (int k = 0; k < n; ++k)
        v.push_back(1 + k * (kInstruments / n));
    return v;
}

struct QtFigures {
    Figure all, top50, spread50;
};

// The ticks through a model and a view made by `makeView`; the model hands its changes
// to the view a moment after the pass, and the figure takes that delivery and the
// repaint it causes into the tick.
QtFigures measureQt(Book& book, const std::vector<int>& all, const std::vector<int>& top50,
                    const std::vector<int>& spread50,
                    const std::function<std::unique_ptr<QTableView>(CellGridModel&)>& makeView) {
    CellGridModel model(book.grid);
    std::unique_ptr<QTableView> view = makeView(model);
    view->setFocusPolicy(Qt::NoFocus);
    view->resize(1280, 720);
    view->show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EventBreaks breaks(book.loop);
    auto events = [&] { breaks.between(); };
    auto afterTick = [&] {
        model.deliverChanges();
        QCoreApplication::processEvents();
    };
    QtFigures f;
    f.all = measure(book, all, events, afterTick);
    f.top50 = measure(book, top50, events, afterTick);
    f.spread50 = measure(book, spread50, events, afterTick);
    model.setView(nullptr);
    return f;
}

void report(const char* what, const Figure& headless, const Figure& qt, double goalMs) {
    std::printf("  %-34s headless %7.3f ms   Qt %7.3f ms (goal < %.1f ms)   ratio %5.2f\n", what,
                headless.medianMs, qt.medianMs, goalMs, qt.medianMs / headless.medianMs);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    Book book;
    const std::vector<int> all = firstInstruments(kInstruments);
    const std::vector<int> top50 = firstInstruments(50);
    const std::vector<int> spread50 = spreadInstruments(50);

    // Headless: the grid model alone, nobody observing it.
    Figure headlessAll = measure(book, all, nullptr);
    Figure headlessTop = measure(book, top50, nullptr);
    Figure headlessSpread = measure(book, spread50, nullptr);

    // The grid's view, shown in a window of 1280 x 720 pixels; and for comparison the
    // stock QTableView set up alike.
    QtFigures grid = measureQt(book, all, top50, spread50, [](CellGridModel& model) {
        return std::unique_ptr<QTableView>(new CellGridView(model));
    });
    QtFigures stock = measureQt(book, all, top50, spread50, [](CellGridModel& model) {
        auto view = std::make_unique<QTableView>();
        view->setModel(&model);
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->verticalHeader()->setMinimumSectionSize(1);
        view->horizontalHeader()->setMinimumSectionSize(1);
        view->setSelectionMode(QAbstractItemView::NoSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        model.setView(view.get());
        model.applyLayout(*view);
        return view;
    });

    // Why events run at most once per millisecond: after every one of 1000 instruments
    // they would cost this much alone.
    Figure eventsAlone = measure(book, {}, nullptr, [] {
        for (int i = 0; i < kInstruments; ++i)
            QCoreApplication::processEvents();
    });

    std::printf("Order grid refresh tick, %d instruments, median of %d ticks\n", kInstruments, kTicks);
    std::printf("(Qt: model + offscreen CellGridView, pending events run between instruments once per ms)\n");
    report("1000 changed", headlessAll, grid.all, 3.0);
    report("50 changed, spread over the book", headlessSpread, grid.spread50, 0.5);
    report("50 changed, the top of the book", headlessTop, grid.top50, 0.5);
    std::printf("(the same through the stock QTableView)\n");
    report("1000 changed", headlessAll, stock.all, 3.0);
    report("50 changed, spread over the book", headlessSpread, stock.spread50, 0.5);
    report("50 changed, the top of the book", headlessTop, stock.top50, 0.5);
    std::printf("  %-34s %.3f ms\n", "1000 x processEvents, nothing to do", eventsAlone.medianMs);
    if (!book.log.empty()) std::printf("unexpected failure lines: %zu\n", book.log.lines().size());
    return 0;
}
