// One refresh tick of the order grid: the quote rows of 1000 (and of 50) changed
// instruments redrawn in the headless grid model. Prints the time per tick.
#include "headless_order_grid.h"

#include <chrono>
#include <cstdio>

namespace {

using namespace kavex;

double msPerTick(int instruments, int changed) {
    bench::HeadlessOrderGrid g(instruments, 100);
    const int ticks = 50;
    auto start = std::chrono::steady_clock::now();
    for (int t = 0; t < ticks; ++t) {
        for (int i = 1; i <= changed; ++i) {
            g.data.instruments.at(i).Bid = static_cast<float>(99 + (t % 7) * 0.01);
            g.view.redrawInstrument(i);
        }
    }
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / ticks;
}

} // namespace

int main() {
    std::printf("Order grid refresh tick, headless model, 1000 instruments\n");
    std::printf("  1000 changed   %.3f ms per tick (goal < 1 ms)\n", msPerTick(1000, 1000));
    std::printf("    50 changed   %.3f ms per tick\n", msPerTick(1000, 50));
    return 0;
}
