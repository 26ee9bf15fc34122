// Throughput of the receive path on a generated server stream.
//
// Stage 1 compares framing alone (FrameBuffer) with a bare memchr loop that finds every
// end character in the same chunks. Stage 2 runs the whole path: ServerReceiver, the
// dispatcher and the compact price stand-in, which updates TradingData and its history.
// A replaced global operator new counts heap allocations in the timed loops.
//
// Run the binary as it is; after Google Benchmark's table it prints a summary with
// messages per second, the framing ratio and allocations per message. Timing never
// makes it fail.
#include "compact_price_path.h"

#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/frame_buffer.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "protocol/wire.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include "allocation_count.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kavex;

using kavex::bench::allocationsSoFar;

// ---- the generated stream ------------------------------------------------------------

constexpr int kInstruments = 200;

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
    bool percent(int p) { return below(100) < p; }

  private:
    std::uint64_t state_;
};

struct Stream {
    std::string bytes;
    std::vector<std::string_view> chunks;
    std::size_t messages = 0;
    std::size_t compactMessages = 0;
};

// Prices and volumes in both forms the server writes: the Str form with its leading
// blank (" 101.5", " .25", " 10") and the same without the blank.
void appendNumber(std::string& out, float value, Random& random) {
    std::string s = random.percent(50) ? strSingle(value) : strSingleTrimmed(value);
    out.append(s);
}

struct Quote {
    float last;
    float tick;
};

// One compact update for a random instrument, without its frame.
void appendCompactUpdate(std::string& out, std::vector<Quote>& quotes, Random& random) {
    int n = 1 + random.below(kInstruments);
    Quote& q = quotes[static_cast<std::size_t>(n - 1)];
    auto distance = [&] { return q.tick * static_cast<float>(1 + random.below(5)); };
    auto volume = [&] { return static_cast<float>(1 + random.below(500)); };
    auto field = [&](float v) {
        out.push_back(';');
        appendNumber(out, v, random);
    };
    int kind = random.below(100);
    if (kind < 60) {
        float step = q.tick * static_cast<float>(random.below(7) - 3);
        if (q.last + step > q.tick) q.last += step;
        out.append("~").append(std::to_string(n));
        field(q.last);
        field(distance());
        field(volume());
        field(distance());
        field(volume());
    } else if (kind < 72) {
        out.append("^1").append(std::to_string(n));
        field(distance());
        field(volume());
        field(distance());
        field(volume());
    } else if (kind < 81) {
        out.append("^2").append(std::to_string(n));
        field(distance());
        field(volume());
    } else if (kind < 88) {
        out.append("^3").append(std::to_string(n));
        field(distance());
    } else if (kind < 94) {
        out.append("^4").append(std::to_string(n));
        field(volume());
    } else {
        out.append("^5").append(std::to_string(n));
        field(distance());
        field(volume());
    }
}

// An order status or a heartbeat.
void appendCommand(std::string& out, Random& random, int& orderId) {
    if (random.percent(60)) {
        out.append("@=");
        return;
    }
    static const char* const kStates[] = {"PreSubm.", "Submitted", "Filled ", "Cancelled"};
    int filled = random.below(10);
    out.append("@OS=")
        .append(std::to_string(++orderId))
        .append(";;")
        .append(std::to_string(1 + random.below(5)));
    out.append(";0930").append(std::to_string(10 + random.below(50)));
    out.append(";").append(std::to_string(filled)).append(";").append(std::to_string(10 - filled));
    out.append(";").append(std::to_string(50 + random.below(100))).append(".25;");
    out.append(kStates[random.below(4)]).append(";1;0");
}

// About `targetBytes` of framed messages, `commandPercent` of them "@" messages, cut
// into chunks of 2 to 6 KB that fall anywhere, mostly inside a frame.
Stream generateStream(std::size_t targetBytes, int commandPercent, std::uint64_t seed) {
    Random random(seed);
    std::vector<Quote> quotes;
    for (int i = 0; i < kInstruments; ++i) {
        static const float kTicks[] = {0.01f, 0.05f, 0.25f, 0.5f};
        float tick = kTicks[random.below(4)];
        quotes.push_back({tick * static_cast<float>(100 + random.below(20000)), tick});
    }
    Stream s;
    s.bytes.reserve(targetBytes + 256);
    std::string text;
    int orderId = 1000;
    while (s.bytes.size() < targetBytes) {
        text.clear();
        if (random.percent(commandPercent)) {
            appendCommand(text, random, orderId);
        } else {
            appendCompactUpdate(text, quotes, random);
            ++s.compactMessages;
        }
        s.bytes.push_back(wire::kStart);
        s.bytes.append(text);
        s.bytes.push_back(wire::kEnd);
        ++s.messages;
    }
    std::string_view all = s.bytes;
    for (std::size_t at = 0; at < all.size();) {
        std::size_t size =
            std::min<std::size_t>(2048 + static_cast<std::size_t>(random.below(4097)), all.size() - at);
        s.chunks.push_back(all.substr(at, size));
        at += size;
    }
    return s;
}

const Stream& mixedStream() {
    static const Stream s = generateStream(4u << 20, 8, 42);
    return s;
}

const Stream& compactStream() {
    static const Stream s = generateStream(4u << 20, 0, 43);
    return s;
}

void setCounters(benchmark::State& state, const Stream& s, std::uint64_t allocations) {
    double passes = static_cast<double>(state.iterations());
    state.counters["msg/s"] =
        benchmark::Counter(passes * static_cast<double>(s.messages), benchmark::Counter::kIsRate);
    state.counters["compact/s"] =
        benchmark::Counter(passes * static_cast<double>(s.compactMessages), benchmark::Counter::kIsRate);
    state.counters["allocs/msg"] =
        static_cast<double>(allocations) / (passes * static_cast<double>(s.messages));
    state.SetBytesProcessed(static_cast<int64_t>(passes * static_cast<double>(s.bytes.size())));
}

// ---- stage 1: framing ----------------------------------------------------------------

std::size_t memchrPass(const Stream& s) {
    std::size_t found = 0;
    for (std::string_view chunk : s.chunks) {
        const char* p = chunk.data();
        const char* end = p + chunk.size();
        while (const void* hit = std::memchr(p, wire::kEnd, static_cast<std::size_t>(end - p))) {
            ++found;
            p = static_cast<const char*>(hit) + 1;
        }
    }
    return found;
}

void BM_MemchrScan(benchmark::State& state) {
    const Stream& s = mixedStream();
    std::uint64_t before = allocationsSoFar();
    for (auto _ : state)
        benchmark::DoNotOptimize(memchrPass(s));
    setCounters(state, s, allocationsSoFar() - before);
}

std::size_t framingPass(const Stream& s, FrameBuffer& buffer, std::string_view& message) {
    std::size_t found = 0;
    for (std::string_view chunk : s.chunks) {
        buffer.append(chunk);
        while (buffer.next(message)) {
            ++found;
            benchmark::DoNotOptimize(message.data());
        }
        buffer.compact();
    }
    return found;
}

void BM_Framing(benchmark::State& state) {
    const Stream& s = mixedStream();
    FrameBuffer buffer;
    std::string_view message;
    if (framingPass(s, buffer, message) != s.messages)
        state.SkipWithError("framing lost or invented messages");
    std::uint64_t before = allocationsSoFar();
    for (auto _ : state)
        benchmark::DoNotOptimize(framingPass(s, buffer, message));
    setCounters(state, s, allocationsSoFar() - before);
}

// ---- stage 2: the full path ----------------------------------------------------------

struct ReceivePath {
    test::FakeEventLoop loop;
    test::FakeSystemServices system;
    TextList incoming, outgoing, log;
    Label lastQuote;
    TradingData data;
    MessageDispatcher dispatcher{DispatchContext{data, incoming, outgoing, log, system, loop}};
    ServerReceiver receiver{loop, incoming, lastQuote, dispatcher};
    bench::CompactPricePath prices{data, loop, log};

    ReceivePath() {
        data.instruments.reset(kInstruments);
        data.history.create(kInstruments);
        prices.install(dispatcher);
    }

    void pass(const Stream& s) {
        for (std::string_view chunk : s.chunks)
            receiver.onDataArrival(chunk);
    }
};

void runFullPath(benchmark::State& state, const Stream& s) {
    ReceivePath path;
    path.pass(s); // warm-up: buffers and lists reach their steady size
    if (!path.log.empty()) {
        state.SkipWithError(("price update failed: " + path.log.back()).c_str());
        return;
    }
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        // The incoming list keeps every "@OS" line; empty it between passes so memory
        // stays bounded, outside the measured time and the allocation count.
        state.PauseTiming();
        path.incoming.clear();
        state.ResumeTiming();
        std::uint64_t before = allocationsSoFar();
        path.pass(s);
        allocations += allocationsSoFar() - before;
    }
    setCounters(state, s, allocations);
}

void BM_FullPathMixed(benchmark::State& state) {
    runFullPath(state, mixedStream());
}
void BM_FullPathCompactOnly(benchmark::State& state) {
    runFullPath(state, compactStream());
}

// ---- where the time of a price update goes ------------------------------------------
//
// The same compact updates, already cut out of the stream: splitting alone, splitting and
// parsing every field, and the whole stand-in (adds the instrument update, the clock and
// the history entry). The full path adds framing and dispatch to the last one.

struct Update {
    bench::CompactForm form;
    std::string_view text; // after the "~" / "^n" prefix
};

const std::vector<Update>& compactUpdates() {
    static const std::vector<Update> updates = [] {
        const Stream& s = compactStream();
        std::vector<Update> out;
        for (std::size_t at = 0; at < s.bytes.size();) {
            std::size_t end = s.bytes.find(wire::kEnd, at);
            std::string_view text = std::string_view(s.bytes).substr(at + 1, end - at - 1);
            if (text[0] == '~')
                out.push_back({bench::CompactForm::Full, text.substr(1)});
            else
                out.push_back({static_cast<bench::CompactForm>(text[1] - '0'), text.substr(2)});
            at = end + 1;
        }
        return out;
    }();
    return updates;
}

void BM_SplitOnly(benchmark::State& state) {
    const std::vector<Update>& updates = compactUpdates();
    Fields fields;
    fields.split(updates.front().text, ";", 20); // storage reaches its steady size
    std::uint64_t before = allocationsSoFar();
    for (auto _ : state) {
        for (const Update& u : updates) {
            fields.split(u.text, ";", 20);
            benchmark::DoNotOptimize(fields.count());
        }
    }
    setCounters(state, compactStream(), allocationsSoFar() - before);
}

void BM_SplitAndParse(benchmark::State& state) {
    const std::vector<Update>& updates = compactUpdates();
    Fields fields;
    fields.split(updates.front().text, ";", 20); // storage reaches its steady size
    std::uint64_t before = allocationsSoFar();
    for (auto _ : state) {
        for (const Update& u : updates) {
            fields.split(u.text, ";", 20);
            double sum = 0;
            for (int i = 1; i <= fields.count(); ++i)
                sum += parseLeading(fields[i]);
            benchmark::DoNotOptimize(sum);
        }
    }
    setCounters(state, compactStream(), allocationsSoFar() - before);
}

void BM_PriceUpdatesOnly(benchmark::State& state) {
    const std::vector<Update>& updates = compactUpdates();
    const Stream& s = compactStream();
    ReceivePath path;
    for (const Update& u : updates)
        path.prices.apply(u.form, u.text);
    std::uint64_t before = allocationsSoFar();
    for (auto _ : state)
        for (const Update& u : updates)
            path.prices.apply(u.form, u.text);
    setCounters(state, s, allocationsSoFar() - before);
}

// The rates the goals are judged on are measured in several runs: on a shared machine
// other work only ever slows a run down, so the best run is the closest to what the code
// costs, and the median tells how much the machine disturbed the others.
constexpr int kRepetitions = 5;

BENCHMARK(BM_MemchrScan)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_Framing)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_FullPathMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPathCompactOnly)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_SplitOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PriceUpdatesOnly)->Unit(benchmark::kMillisecond);

// ---- summary -------------------------------------------------------------------------

// Prints Google Benchmark's table and keeps each run's counters for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            std::map<std::string, std::vector<double>>& values = results_[run.run_name.function_name];
            for (const auto& [name, counter] : run.counters)
                values[name].push_back(counter.value);
        }
    }

    void printSummary() const {
        std::printf("\nReceive path, one core (%s build); best run, and the median of the runs\n",
                    KAVEX_BENCH_BUILD_TYPE);
        const Rates memchr = rates("BM_MemchrScan", "msg/s");
        const Rates framing = rates("BM_Framing", "msg/s");
        line("memchr end-character scan", memchr, "messages/s");
        line("framing (FrameBuffer)", framing, "messages/s");
        if (memchr.best > 0 && framing.best > 0) {
            const double ratio = memchr.best / framing.best;
            std::printf("  %-34s %8.2fx slower than memchr, best to best (goal <= 2.5x: %s); medians %.2fx\n",
                        "framing ratio", ratio, ratio <= 2.5 ? "met" : "missed",
                        memchr.median / framing.median);
        }
        line("full path, mixed stream", rates("BM_FullPathMixed", "msg/s"), "messages/s");
        line("  of which compact updates", rates("BM_FullPathMixed", "compact/s"), "messages/s");
        allocations("  allocations per message", "BM_FullPathMixed");
        const Rates compact = rates("BM_FullPathCompactOnly", "compact/s");
        if (compact.best > 0) {
            line("full path, compact updates only", compact, "messages/s");
            std::printf("  %-34s goal >= 10 M: %s; stretch >= 15 M: %s (best run)\n", "",
                        verdict(compact.best, 10e6), verdict(compact.best, 15e6));
        }
        allocations("  allocations per message", "BM_FullPathCompactOnly");
        std::printf("  compact updates without framing and dispatch:\n");
        line("  split only", rates("BM_SplitOnly", "msg/s"), "messages/s");
        line("  split and parse", rates("BM_SplitAndParse", "msg/s"), "messages/s");
        line("  price stand-in (store, history)", rates("BM_PriceUpdatesOnly", "msg/s"), "messages/s");
    }

  private:
    struct Rates {
        double best = 0, median = 0;
        std::size_t runs = 0;
    };
    const std::vector<double>* values(const std::string& benchmark, const std::string& counter) const {
        auto b = results_.find(benchmark);
        if (b == results_.end()) return nullptr;
        auto c = b->second.find(counter);
        return c == b->second.end() || c->second.empty() ? nullptr : &c->second;
    }
    Rates rates(const std::string& benchmark, const std::string& counter) const {
        const std::vector<double>* found = values(benchmark, counter);
        if (!found) return {};
        std::vector<double> sorted = *found;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
        return {sorted.back(), median, n};
    }
    static const char* verdict(double rate, double goal) { return rate >= goal ? "met" : "missed"; }
    static void line(const char* what, const Rates& r, const char* unit) {
        if (r.best <= 0) return;
        if (r.runs == 1)
            std::printf("  %-34s %8.2f M %s\n", what, r.best / 1e6, unit);
        else
            std::printf("  %-34s %8.2f M %s (median %.2f M of %zu runs)\n", what, r.best / 1e6, unit,
                        r.median / 1e6, r.runs);
    }
    // The most any run allocated.
    void allocations(const char* what, const std::string& benchmark) const {
        const std::vector<double>* found = values(benchmark, "allocs/msg");
        if (found) std::printf("  %-34s %8.4f\n", what, *std::max_element(found->begin(), found->end()));
    }

    std::map<std::string, std::map<std::string, std::vector<double>>> results_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
