#include "decode/SearchFind.h"

#include <bit>
#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define TESSARY_FIND_SSE2 1
#define TESSARY_FIND_AVX2 1
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
// MSVC compiles AVX2 intrinsics in any function.
#define TESSARY_TARGET_AVX2
#else
#include <cpuid.h>
#define TESSARY_TARGET_AVX2 __attribute__((target("avx2")))
#endif
#endif

namespace tessary {
namespace {

// Every record test runs one scan per word over the whole record text, so the scan compares
// the first and the last character of the word at many positions at once and only checks the
// characters between at the few places where both agree. Folding is "c | 0x20" for letters,
// which maps exactly 'A'..'Z' and 'a'..'z' onto the lower-case letters.

inline bool IsAsciiLetter(char16_t c) {
    return static_cast<char16_t>((c | 0x20) - u'a') < 26;
}

inline char16_t FoldBits(char16_t c) {
    return IsAsciiLetter(c) ? 0x20 : 0;
}

struct WordKey {
    const char16_t* word;
    size_t length;
    char16_t firstTarget, firstBits;
    char16_t lastTarget, lastBits;
};

WordKey MakeKey(std::u16string_view word) {
    WordKey key{word.data(), word.size(), 0, 0, 0, 0};
    key.firstBits = FoldBits(word.front());
    key.firstTarget = word.front() | key.firstBits;
    key.lastBits = FoldBits(word.back());
    key.lastTarget = word.back() | key.lastBits;
    return key;
}

// The characters between the first and the last, at candidate position `text`.
inline bool InnerMatches(const char16_t* text, const WordKey& key) {
    for (size_t k = 1; k + 1 < key.length; ++k) {
        const char16_t a = text[k];
        const char16_t b = key.word[k];
        if (a != b && !(IsAsciiLetter(b) && (a | 0x20) == (b | 0x20))) {
            return false;
        }
    }
    return true;
}

inline bool MatchesAt(const char16_t* text, size_t pos, const WordKey& key) {
    return (text[pos] | key.firstBits) == key.firstTarget &&
           (text[pos + key.length - 1] | key.lastBits) == key.lastTarget &&
           InnerMatches(text + pos, key);
}

// The vector scans mark each position where the first and the last character agree with two
// mask bits (one per byte of the UTF-16 unit); checks those from `base` on, lowest first.
inline size_t FirstCandidate(const char16_t* text, size_t base, uint32_t bits, const WordKey& key) {
    while (bits != 0) {
        const int bit = std::countr_zero(bits);
        const size_t pos = base + static_cast<size_t>(bit) / 2;
        if (InnerMatches(text + pos, key)) {
            return pos;
        }
        bits &= ~(3u << bit);
    }
    return kNotFound;
}

// Candidate positions [from, count).
size_t ScanScalar(const char16_t* text, size_t from, size_t count, const WordKey& key) {
    for (size_t i = from; i < count; ++i) {
        if (MatchesAt(text, i, key)) {
            return i;
        }
    }
    return kNotFound;
}

#if TESSARY_FIND_SSE2
size_t ScanSse2(const char16_t* text, size_t count, const WordKey& key) {
    const __m128i first = _mm_set1_epi16(static_cast<short>(key.firstTarget));
    const __m128i firstBits = _mm_set1_epi16(static_cast<short>(key.firstBits));
    const __m128i last = _mm_set1_epi16(static_cast<short>(key.lastTarget));
    const __m128i lastBits = _mm_set1_epi16(static_cast<short>(key.lastBits));
    const size_t lastOffset = key.length - 1;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + lastOffset));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(a, firstBits), first),
                                          _mm_cmpeq_epi16(_mm_or_si128(b, lastBits), last));
        const size_t pos =
            FirstCandidate(text, i, static_cast<uint32_t>(_mm_movemask_epi8(hit)), key);
        if (pos != kNotFound) {
            return pos;
        }
    }
    return ScanScalar(text, i, count, key);
}
#endif

#if TESSARY_FIND_AVX2
TESSARY_TARGET_AVX2 size_t ScanAvx2(const char16_t* text, size_t count, const WordKey& key) {
    const __m256i first = _mm256_set1_epi16(static_cast<short>(key.firstTarget));
    const __m256i firstBits = _mm256_set1_epi16(static_cast<short>(key.firstBits));
    const __m256i last = _mm256_set1_epi16(static_cast<short>(key.lastTarget));
    const __m256i lastBits = _mm256_set1_epi16(static_cast<short>(key.lastBits));
    const size_t lastOffset = key.length - 1;
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i b =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + lastOffset));
        const __m256i hit =
            _mm256_and_si256(_mm256_cmpeq_epi16(_mm256_or_si256(a, firstBits), first),
                             _mm256_cmpeq_epi16(_mm256_or_si256(b, lastBits), last));
        const size_t pos =
            FirstCandidate(text, i, static_cast<uint32_t>(_mm256_movemask_epi8(hit)), key);
        if (pos != kNotFound) {
            return pos;
        }
    }
    if (i + 8 <= count) {
        // The SSE2 scan handles the next up-to-15 candidates from a shifted base.
        const size_t found = ScanSse2(text + i, count - i, key);
        return found == kNotFound ? kNotFound : i + found;
    }
    return ScanScalar(text, i, count, key);
}

struct CpuIdRegs {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

CpuIdRegs CpuId(uint32_t leaf) {
    CpuIdRegs r;
#if defined(_MSC_VER) && !defined(__clang__)
    int regs[4];
    __cpuidex(regs, static_cast<int>(leaf), 0);
    r = {static_cast<uint32_t>(regs[0]), static_cast<uint32_t>(regs[1]),
         static_cast<uint32_t>(regs[2]), static_cast<uint32_t>(regs[3])};
#else
    __cpuid_count(leaf, 0, r.eax, r.ebx, r.ecx, r.edx);
#endif
    return r;
}

// XCR0: which register states the system saves on a task switch.
uint64_t EnabledRegisterStates() {
#if defined(_MSC_VER) && !defined(__clang__)
    return _xgetbv(0);
#else
    uint32_t low = 0;
    uint32_t high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (uint64_t{high} << 32) | low;
#endif
}

// AVX2 is usable only when the CPU has it and the system saves the YMM registers (XCR0 bits 1
// and 2, published through OSXSAVE).
bool HasAvx2() {
    static const bool kHas = [] {
        if (CpuId(0).eax < 7) {
            return false;
        }
        const uint32_t features = CpuId(1).ecx;
        constexpr uint32_t kOsXsave = 1u << 27;
        constexpr uint32_t kAvx = 1u << 28;
        if ((features & kOsXsave) == 0 || (features & kAvx) == 0 ||
            (EnabledRegisterStates() & 6) != 6) {
            return false;
        }
        return (CpuId(7).ebx & (1u << 5)) != 0;
    }();
    return kHas;
}
#endif

}  // namespace

size_t FindNoCase(std::u16string_view text, size_t limit, std::u16string_view word) {
    size_t size = text.size();
    if (limit != 0 && limit < size) {
        size = limit;
    }
    if (word.empty() || word.size() > size) {
        return kNotFound;
    }
    const WordKey key = MakeKey(word);
    const size_t count = size - word.size() + 1;  // candidate positions
#if TESSARY_FIND_AVX2
    if (count >= 16 && HasAvx2()) {
        return ScanAvx2(text.data(), count, key);
    }
#endif
#if TESSARY_FIND_SSE2
    return ScanSse2(text.data(), count, key);
#else
    return ScanScalar(text.data(), 0, count, key);
#endif
}

}  // namespace tessary
