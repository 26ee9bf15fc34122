#pragma once
// The machine identifier sent at login: a 32-bit number written as a signed decimal
// without blanks, so values with the top bit set are negative.
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

// Folds a hexadecimal identifier (such as the 32 digits of /etc/machine-id) to 32 bits:
// the exclusive or of its groups of eight digits. Other characters are skipped; no
// digits give 0.
uint32_t foldMachineId(std::string_view hex);

std::string machineIdText(uint32_t serial);

} // namespace kavex
