// The state of one channel of the format's ADPCM (an IMA variant with 2 to 5 bits per code)
// and the expansion of one code. Header-only: the SWF writer's encoder tracks the decoder with it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace swf {

inline constexpr int16_t kAdpcmStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes by the magnitude part of a code, for 2 to 5 bits per code.
inline constexpr int8_t kAdpcmIndexShifts[4][16] = {
    {-1, 2},
    {-1, -1, 2, 4},
    {-1, -1, -1, -1, 2, 4, 6, 8},
    {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16},
};

struct AdpcmChannel {
    int predictor = 0;
    int index = 0;

    int16_t expand(uint32_t code, int bits) {
        const uint32_t signBit = 1u << (bits - 1);
        int step = kAdpcmStepSizes[index];
        int difference = 0;
        for (uint32_t mask = signBit >> 1; mask; mask >>= 1, step >>= 1)
            if (code & mask) difference += step;
        difference += step;
        predictor += (code & signBit) ? -difference : difference;
        predictor = std::clamp(predictor, -32768, 32767);
        index = std::clamp(index + kAdpcmIndexShifts[bits - 2][code & (signBit - 1)], 0, 88);
        return int16_t(predictor);
    }
};

}  // namespace swf
