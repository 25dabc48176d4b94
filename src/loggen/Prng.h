#pragma once
// The generator's own random source: xoshiro256** seeded by splitmix64, with integer-only
// ranges, so that a seed writes the same bytes with every compiler and standard library.
#include <cstddef>
#include <cstdint>

namespace tessary::loggen {

class Prng {
public:
    explicit Prng(uint64_t seed);

    uint64_t Next();
    // Uniform in [0, bound); 0 when bound is 0.
    uint64_t Below(uint64_t bound);
    // Uniform in [low, high] (inclusive).
    int64_t Between(int64_t low, int64_t high);
    // True with a probability of perMille / 1000; rates of 0 and 1000 draw nothing.
    bool PerMille(uint32_t perMille) {
        if (perMille == 0 || perMille >= 1000) {
            return perMille != 0;
        }
        return Below(1000) < perMille;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Next() >> 56); }

private:
    uint64_t m_state[4];
};

// One entry of a table, each as likely as the others.
template <typename T, size_t N>
T Pick(Prng& prng, const T (&table)[N]) {
    return table[prng.Below(N)];
}

}  // namespace tessary::loggen
