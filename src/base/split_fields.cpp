#include "base/split_fields.h"

#include "base/failure.h"

#include <algorithm>

namespace kavex {

std::string_view Fields::operator[](int number) const {
    if (number < 1 || number > maxFields_) failSubscript();
    if (number > static_cast<int>(stored_.size())) return {};
    return stored_[static_cast<std::size_t>(number - 1)];
}

void Fields::split(std::string_view text, std::string_view separator, int maxFields) {
    stored_.clear();
    count_ = 0;
    maxFields_ = std::max(maxFields, 0);
    if (separator.empty()) separator = ";";
    auto store = [&](std::string_view field) {
        ++count_;
        if (count_ <= maxFields_) stored_.push_back(field);
    };
    const bool hasQuotes = text.find('"') != std::string_view::npos;
    std::size_t start = 0;
    std::size_t searchFrom = 0;
    std::size_t quotes = 0;
    std::size_t quotesCountedTo = 0;
    while (true) {
        std::size_t pos = text.find(separator, searchFrom);
        if (pos == std::string_view::npos) break;
        if (hasQuotes) {
            quotes += static_cast<std::size_t>(
                std::count(text.begin() + static_cast<std::ptrdiff_t>(quotesCountedTo),
                           text.begin() + static_cast<std::ptrdiff_t>(pos), '"'));
            quotesCountedTo = pos;
            if (quotes % 2 != 0) {
                searchFrom = pos + 1;
                continue;
            }
        }
        store(text.substr(start, pos - start));
        start = pos + separator.size();
        searchFrom = start;
    }
    if (start < text.size() && count_ <= maxFields_) store(text.substr(start));
}

Fields SplitFields(std::string_view text, std::string_view separator, int maxFields) {
    Fields f;
    f.split(text, separator, maxFields);
    return f;
}

} // namespace kavex
