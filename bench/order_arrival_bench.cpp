// The cost of one new order's arrival ("@OO" through the report handler into the order
// book, the row list and the headless grid) with 100 and with 5000 orders already in the
// book. A session's cost stays linear in its orders only when the ratio stays near 1.
#include "headless_order_grid.h"
#include "support/fakes.h"
#include "trading/order_reports.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace kavex;

struct NoMessages : UserMessages {
    void showError(const std::string&) override {}
    void showNote(const std::string&) override {}
};

constexpr int kInstruments = 50;

std::string openOrder(int userId, int instrument) {
    return std::to_string(userId) + ";O" + std::to_string(userId) +
           ";REF;BUY ;10;LMT;150;0;3;0;10;0;093000;" + "093001;DAY;" + std::to_string(instrument) +
           ";0;0;INFO;0;0";
}

// Microseconds per arrival: the best of many batches, so that a busy machine does not
// blur the comparison.
double microsecondsPerArrival(int ordersInBook) {
    bench::HeadlessOrderGrid g(kInstruments, 150);
    TextList outgoing;
    Label accountCode;
    NoMessages messages;
    test::FakeSound sound;
    OrderReports reports(g.data, g.view, messages, sound, g.settings, g.loop, outgoing, g.log, accountCode);
    int next = 1;
    for (; next <= ordersInBook; ++next)
        reports.onOpenOrder(openOrder(next, 1 + next % kInstruments));

    std::vector<double> batches;
    const int perBatch = 20;
    for (int b = 0; b < 31; ++b) {
        std::vector<std::string> bodies;
        for (int k = 0; k < perBatch; ++k, ++next)
            bodies.push_back(openOrder(next, 1 + next % kInstruments));
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& body : bodies)
            reports.onOpenOrder(body);
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        batches.push_back(spent.count() / perBatch);
    }
    return *std::min_element(batches.begin(), batches.end());
}

} // namespace

int main() {
    const double small = microsecondsPerArrival(100);
    const double large = microsecondsPerArrival(5000);
    std::printf("New order arrival, headless grid, %d instruments\n", kInstruments);
    std::printf("   100 orders in the book   %.2f us per arrival\n", small);
    std::printf("  5000 orders in the book   %.2f us per arrival\n", large);
    std::printf("  ratio 5000/100            %.2f (goal <= 2)\n", large / small);
    return 0;
}
