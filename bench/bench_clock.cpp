#include "bench_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace cvl::bench {

double timeMs(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printRatio(const char* what, const std::vector<double>& baselineMs, const std::vector<double>& ownMs) {
  const double baseline = median(baselineMs);
  const double own = median(ownMs);
  std::printf("%s: baseline %.1f ms, ours %.1f ms (medians of %zu rounds), ratio %.2f\n", what, baseline, own,
              ownMs.size(), own / baseline);
}

}  // namespace cvl::bench
