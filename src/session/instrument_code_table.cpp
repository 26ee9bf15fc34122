#include "session/instrument_code_table.h"

#include "base/failure.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/message_dispatcher.h"

#include <limits>
#include <unordered_map>

namespace kavex {

void InstrumentCodeTable::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::CodeTable, [this](std::string_view codes) { onCodeTable(codes); });
}

void InstrumentCodeTable::onCodeTable(std::string_view text) {
    codes_.clear();
    instruments_.clear();
    guard(log_, "InitTabelle ", [&] {
        Fields fields = SplitFields(text, ";", std::numeric_limits<int>::max());
        for (int j = 1; j <= fields.count(); ++j)
            codes_.emplace_back(fields[j]);
        // The splitter drops an empty text after the last separator; this table keeps it.
        std::string_view last = fields.count() > 0 ? fields[fields.count()] : std::string_view{};
        if (fields.count() == 0 || last.data() + last.size() != text.data() + text.size())
            codes_.emplace_back();

        // First instrument per code, found in one pass instead of one search per code.
        std::unordered_map<std::string_view, int16_t> firstByCode;
        const InstrumentTable& table = data_.instruments;
        for (int n = table.count(); n >= 1; --n)
            firstByCode[table.at(n).ZeltickerCode] = static_cast<int16_t>(n);
        instruments_.reserve(codes_.size());
        for (const std::string& code : codes_) {
            auto it = firstByCode.find(code);
            instruments_.push_back(it == firstByCode.end() ? int16_t{0} : it->second);
        }
    });
}

const std::string& InstrumentCodeTable::code(int j) const {
    if (j < 1 || j > count()) failSubscript();
    return codes_[static_cast<std::size_t>(j - 1)];
}

int16_t InstrumentCodeTable::instrument(int j) const {
    if (j < 1 || j > static_cast<int>(instruments_.size())) failSubscript();
    return instruments_[static_cast<std::size_t>(j - 1)];
}

} // namespace kavex
