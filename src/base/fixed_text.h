#pragma once
// A text of exactly N characters: longer values are cut, shorter ones padded with
// blanks on the right. Characters are counted as code points of the UTF-8 text, so an
// "ä" takes one place as it does in the 8-bit code page on the wire.
#include <cstddef>
#include <string>
#include <string_view>

namespace kavex {

std::string fitToWidth(std::string_view text, std::size_t width);
std::string_view trimBlanks(std::string_view text);
// Letters a-z as A-Z; every other byte as it is.
std::string upperAscii(std::string_view text);
// Control characters (codes 0-31 and 127) as blanks: a text from outside that goes into a
// line of a file, a log or a message can then never end that line or its frame.
std::string blankControls(std::string_view text);

template <std::size_t N> class FixedText {
  public:
    FixedText() : value_(N, ' ') {}
    FixedText(std::string_view text) : value_(fitToWidth(text, N)) {}
    FixedText& operator=(std::string_view text) {
        value_ = fitToWidth(text, N);
        return *this;
    }
    const std::string& str() const { return value_; }
    std::string_view trimmed() const { return trimBlanks(value_); }
    bool operator==(const FixedText&) const = default;

  private:
    std::string value_;
};

} // namespace kavex
