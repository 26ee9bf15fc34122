#pragma once
// The instrument code table ("!;T;"): a list of Zelticker codes and, for each, the number
// of the first instrument with exactly that code (0 when none). Rebuilt by every such
// message; nothing else in the program reads it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class MessageDispatcher;
class TextList;
struct TradingData;

class InstrumentCodeTable {
  public:
    InstrumentCodeTable(const TradingData& data, TextList& log) : data_(data), log_(log) {}

    void bind(MessageDispatcher& dispatcher);

    // The ";"-separated code list; the text after the last ";" is always the last code,
    // even when it is empty.
    void onCodeTable(std::string_view codes);

    int count() const { return static_cast<int>(codes_.size()); }
    // Code j and its instrument number, j = 1..count (checked).
    const std::string& code(int j) const;
    int16_t instrument(int j) const;

  private:
    const TradingData& data_;
    TextList& log_;
    std::vector<std::string> codes_;
    std::vector<int16_t> instruments_;
};

} // namespace kavex
