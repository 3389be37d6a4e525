#pragma once
// Unsigned numbers wider than 64 bits, as the NVMe health log keeps its
// counters: bytes, least significant first.

#include <cstdint>
#include <string>
#include <vector>

namespace smart {

using WideNumber = std::vector<uint8_t>;  // least significant byte first

// The number in decimal, without leading zeros ("0" for zero).
std::string DecimalText(WideNumber number);
// The number times `factor`, as many bytes longer as the product needs.
WideNumber MultipliedBy(const WideNumber& number, uint32_t factor);

}  // namespace smart
