// Throughput of the price handlers and the cost of writing the price history.
//
// Per compact form ("~", "^1".."^5") and for the long update "@KU", a generated stream of
// updates for 200 instruments goes through the real handlers (already cut out of their
// frames); a replaced global operator new counts heap allocations, which must stay at zero.
// Then the history of 1000 instruments with full rings is built in memory and written
// with saveHistory into a temporary folder, and loaded back with loadHistory.
//
// A program of its own (it replaces operator new): build it as a separate executable.
#include "base/files.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "session/history_files.h"
#include "session/price_handlers.h"
#include "support/fake_event_loop.h"

#include "allocation_count.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <new>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

using namespace kavex;

constexpr int kInstruments = 200;
constexpr int kUpdatesPerForm = 100000;

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

  private:
    std::uint64_t state_;
};

struct Form {
    const char* name;
    void (PriceHandlers::*handler)(std::string_view);
    int fields; // after the instrument number
    bool lastFirst;
};

const Form kForms[] = {
    {"~  full", &PriceHandlers::onCompactPrice, 5, true},
    {"^1 bid+ask", &PriceHandlers::onCompactBidAsk, 4, false},
    {"^2 ask+size", &PriceHandlers::onCompactAsk, 2, false},
    {"^3 ask", &PriceHandlers::onCompactAskPrice, 1, false},
    {"^4 ask size", &PriceHandlers::onCompactAskSize, 1, false},
    {"^5 bid+size", &PriceHandlers::onCompactBid, 2, false},
    {"@KU long", &PriceHandlers::onPriceUpdate, 5, false},
};

// The texts after the prefix, as the server writes them: prices on their tick in the
// Str form, sizes as integers.
std::vector<std::string> updatesFor(const Form& form, std::uint64_t seed) {
    Random random(seed);
    std::vector<std::string> out;
    out.reserve(kUpdatesPerForm);
    for (int i = 0; i < kUpdatesPerForm; ++i) {
        std::string text = std::to_string(1 + random.below(kInstruments));
        float tick = 0.25f;
        for (int f = 1; f <= form.fields; ++f) {
            text += ';';
            bool size =
                (form.handler == &PriceHandlers::onCompactAskSize) || (f % 2 == (form.lastFirst ? 1 : 0));
            if (form.lastFirst && f == 1)
                text += strSingleTrimmed(100 + tick * static_cast<float>(random.below(400)));
            else if (form.handler == &PriceHandlers::onPriceUpdate && f % 2 == 1)
                text += strSingleTrimmed(100 + tick * static_cast<float>(random.below(400)));
            else if (size)
                text += std::to_string(1 + random.below(500));
            else
                text += strSingleTrimmed(tick * static_cast<float>(1 + random.below(8)));
        }
        out.push_back(std::move(text));
    }
    return out;
}

struct Handlers {
    test::FakeEventLoop loop;
    TextList log, outgoing;
    TradingData data;
    WorkingDirectory folder;
    HistoryFiles history{data, folder, log};
    PriceHandlers prices{data, log, outgoing, loop, history};

    explicit Handlers(std::filesystem::path root) : folder(std::move(root)) {
        std::string list;
        for (int k = 1; k <= kInstruments; ++k)
            list += "T" + std::to_string(k) + ";C;EUR;100;99.75;1;100.25;1;N;1;0;0\n";
        prices.onInstrumentList(list);
    }
};

std::filesystem::path makeTempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kavex-bench-XXXXXX").string();
    return ::mkdtemp(tmpl.data());
}

void BM_Form(benchmark::State& state) {
    const Form& form = kForms[state.range(0)];
    const std::vector<std::string> updates =
        updatesFor(form, 100 + static_cast<std::uint64_t>(state.range(0)));
    std::filesystem::path root = makeTempFolder(); // no history files: the rings start empty
    Handlers h(root);
    for (const std::string& u : updates)
        (h.prices.*form.handler)(u); // warm-up
    if (!h.log.empty()) {
        state.SkipWithError(("update failed: " + h.log.back()).c_str());
        return;
    }
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        std::uint64_t before = kavex::bench::allocationsSoFar();
        for (const std::string& u : updates)
            (h.prices.*form.handler)(u);
        allocations += kavex::bench::allocationsSoFar() - before;
    }
    double messages = static_cast<double>(state.iterations()) * static_cast<double>(updates.size());
    state.counters["msg/s"] = benchmark::Counter(messages, benchmark::Counter::kIsRate);
    state.counters["allocs/msg"] = static_cast<double>(allocations) / messages;
    state.SetLabel(form.name);
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_Form)->DenseRange(0, static_cast<int>(std::size(kForms)) - 1)->Unit(benchmark::kMillisecond);

class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            rows_.push_back(
                {run.report_label, run.counters.at("msg/s").value, run.counters.at("allocs/msg").value});
        }
    }
    void printSummary() const {
        std::printf("\nPrice handlers, one core, %d instruments\n", kInstruments);
        for (const Row& r : rows_)
            std::printf("  %-14s %8.2f M messages/s   %.4f allocations/message\n", r.label.c_str(),
                        r.rate / 1e6, r.allocations);
    }

  private:
    struct Row {
        std::string label;
        double rate;
        double allocations;
    };
    std::vector<Row> rows_;
};

// ---- history files ---------------------------------------------------------------------

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void historyFigures() {
    constexpr int kCount = 1000;
    std::filesystem::path root = makeTempFolder();
    TextList log;
    TradingData data;
    WorkingDirectory folder(root);
    HistoryFiles files(data, folder, log);
    data.instruments.reset(kCount);
    data.history.create(kCount);
    // Full rings of distinct quotes one second apart, the newest in a middle slot.
    const double start = dayNumber({2026, 12, 7, 9, 0, 0, 0});
    for (int n = 1; n <= kCount; ++n) {
        for (int s = 1; s <= PriceHistory::kSlots; ++s) {
            float last = 50.0f + static_cast<float>(n % 97) + 0.25f * static_cast<float>(s % 40);
            data.history.slot(n, s) = {last - 0.25f, last + 0.5f, last, 0, start + (n * 7 + s) / 86400.0};
        }
        data.history.setPos(n, static_cast<int16_t>(1 + n % PriceHistory::kSlots));
    }

    std::clock_t c0 = std::clock();
    auto t0 = std::chrono::steady_clock::now();
    std::size_t bytes = 0;
    std::string text;
    for (int n = 1; n <= kCount; ++n) {
        text.clear();
        HistoryFiles::appendFileText(data.history, n, text);
        bytes += text.size();
    }
    auto t1 = std::chrono::steady_clock::now();
    std::clock_t c1 = std::clock();
    files.saveHistory();
    auto t2 = std::chrono::steady_clock::now();
    std::clock_t c2 = std::clock();
    TradingData loaded;
    HistoryFiles reader(loaded, folder, log);
    reader.loadHistory(kCount);
    auto t3 = std::chrono::steady_clock::now();

    bool same = loaded.history.pos(kCount) == PriceHistory::kSlots &&
                loaded.history.oldestFirst(kCount, 1).Bid == data.history.oldestFirst(kCount, 1).Bid;
    std::printf("\nHistory files, %d instruments x %d entries (%.1f MB)\n", kCount, PriceHistory::kSlots,
                static_cast<double>(bytes) / 1e6);
    auto cpu = [](std::clock_t a, std::clock_t b) { return static_cast<double>(b - a) / CLOCKS_PER_SEC; };
    std::printf("  %-44s %8.3f s wall %8.3f s CPU\n", "build every file in memory", seconds(t1 - t0),
                cpu(c0, c1));
    std::printf("  %-44s %8.3f s wall %8.3f s CPU (goal well under 1 s: %s)\n",
                "SaveKurse (build + atomic write, fsync)", seconds(t2 - t1), cpu(c1, c2),
                seconds(t2 - t1) < 0.5 ? "met" : "missed");
    std::printf("  %-44s %8.3f s\n", "  of which waiting for the disk (wall - CPU)",
                seconds(t2 - t1) - cpu(c1, c2));
    std::printf("  %-44s %8.3f s%s\n", "InitKurse (load every file)", seconds(t3 - t2),
                same && log.empty() ? "" : "  (LOAD MISMATCH)");
    std::filesystem::remove_all(root);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    historyFigures();
    benchmark::Shutdown();
    return 0;
}
