// The leading-number parse, the rounding to integers and the field splitter on
// arbitrary text, separators and field limits.
//
// Besides running clean under the sanitizers it checks: the leading-number parse gives
// the general reading's value bit for bit, and fields read in one pass give what
// splitting and parsing give; plain decimals read as strtod reads them; rounding is to the nearest integer
// with halves to even, and fails exactly outside the 32-bit range; the fields are views into the text that,
// joined with the separator, give the text back; a reused Fields splits as a fresh one does.
#include "base/failure.h"
#include "base/numbers.h"
#include "base/plain_fields.h"
#include "base/split_fields.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace kavex;

[[noreturn]] void fault(const char* what, std::string_view text) {
    std::fprintf(stderr, "number/split fault: %s\n  text [%.*s]\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

// Optional blanks, sign, digits with at most one point, nothing after: the form strtod
// and the leading-number parse must agree on.
bool plainDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

void checkNumber(std::string_view text) {
    const double value = parseLeading(text);
    if (std::isnan(value)) fault("parse gave NaN", text);
    const double general = parseLeadingGeneral(text);
    if (std::memcmp(&value, &general, sizeof value) != 0) fault("shortcut and general reading differ", text);
    if (plainDecimal(text)) {
        std::string copy(text);
        if (value != std::strtod(copy.c_str(), nullptr))
            fault("plain decimal read differently from strtod", text);
    }
    int32_t rounded = 0;
    bool failed = false;
    try {
        rounded = roundToInt32(value);
    } catch (const Failure&) {
        failed = true;
    }
    const double nearest = std::nearbyint(value);
    const bool fits = nearest >= -2147483648.0 && nearest <= 2147483647.0;
    if (failed == fits)
        fault(failed ? "rounding failed for a value in range" : "rounding accepted an overflow", text);
    if (!failed) {
        double off = std::fabs(static_cast<double>(rounded) - value);
        if (off > 0.5 || (off == 0.5 && rounded % 2 != 0))
            fault("rounding is not to nearest, halves to even", text);
    }
}

void checkFields(const Fields& fields, std::string_view text, std::string_view separator, int maxFields) {
    const int stored = std::min(fields.count(), std::max(maxFields, 0));
    std::string joined;
    for (int i = 1; i <= std::max(maxFields, 0); ++i) {
        std::string_view f = fields[i];
        if (!f.empty() && (f.data() < text.data() || f.data() + f.size() > text.data() + text.size()))
            fault("field outside the text", text);
        if (i > stored && !f.empty()) fault("field beyond the count is not empty", text);
        if (i <= stored) {
            if (i > 1) joined.append(separator);
            joined.append(f);
        }
    }
    for (int outside : {0, std::max(maxFields, 0) + 1}) {
        bool threw = false;
        try {
            (void)fields[outside];
        } catch (const Failure&) {
            threw = true;
        }
        if (!threw) fault("field number outside 1..maxFields did not fail", text);
    }
    // Without quotes every separator splits, so the fields give the text back (a final
    // separator adds no field); with more fields than room, they give its beginning.
    if (text.find('"') != std::string_view::npos || fields.count() == 0) return;
    if (fields.count() <= maxFields) {
        if (joined != text && joined + std::string(separator) != text)
            fault("joined fields differ from the text", text);
    } else if (stored > 0 && !text.starts_with(joined + std::string(separator))) {
        fault("stored fields are not the beginning of the text", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string separator = input.ConsumeRandomLengthString(3);
    const int maxFields = input.ConsumeIntegralInRange<int>(-2, 40);
    const int earlierMax = input.ConsumeIntegralInRange<int>(0, 40);
    const std::string text = input.ConsumeRemainingBytesAsString();

    checkNumber(text);
    // Both one-pass readers, each against splitting and the general parse.
    const Fields split = SplitFields(text, ";", 20);
    const auto checkPlain = [&](bool read, const std::array<double, 6>& plain, const char* reader) {
        if (!read) return;
        for (int f = 1; f <= 6; ++f) {
            const double general = parseLeadingGeneral(split[f]);
            if (std::memcmp(&plain[static_cast<std::size_t>(f - 1)], &general, sizeof general) != 0)
                fault(reader, text);
        }
    };
    std::array<double, 6> atOnce{}, inPairs{}, oneByOne{};
    checkPlain(plain_fields::readAtOnceOneByOne(text, atOnce), atOnce,
               "fields read at once differ from split and parsed ones");
    if (plain_fields::pairsRunHere())
        checkPlain(plain_fields::readAtOnceInPairs(text, inPairs), inPairs,
                   "fields read at once in pairs differ from split and parsed ones");
    checkPlain(readPlainFieldsOneByOne(text, oneByOne), oneByOne,
               "fields read one by one differ from split and parsed ones");

    Fields reused;
    reused.split(std::string_view(text).substr(text.size() / 2), ";", earlierMax);
    reused.split(text, separator, maxFields);
    const Fields fresh = SplitFields(text, separator, maxFields);
    if (reused.count() != fresh.count() || reused.maxFields() != fresh.maxFields())
        fault("reused Fields differ", text);
    for (int i = 1; i <= fresh.maxFields(); ++i)
        if (reused[i] != fresh[i]) fault("reused Fields differ", text);

    const std::string_view used = separator.empty() ? std::string_view(";") : std::string_view(separator);
    checkFields(fresh, text, used, maxFields);
    for (int i = 1; i <= std::min(fresh.count(), fresh.maxFields()); ++i)
        checkNumber(fresh[i]);
    return 0;
}
