#include "blend_span.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swf::render {

#if defined(__SSE2__)
namespace {

// Every 16-bit lane x times its k, rounded to x * k / 255 as div255() does.
inline __m128i scaleLanes(__m128i x, __m128i k) {
    const __m128i v = _mm_add_epi16(_mm_mullo_epi16(x, k), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

// Each pixel's alpha lane (the fourth of its four) copied to all four.
inline __m128i alphaLanes(__m128i pixels16) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

// Coverages of four pixels, each widened to its pixel's four lanes: pixels 0-1 in lo, 2-3 in hi.
inline void coverageLanes(const uint8_t* coverage, __m128i& lo, __m128i& hi) {
    int32_t four;
    std::memcpy(&four, coverage, sizeof four);
    __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), _mm_setzero_si128());
    c = _mm_unpacklo_epi16(c, c);
    lo = _mm_unpacklo_epi32(c, c);
    hi = _mm_unpackhi_epi32(c, c);
}

// blendCovered() of four pixels whose source is already unpacked to 16-bit lanes.
inline __m128i blendFour(__m128i srcLo, __m128i srcHi, const uint8_t* coverage, __m128i dst) {
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
    uint32_t four;
    std::memcpy(&four, coverage, sizeof four);
    __m128i sLo = srcLo, sHi = srcHi;
    if (four != ~0u) {  // the inside of a shape is fully covered, and scaling by 255 keeps a value
        __m128i covLo, covHi;
        coverageLanes(coverage, covLo, covHi);
        sLo = scaleLanes(srcLo, covLo);
        sHi = scaleLanes(srcHi, covHi);
    }
    const __m128i dLo = scaleLanes(_mm_unpacklo_epi8(dst, zero), _mm_sub_epi16(full, alphaLanes(sLo)));
    const __m128i dHi = scaleLanes(_mm_unpackhi_epi8(dst, zero), _mm_sub_epi16(full, alphaLanes(sHi)));
    // A 32-bit add per pixel, as the plain code adds the words (carries included).
    return _mm_add_epi32(_mm_packus_epi16(sLo, sHi), _mm_packus_epi16(dLo, dHi));
}

}  // namespace

void blendCoveredSpan(const uint32_t* colors, const uint8_t* coverage, uint32_t* dst, int n) {
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + i));
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, blendFour(_mm_unpacklo_epi8(src, zero), _mm_unpackhi_epi8(src, zero), coverage + i,
                                      _mm_loadu_si128(d)));
    }
    blendCoveredSpanPlain(colors + i, coverage + i, dst + i, n - i);
}

void blendSolidSpan(uint32_t color, const uint8_t* coverage, uint32_t* dst, int n) {
    const __m128i src = _mm_set1_epi32(int32_t(color));
    const __m128i src16 = _mm_unpacklo_epi8(src, _mm_setzero_si128());
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, blendFour(src16, src16, coverage + i, _mm_loadu_si128(d)));
    }
    blendSolidSpanPlain(color, coverage + i, dst + i, n - i);
}

#else

void blendCoveredSpan(const uint32_t* colors, const uint8_t* coverage, uint32_t* dst, int n) {
    blendCoveredSpanPlain(colors, coverage, dst, n);
}

void blendSolidSpan(uint32_t color, const uint8_t* coverage, uint32_t* dst, int n) {
    blendSolidSpanPlain(color, coverage, dst, n);
}

#endif

}  // namespace swf::render
