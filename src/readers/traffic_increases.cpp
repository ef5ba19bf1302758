#include "readers/traffic_increases.h"

#include <algorithm>

#include "layout/layout.h"

namespace pavecast {

void read_traffic_increases(InputFile* file, int32_t year_slots, PerYear<float>& increase) {
  static const layout::Layout kIncrease("F5.4");
  increase.fill(0.0f);
  if (file == nullptr) return;
  const int32_t last = std::min(year_slots, kMaxYearSlots);
  for (int32_t y = 1; y <= last; ++y) {
    float percent = 0.0f;
    if (kIncrease.read(*file, {percent}) != layout::ReadStatus::kOk) break;
    increase[y] = static_cast<float>(static_cast<double>(percent) / 100.0);
  }
}

}  // namespace pavecast
