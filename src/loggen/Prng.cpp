#include "loggen/Prng.h"

namespace tessary::loggen {

namespace {

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// High half of a 64 x 64-bit product, without compiler extensions.
uint64_t MulHigh(uint64_t a, uint64_t b) {
    const uint64_t aLow = a & 0xFFFFFFFF;
    const uint64_t aHigh = a >> 32;
    const uint64_t bLow = b & 0xFFFFFFFF;
    const uint64_t bHigh = b >> 32;
    const uint64_t low = aLow * bLow;
    const uint64_t mid1 = aHigh * bLow + (low >> 32);
    const uint64_t mid2 = aLow * bHigh + (mid1 & 0xFFFFFFFF);
    return aHigh * bHigh + (mid1 >> 32) + (mid2 >> 32);
}

uint64_t Rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

}  // namespace

Prng::Prng(uint64_t seed) {
    for (uint64_t& s : m_state) {
        s = SplitMix(seed);
    }
}

uint64_t Prng::Next() {
    const uint64_t result = Rotl(m_state[1] * 5, 7) * 9;
    const uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = Rotl(m_state[3], 45);
    return result;
}

uint64_t Prng::Below(uint64_t bound) {
    if (bound == 0) {
        return 0;
    }
    // Multiply-shift: no modulo bias worth caring about for test data, and no floating point.
    return MulHigh(Next(), bound);
}

int64_t Prng::Between(int64_t low, int64_t high) {
    if (high <= low) {
        return low;
    }
    return low + static_cast<int64_t>(Below(static_cast<uint64_t>(high - low) + 1));
}

}  // namespace tessary::loggen
