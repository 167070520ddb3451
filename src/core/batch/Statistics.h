#pragma once

#include <optional>
#include <span>
#include <vector>

// The statistics under a summary table's numeric column, over the rows where the value
// exists: what a test report gives for a series of specimens.
namespace rz {

struct ColumnStatistics {
    int count = 0;                       // values taken
    std::optional<double> mean;          // from one value on
    std::optional<double> standardDeviation;       // sample (n - 1): from two values on
    std::optional<double> coefficientOfVariation;  // standard deviation / mean; none for a mean of 0
    std::optional<double> minimum;
    std::optional<double> maximum;
};

// Missing values (empty) are left out, and so are NaN and infinities: a workbook's
// AVERAGE and STDEV.S skip a cell that holds no number, and these must agree with them.
// Exact where the data allow: the values are scaled by a power of two (exact) so that
// nothing overflows, the mean is taken first and the deviations from it after, with the
// rounding of the mean corrected (two passes; a sum of squares less the squared mean would
// lose every digit of values such as 1e9 + 0.001 k). A result beyond the double range (a
// standard deviation of values near 1e308 of both signs, a coefficient of variation over a
// mean near 0) is left undefined rather than infinite.
ColumnStatistics columnStatistics(std::span<const std::optional<double>> values);

}  // namespace rz
