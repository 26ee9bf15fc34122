#include "platform/qt/machine_id.h"

namespace kavex {

uint32_t foldMachineId(std::string_view hex) {
    uint32_t folded = 0, group = 0;
    int digits = 0;
    for (char c : hex) {
        uint32_t value;
        if (c >= '0' && c <= '9')
            value = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value = static_cast<uint32_t>(c - 'A' + 10);
        else
            continue;
        group = (group << 4) | value;
        if (++digits % 8 == 0) {
            folded ^= group;
            group = 0;
        }
    }
    return folded ^ group; // a short last group counts as it stands
}

std::string machineIdText(uint32_t serial) {
    return std::to_string(static_cast<int32_t>(serial));
}

} // namespace kavex
