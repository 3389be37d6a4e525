#include "smart/core/WideNumber.h"

#include <algorithm>

namespace smart {

std::string DecimalText(WideNumber number) {
    std::string digits;
    // Divide by ten from the most significant byte down, collecting remainders.
    while (std::any_of(number.begin(), number.end(), [](uint8_t byte) { return byte != 0; })) {
        unsigned remainder = 0;
        for (auto byte = number.rbegin(); byte != number.rend(); ++byte) {
            const unsigned value = (remainder << 8) | *byte;
            *byte = static_cast<uint8_t>(value / 10);
            remainder = value % 10;
        }
        digits += static_cast<char>('0' + remainder);
    }
    if (digits.empty()) return "0";
    return std::string(digits.rbegin(), digits.rend());
}

WideNumber MultipliedBy(const WideNumber& number, uint32_t factor) {
    WideNumber product;
    uint64_t carry = 0;
    for (uint8_t byte : number) {
        const uint64_t value = uint64_t(byte) * factor + carry;
        product.push_back(static_cast<uint8_t>(value & 0xFF));
        carry = value >> 8;
    }
    for (; carry != 0; carry >>= 8) product.push_back(static_cast<uint8_t>(carry & 0xFF));
    return product;
}

}  // namespace smart
