// Measures a decoded signal: frequency from rising zero crossings, level as RMS.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace soundfix {

// One channel (0 left, 1 right) of interleaved stereo, frames [from, to).
inline std::vector<double> channel(const std::vector<int16_t>& stereo, int which, size_t from = 0, size_t to = SIZE_MAX) {
    std::vector<double> out;
    for (size_t i = from; i < stereo.size() / 2 && i < to; ++i) out.push_back(stereo[i * 2 + size_t(which)]);
    return out;
}

// Hz from the span between the first and last rising zero crossing (interpolated).
inline double frequency(const std::vector<double>& x, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            double at = double(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / (last - first);
}

inline double rms(const std::vector<double>& x) {
    double sum = 0;
    for (double v : x) sum += v * v;
    return x.empty() ? 0 : std::sqrt(sum / double(x.size()));
}

}  // namespace soundfix
