// Makes spectrum files of both header generations for tests, benchmarks and the demo: any flags,
// version byte, exponent, axis, spare values and y values, with trailing bytes or a cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace spctools {

enum class SpcFormat { OLD, NEW };

/// How each y value is stored.
enum class ValueWidth {
  FROM_FLAGS,  // 16-bit when bit 0 of the flags is set, else 32-bit
  INT16,
  INT32,  // the old format stores the more significant half first
  SINGLE  // the bits of an IEEE single, least significant byte first
};

struct SpcFileSpec {
  SpcFormat format = SpcFormat::NEW;
  std::uint8_t flags = 0x00;
  std::optional<std::uint8_t> version;  // 0x4D for the old format, 0x4B for the new by default
  std::int32_t exponent = 32;           // kept to 8 bits (new) or 16 bits (old); 32 means y = raw
  std::optional<double> pointCount;     // the number of values by default; a single in the old
                                        // format, a 32-bit integer (truncated) in the new one
  double firstX = 0.0;                  // singles in the old format
  double lastX = 1.0;
  std::vector<float> spare;  // the first values of the header's spare array, zeros after them
  ValueWidth width = ValueWidth::FROM_FLAGS;
  std::vector<double> values;             // raw integers (wrapped to the width) or singles
  std::size_t trailingBytes = 0;          // a log text after the values
  std::optional<std::size_t> truncateAt;  // the file is cut after this many bytes
};

/// The bytes of the file described by `spec`.
std::string encodeSpcFile(const SpcFileSpec& spec);

/// Writes the bytes to `path`; false when the file could not be written.
bool writeSpcFile(const std::string& path, const SpcFileSpec& spec);

/// start, start + step, ... (count values).
std::vector<double> rampValues(std::size_t count, double start, double step);

/// amplitude * sin(2 pi periods k / count), rounded to whole numbers, k = 0 .. count - 1.
std::vector<double> sineValues(std::size_t count, double amplitude, double periods);

/// The offset of the first y value: 256 (old) or 544 (new).
std::size_t dataOffset(SpcFormat format);

}  // namespace spctools
