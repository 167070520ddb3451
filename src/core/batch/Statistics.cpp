#include "core/batch/Statistics.h"

#include <algorithm>
#include <cmath>

namespace rz {

ColumnStatistics columnStatistics(std::span<const std::optional<double>> values)
{
    std::vector<double> taken;
    taken.reserve(values.size());
    for (const std::optional<double>& value : values)
        if (value && std::isfinite(*value))
            taken.push_back(*value);

    ColumnStatistics result;
    result.count = static_cast<int>(taken.size());
    if (taken.empty())
        return result;
    const auto [low, high] = std::minmax_element(taken.begin(), taken.end());
    result.minimum = *low;
    result.maximum = *high;

    // A power of two at least the largest magnitude: dividing by it is exact (the tiniest
    // values aside, which cannot move the sums), and every scaled value lies within [-1, 1].
    const double largest = std::max(std::fabs(*low), std::fabs(*high));
    if (largest == 0.0) {
        result.mean = 0.0;
        if (taken.size() >= 2)
            result.standardDeviation = 0.0;
        return result;
    }
    int exponent = 0;
    std::frexp(largest, &exponent);
    const auto scaled = [exponent](double x) { return std::ldexp(x, -exponent); };

    const auto n = static_cast<double>(taken.size());
    double sum = 0.0;
    for (double x : taken)
        sum += scaled(x);
    const double mean = sum / n;
    result.mean = std::ldexp(mean, exponent);

    if (taken.size() >= 2) {
        // The deviations' own sum is zero but for the rounding of the mean; taking it off
        // corrects the squares for it.
        double deviations = 0.0;
        double squares = 0.0;
        for (double x : taken) {
            const double d = scaled(x) - mean;
            deviations += d;
            squares += d * d;
        }
        const double variance = std::max(squares - deviations * deviations / n, 0.0) / (n - 1.0);
        const double deviation = std::ldexp(std::sqrt(variance), exponent);
        if (std::isfinite(deviation)) {
            result.standardDeviation = deviation;
            // From the scaled values: subnormal results would have lost digits.
            const double ratio = mean != 0.0 ? std::sqrt(variance) / mean : 0.0;
            if (mean != 0.0 && std::isfinite(ratio))
                result.coefficientOfVariation = ratio;
        }
    }
    return result;
}

}  // namespace rz
