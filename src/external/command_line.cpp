#include "external/command_line.h"

#include "base/fixed_text.h"
#include "base/numbers.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace kavex {

CommandFields::CommandFields(std::string_view text, int maxFields) {
    if (maxFields < 1) maxFields = 1;
    std::size_t start = 0;
    while (static_cast<int>(fields_.size()) < maxFields - 1) {
        std::size_t cut = text.find(';', start);
        if (cut == std::string_view::npos) break;
        fields_.push_back(text.substr(start, cut - start));
        start = cut + 1;
    }
    fields_.push_back(text.substr(start));
}

std::string_view CommandFields::operator[](int number) const {
    if (number < 1 || number > count()) return {};
    return fields_[static_cast<std::size_t>(number - 1)];
}

bool isNumberText(std::string_view text) {
    text = trimBlanks(text);
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == text.size();
}

namespace {

bool isPrice(std::string_view text, float& value) {
    if (trimBlanks(text).empty()) {
        value = 0;
        return true;
    }
    if (!isNumberText(text)) return false;
    double v = parseLeading(text);
    value = static_cast<float>(v);
    return std::isfinite(value);
}

} // namespace

std::optional<std::string> orderTextProblem(std::string_view orderText) {
    CommandFields f(orderText, CommandFields::kOrderTextFields);
    if (f.count() < 5) return "Auftragstext unvollständig";
    std::string_view type = trimBlanks(f[4]);
    if (type != "MKT" && type != "LMT" && type != "STP" && type != "MOC") return "Ordertyp ungültig";
    std::string_view quantity = f[5];
    double q = isNumberText(quantity) ? parseLeading(quantity) : 0;
    if (!(q >= 1 && q <= std::numeric_limits<int32_t>::max() && q == std::floor(q)))
        return "Stückzahl ungültig";
    float limit1 = 0, limit2 = 0;
    if (!isPrice(f[6], limit1) || !isPrice(f[7], limit2)) return "Limit ungültig";
    if ((type == "LMT" || type == "STP") && !(limit1 > 0)) return "Limit fehlt";
    return std::nullopt;
}

} // namespace kavex
