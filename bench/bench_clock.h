#pragma once
// Timing helpers shared by the benchmarks.
#include <functional>
#include <vector>

namespace cvl::bench {

// Milliseconds one call of work takes.
double timeMs(const std::function<void()>& work);
double median(std::vector<double> values);
void printRatio(const char* what, const std::vector<double>& baselineMs, const std::vector<double>& ownMs);

}  // namespace cvl::bench
