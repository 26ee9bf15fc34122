#include "external/command_line.h"

#include "base/fixed_text.h"
#include "base/numbers.h"

#include <algorithm>
#include <cctype>

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

std::string orderTypeOf(std::string_view field) {
    // A control character would end the message it travels in; a double quote would make
    // the receiver read the fields after it as one.
    std::string type = blankControls(fitToWidth(field, 3));
    std::replace(type.begin(), type.end(), '"', ' ');
    return type;
}

std::string referenceOf(std::string_view field) {
    return blankControls(field);
}

} // namespace kavex
