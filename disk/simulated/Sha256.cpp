#include "disk/simulated/Sha256.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::array<uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

uint32_t rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

void compress(std::array<uint32_t, 8>& hash, const uint8_t* block)
{
    uint32_t w[64];
    for (int t = 0; t < 16; ++t)
        w[t] = uint32_t(block[4 * t]) << 24 | uint32_t(block[4 * t + 1]) << 16 | uint32_t(block[4 * t + 2]) << 8 |
               uint32_t(block[4 * t + 3]);
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3], e = hash[4], f = hash[5], g = hash[6],
             h = hash[7];
    for (int t = 0; t < 64; ++t) {
        const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                            kRoundConstants[t] + w[t];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    hash[0] += a;
    hash[1] += b;
    hash[2] += c;
    hash[3] += d;
    hash[4] += e;
    hash[5] += f;
    hash[6] += g;
    hash[7] += h;
}

}  // namespace

void Sha256Stream::add(const uint8_t* data, size_t length)
{
    if (length == 0)
        return;
    total_ += length;
    // Fill up a started block first, then take whole blocks as they stand.
    if (pendingLength_) {
        const size_t take = std::min(length, kBlockSize - pendingLength_);
        std::memcpy(pending_.data() + pendingLength_, data, take);
        pendingLength_ += take;
        data += take;
        length -= take;
        if (pendingLength_ < kBlockSize)
            return;
        compress(hash_, pending_.data());
        pendingLength_ = 0;
    }
    for (; length >= kBlockSize; data += kBlockSize, length -= kBlockSize)
        compress(hash_, data);
    std::memcpy(pending_.data(), data, length);
    pendingLength_ = length;
}

Sha256Digest Sha256Stream::digest() const
{
    // The tail, the 80h marker, zeros and the length in bits (big-endian)
    // fill one or two last blocks.
    std::array<uint32_t, 8> hash = hash_;
    uint8_t tail[2 * kBlockSize] = {};
    std::memcpy(tail, pending_.data(), pendingLength_);
    tail[pendingLength_] = 0x80;
    const size_t tailLength = pendingLength_ + 1 + 8 <= kBlockSize ? kBlockSize : 2 * kBlockSize;
    const uint64_t bits = total_ * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailLength - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    for (size_t offset = 0; offset < tailLength; offset += kBlockSize)
        compress(hash, tail + offset);

    Sha256Digest digest;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(hash[i] >> (24 - 8 * j));
    return digest;
}

Sha256Digest Sha256(const uint8_t* data, size_t length)
{
    Sha256Stream stream;
    stream.add(data, length);
    return stream.digest();
}

std::string Sha256Hex(const Sha256Digest& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::string Sha256Hex(const uint8_t* data, size_t length)
{
    return Sha256Hex(Sha256(data, length));
}
