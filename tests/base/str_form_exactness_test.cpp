// The Str form must match the reference printf rounding for every value, including the
// near-ties and the decade boundaries where a fast path could slip.
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace kavex {
namespace {

std::string reference(double value, int digits) {
    if (value == 0 || std::isnan(value)) return " 0";
    char buf[64];
    std::string s(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "%.*G", digits, value)));
    if (s.starts_with("0."))
        s.erase(0, 1);
    else if (s.starts_with("-0."))
        s.erase(1, 1);
    return value > 0 ? " " + s : s;
}

template <typename T> T fromBits(auto bits) {
    T v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

TEST(StrFormExactness, RandomBitPatternsMatchPrintfPlainAndAppended) {
    std::mt19937 rng(7);
    std::mt19937_64 rng64(11);
    for (int i = 0; i < 100000; ++i) {
        auto f = fromBits<float>(static_cast<uint32_t>(rng()));
        ASSERT_EQ(strSingle(f), reference(f, 7)) << f;
        std::string appended = "x";
        appendStrSingle(appended, f);
        ASSERT_EQ(appended, "x" + reference(f, 7));
        auto d = fromBits<double>(static_cast<uint64_t>(rng64()));
        ASSERT_EQ(strDouble(d), reference(d, 15)) << d;
    }
    std::string out;
    appendStrDouble(out, 46000.5);
    appendStrInt(out, -3);
    appendStrInt(out, 0);
    EXPECT_EQ(out, " 46000.5-3 0");
}

TEST(StrFormExactness, PricesTiesDecadeBoundariesAndDayNumbersMatchPrintf) {
    for (int cents = -200000; cents <= 200000; ++cents) {
        float v = static_cast<float>(cents) / 64.0f; // exact binary fractions, many exact ties
        ASSERT_EQ(strSingle(v), reference(v, 7)) << v;
    }
    for (int e = -45; e <= 38; ++e) {
        double p = std::pow(10.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 9.9999995 * p, 9.9999994 * p}) {
            auto f = static_cast<float>(v);
            ASSERT_EQ(strSingle(f), reference(f, 7)) << v;
            ASSERT_EQ(strDouble(v), reference(v, 15)) << v;
        }
    }
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> days(0.0, 80000.0);
    for (int i = 0; i < 60000; ++i) {
        double t = days(rng);
        double ms = std::floor(t) + std::floor((t - std::floor(t)) * 86400000.0) / 86400000.0;
        ASSERT_EQ(strDouble(t), reference(t, 15)) << t;
        ASSERT_EQ(strDouble(ms), reference(ms, 15)) << ms;
    }
}

} // namespace
} // namespace kavex
