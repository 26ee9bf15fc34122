#pragma once
// The field splitter of every message handler.
#include <string_view>
#include <vector>

namespace kavex {

// Fields 1..count of a text cut at a separator. `count` may exceed `maxFields`; only
// the first `maxFields` are stored. Reading a field 1..maxFields that the text did not
// have yields "", reading beyond maxFields fails ("Subscript out of range").
// The fields are views into the text: keep the text alive while reading them.
class Fields {
  public:
    int count() const { return count_; }
    int maxFields() const { return maxFields_; }
    std::string_view operator[](int number) const;

    // Reuses the storage of an earlier split, so a hot path allocates nothing.
    void split(std::string_view text, std::string_view separator, int maxFields);

  private:
    std::vector<std::string_view> stored_;
    int count_ = 0;
    int maxFields_ = 0;
};

// Splitting rules:
//  - every separator ends a field; adjacent separators give an empty field;
//  - the text after the last separator is a field only when it is not empty, so a
//    trailing separator adds no empty field;
//  - a separator inside a double-quoted stretch (an odd number of '"' before it) is
//    part of the field; texts without double quotes split at every separator.
Fields SplitFields(std::string_view text, std::string_view separator, int maxFields);

} // namespace kavex
