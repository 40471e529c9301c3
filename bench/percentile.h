#pragma once

#include <algorithm>
#include <vector>

// The value share of values stay under (share 1: the largest); 0 for none.
inline double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}
