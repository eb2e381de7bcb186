// Median, lowest and highest of a series of timings.
#pragma once
#include <algorithm>
#include <vector>

struct Summary {
  double median = 0, lowest = 0, highest = 0;
};

inline Summary summarise(std::vector<double> values) {
  Summary s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  s.lowest = values.front();
  s.highest = values.back();
  return s;
}
