#include "model/order.h"

#include "base/failure.h"

#include <array>

namespace kavex {

std::string_view OrderStatusText(int code) {
    static constexpr std::array<std::string_view, 7> kTexts = {
        "-", "PendSubm.", "PendCancel", "PreSubm.", "Submitted", "Cancelled", "Filled ",
    };
    if (code < 0 || code >= static_cast<int>(kTexts.size())) failSubscript();
    return kTexts[static_cast<std::size_t>(code)];
}

} // namespace kavex
