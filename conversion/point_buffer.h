// The points of one spectrum: filled by READSC, written out by the batch driver.
// Element 1 of the 1-based arrays is index 0.
#pragma once

#include <cstdint>

namespace conversion {

/// Capacity of the point arrays.
inline constexpr std::int32_t MAX_POINTS = 100000;

struct PointBuffer {
  double X[MAX_POINTS];
  double Y[MAX_POINTS];
  std::int32_t NPTS;
};

}  // namespace conversion
