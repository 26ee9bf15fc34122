// Cost of the order and execution table operations that every server report makes,
// for a small book (100 orders, 100 executions) against a large one (10,000 orders,
// 50,000 executions):
//  - an order looked up by its user order number, and by its server order id;
//  - an order status report applied: lookup, new status fields, the order's grid row
//    found and its kind set (open or finished);
//  - an execution looked up by its id, and a repeated execution replacing its record
//    and finding its execution grid row.
// After Google Benchmark's table it prints nanoseconds per operation for both sizes and
// their ratio; a ratio near 1 means the operation does not grow with the table. For
// scale, a plain scan from number 1 upward is measured too: its ratio is that of the
// table sizes.
#include "model/execution_list.h"
#include "model/execution_rows.h"
#include "model/order_book.h"
#include "model/order_grid_rows.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kavex;

constexpr int kSmall = 100;
constexpr int kLargeOrders = 10000;
constexpr int kLargeExecutions = 50000;
constexpr int kInstruments = 40;
constexpr std::size_t kProbes = 4096; // a power of two

std::string idText(char prefix, int n) {
    return prefix + std::to_string(n);
}

// A book as the server builds it: orders spread over the instruments, and the grid
// rows of the order grid (instrument row, separator, its orders newest first).
struct Book {
    explicit Book(int orders) {
        std::vector<Order> all;
        for (int n = 1; n <= orders; ++n) {
            Order o;
            o.orderUserId = n;
            o.orderId = idText('O', n);
            o.instrumentNumber = static_cast<int16_t>(1 + n % kInstruments);
            o.status = StatusSubmitted;
            o.quantity = 10;
            all.push_back(o);
        }
        book.replaceAll(std::move(all));
        rows.reset();
        for (int16_t i = 1; i <= kInstruments; ++i) {
            rows.append({RowInstrument, i, 0});
            rows.append({RowSeparator, 0, 0});
            for (int k = book.count(); k >= 1; --k)
                if (book.at(k).instrumentNumber == i) rows.append({RowOpenOrder, i, k});
        }
        std::mt19937 rng(1);
        for (std::size_t i = 0; i < kProbes; ++i)
            probes.push_back(1 + static_cast<int>(rng() % orders));
        for (int p : probes)
            orderIds.push_back(idText('O', p));
    }
    OrderBook book;
    OrderGridRows rows;
    std::vector<int> probes;
    std::vector<std::string> orderIds;
};

struct Fills {
    explicit Fills(int executions) {
        std::vector<Execution> all;
        for (int n = 1; n <= executions; ++n) {
            Execution e;
            e.executionId = idText('E', n);
            e.orderId = idText('O', n);
            e.instrumentNumber = static_cast<int16_t>(1 + n % kInstruments);
            all.push_back(e);
        }
        list.replaceAll(std::move(all));
        rows.reset();
        for (int n = 1; n <= executions; ++n)
            rows.append({ExRowExecution, list.at(n).instrumentNumber, n});
        std::mt19937 rng(2);
        for (std::size_t i = 0; i < kProbes; ++i)
            ids.push_back(idText('E', 1 + static_cast<int>(rng() % executions)));
    }
    ExecutionList list;
    ExecutionRows rows;
    std::vector<std::string> ids;
};

Book& bookOf(int size) {
    static std::map<int, Book> books;
    return books.try_emplace(size, size).first->second;
}
Fills& fillsOf(int size) {
    static std::map<int, Fills> fills;
    return fills.try_emplace(size, size).first->second;
}

void BM_FindByOrderUserId(benchmark::State& state) {
    const Book& b = bookOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.book.findByOrderUserId(b.probes[i++ & (kProbes - 1)]));
}

void BM_ScanByOrderUserId(benchmark::State& state) {
    const Book& b = bookOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const int key = b.probes[i++ & (kProbes - 1)];
        int found = 0;
        for (int n = 1; n <= b.book.count() && !found; ++n)
            if (b.book.at(n).orderUserId == key) found = n;
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindByOrderId(benchmark::State& state) {
    const Book& b = bookOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.book.findByOrderId(b.orderIds[i++ & (kProbes - 1)]));
}

void BM_ApplyOrderStatus(benchmark::State& state) {
    Book& b = bookOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const int n = b.book.findByOrderUserId(b.probes[i & (kProbes - 1)]);
        const int16_t status = (i & 1) ? StatusFilled : StatusSubmitted;
        b.book.update(n, [&](Order& o) {
            o.status = status;
            o.statusTime = "101500";
            o.filled = 10;
            o.remaining = 0;
            o.price = 101.5f;
        });
        const int row = b.rows.findRow(n, RowOpenOrder);
        if (row) b.rows.setKind(row, isFinished(status) ? RowFinishedOrder : RowOpenOrder);
        benchmark::DoNotOptimize(row);
        ++i;
    }
}

void BM_FindExecution(benchmark::State& state) {
    Fills& f = fillsOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.list.findByExecutionId(f.ids[i++ & (kProbes - 1)]));
}

void BM_RepeatedExecution(benchmark::State& state) {
    Fills& f = fillsOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const int n = f.list.findByExecutionId(f.ids[i++ & (kProbes - 1)]);
        Execution e = f.list.at(n);
        e.price += 0.5f;
        f.list.replace(n, std::move(e));
        benchmark::DoNotOptimize(f.rows.findExecutionRow(n));
    }
}

BENCHMARK(BM_FindByOrderUserId)->Arg(kSmall)->Arg(kLargeOrders);
BENCHMARK(BM_ScanByOrderUserId)->Arg(kSmall)->Arg(kLargeOrders);
BENCHMARK(BM_FindByOrderId)->Arg(kSmall)->Arg(kLargeOrders);
BENCHMARK(BM_ApplyOrderStatus)->Arg(kSmall)->Arg(kLargeOrders);
BENCHMARK(BM_FindExecution)->Arg(kSmall)->Arg(kLargeExecutions);
BENCHMARK(BM_RepeatedExecution)->Arg(kSmall)->Arg(kLargeExecutions);

// Keeps Google Benchmark's table and remembers ns per operation for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.benchmark_name();
            const auto slash = name.find('/');
            perOp[name.substr(0, slash)][std::stoi(name.substr(slash + 1))] = r.GetAdjustedRealTime();
        }
    }
    std::map<std::string, std::map<int, double>> perOp;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-24s %16s %22s %8s\n", "operation", "ns/op at 100", "ns/op at 10k/50k", "ratio");
    for (const auto& [name, bySize] : reporter.perOp) {
        if (bySize.size() < 2) continue;
        const double small = bySize.begin()->second;
        const double large = bySize.rbegin()->second;
        std::printf("%-24s %16.1f %22.1f %8.2f\n", name.c_str() + 3, small, large, large / small);
    }
    benchmark::Shutdown();
    return 0;
}
