#include "tools/links/plain_line_scan.h"

#include <algorithm>
#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#define VARROW_X86 1
#endif

namespace links {

void LineEndTable::grow(std::size_t lines) {
    // All the capacity first (resizing costs nothing here); past it the vector grows geometrically.
    m_ends.resize(std::max(m_ends.capacity(), m_count + lines));
}

namespace {

// Records a line end for each set bit of `feeds` (bit k: a line feed at base + k). Inlined into each
// kind, it compiles to that kind's instructions.
[[gnu::always_inline]] inline void noteLineFeeds(std::uint64_t feeds, std::size_t base, LineEndTable& ends) {
    ends.makeRoom(64);
    std::uint32_t* const first = ends.next();
    std::uint32_t* out = first;
    for (; feeds; feeds &= feeds - 1)
        *out++ = static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(__builtin_ctzll(feeds));
    ends.advance(static_cast<std::size_t>(out - first));
}

#if VARROW_X86 && defined(__SSE2__)
std::size_t notePlainBlocksSse2(const unsigned char* text, std::size_t from, std::size_t limit,
                                LineEndTable& ends) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lineFeed = _mm_set1_epi8('\n');
    std::size_t i = from;
    for (; i + 64 <= limit; i += 64) {
        const auto* at = reinterpret_cast<const __m128i*>(text + i);
        const __m128i b0 = _mm_loadu_si128(at), b1 = _mm_loadu_si128(at + 1);
        const __m128i b2 = _mm_loadu_si128(at + 2), b3 = _mm_loadu_si128(at + 3);
        // Plain bytes are 1 to 127: above zero as signed bytes.
        const __m128i plain =
            _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi8(b0, zero), _mm_cmpgt_epi8(b1, zero)),
                          _mm_and_si128(_mm_cmpgt_epi8(b2, zero), _mm_cmpgt_epi8(b3, zero)));
        if (_mm_movemask_epi8(plain) != 0xFFFF)
            break;
        const auto feedsOf = [&](__m128i bytes) {
            return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)))};
        };
        noteLineFeeds(feedsOf(b0) | feedsOf(b1) << 16 | feedsOf(b2) << 32 | feedsOf(b3) << 48, i, ends);
    }
    return i;
}
#endif

#if VARROW_X86 && (defined(__GNUC__) || defined(__clang__))
// Compiled for wider registers and chosen at run time, where the processor has them.
#define VARROW_HAVE_WIDE_SCANS 1
[[gnu::target("avx2,bmi")]] std::size_t notePlainBlocksAvx2(const unsigned char* text, std::size_t from,
                                                            std::size_t limit, LineEndTable& ends) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    std::size_t i = from;
    for (; i + 64 <= limit; i += 64) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 32));
        const __m256i plain = _mm256_and_si256(_mm256_cmpgt_epi8(low, zero), _mm256_cmpgt_epi8(high, zero));
        if (_mm256_movemask_epi8(plain) != -1)
            break;
        // (No lambda here: it would not share this function's wider target.)
        const auto lowFeeds =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lineFeed)));
        const auto highFeeds =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lineFeed)));
        noteLineFeeds(lowFeeds | std::uint64_t{highFeeds} << 32, i, ends);
    }
    return i;
}

// Widens bytes 16k to 16k+15 of `positions` to line ends base + position, stored at out + 16k. (The
// zero-masking forms: the plain ones start from a deliberately undefined register, which this
// compiler's headers warn about.)
template <int kQuarter>
[[gnu::target("avx512f,avx512bw"), gnu::always_inline]] inline void
storeQuarter(std::uint32_t* out, __m512i positions, __m512i base) {
    const __m128i bytes = _mm512_maskz_extracti32x4_epi32(0xF, positions, kQuarter);
    _mm512_storeu_si512(out + 16 * kQuarter,
                        _mm512_add_epi32(base, _mm512_maskz_cvtepu8_epi32(0xFFFF, bytes)));
}

[[gnu::target("avx512f,avx512bw,avx512vbmi2,popcnt")]] std::size_t
notePlainBlocksAvx512(const unsigned char* text, std::size_t from, std::size_t limit, LineEndTable& ends) {
    alignas(64) static constexpr std::array<unsigned char, 64> kByteIndex = [] {
        std::array<unsigned char, 64> index{};
        for (std::size_t k = 0; k < index.size(); ++k)
            index[k] = static_cast<unsigned char>(k);
        return index;
    }();
    const __m512i byteIndex = _mm512_load_si512(kByteIndex.data());
    const __m512i zero = _mm512_setzero_si512();
    const __m512i lineFeed = _mm512_set1_epi8('\n');
    std::size_t i = from;
    for (; i + 64 <= limit; i += 64) {
        const __m512i bytes = _mm512_loadu_si512(text + i);
        if (_mm512_cmpgt_epi8_mask(bytes, zero) != ~__mmask64{0})
            break;
        const __mmask64 feeds = _mm512_cmpeq_epi8_mask(bytes, lineFeed);
        const auto count = static_cast<std::size_t>(_mm_popcnt_u64(feeds));
        // The positions of the line feeds, packed into the low bytes, widened to 32-bit line ends
        // sixteen at a time: no work per line at all.
        const __m512i positions = _mm512_maskz_compress_epi8(feeds, byteIndex);
        const __m512i base = _mm512_set1_epi32(static_cast<int>(i));
        ends.makeRoom(64);
        std::uint32_t* const out = ends.next();
        storeQuarter<0>(out, positions, base);
        if (count > 16) {
            storeQuarter<1>(out, positions, base);
            storeQuarter<2>(out, positions, base);
            storeQuarter<3>(out, positions, base);
        }
        ends.advance(count);
    }
    return i;
}
#endif

} // namespace

PlainScanKind quickestPlainScan() {
#if VARROW_HAVE_WIDE_SCANS
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                               __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("popcnt");
    if (avx512)
        return PlainScanKind::Avx512;
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
    if (avx2)
        return PlainScanKind::Avx2;
#endif
#if VARROW_X86 && defined(__SSE2__)
    return PlainScanKind::Sse2;
#else
    return PlainScanKind::Bytewise;
#endif
}

std::size_t notePlainBlocks(const unsigned char* text, std::size_t from, std::size_t limit,
                            LineEndTable& ends, PlainScanKind kind) {
    switch (kind) {
#if VARROW_HAVE_WIDE_SCANS
    case PlainScanKind::Avx512:
        return notePlainBlocksAvx512(text, from, limit, ends);
    case PlainScanKind::Avx2:
        return notePlainBlocksAvx2(text, from, limit, ends);
#endif
#if VARROW_X86 && defined(__SSE2__)
    case PlainScanKind::Sse2:
        return notePlainBlocksSse2(text, from, limit, ends);
#endif
    default:
        return from;
    }
}

} // namespace links
