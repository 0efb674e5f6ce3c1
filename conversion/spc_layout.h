// The byte layout of spectrum files: the flags and version bytes, the old 256-byte header, the
// new 512-byte header and the 32-byte sub-header, decoded field by field from little-endian bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace conversion {

/// Bits of the first byte of every spectrum file.
enum SpcFileTypeFlags : std::uint8_t {
  FLAG_Y16 = 0x01,             // y values are 16-bit integers instead of 32-bit
  FLAG_EXPTYPE = 0x02,         // experiment-type flag of older files
  FLAG_MULTIFILE = 0x04,       // more than one trace
  FLAG_RANDOM_Z = 0x08,        // traces have arbitrary z values
  FLAG_ORDERED_Z = 0x10,       // traces have ordered but uneven z values
  FLAG_AXIS_LABELS = 0x20,     // axis labels come from the header's label text
  FLAG_XY_PER_SUBFILE = 0x40,  // each trace has x values of its own
  FLAG_X_ARRAY = 0x80,         // x values stored as an array ahead of the y values
};

/// Files with any of these bits are refused.
inline constexpr std::uint8_t UNSUPPORTED_FLAGS = FLAG_EXPTYPE | FLAG_MULTIFILE | FLAG_X_ARRAY;

/// The second byte: the generation of the format and its byte order. Any value but the old
/// and the most-significant-first ones is read as the new little-endian layout.
inline constexpr std::uint8_t VERSION_OLD = 0x4D;
inline constexpr std::uint8_t VERSION_NEW_MSB = 0x4C;
inline constexpr std::uint8_t VERSION_NEW_LSB = 0x4B;

/// The header of the file's single trace; nothing in it is interpreted.
struct SpcSubheader {
  static constexpr std::size_t SIZE = 32;
  unsigned char bytes[SIZE];
};

struct SpcOldHeader {
  static constexpr std::size_t FLAGS = 0, VERSION = 1, EXPONENT = 2, POINT_COUNT = 4, FIRST_X = 8,
                               LAST_X = 12, X_UNITS = 16, Y_UNITS = 17, YEAR = 18, MONTH = 20,
                               DAY = 21, HOUR = 22, MINUTE = 23, RESOLUTION_TEXT = 24,
                               PEAK_POINT = 32, SCAN_COUNT = 34, SPARE = 36, COMMENT = 64,
                               AXIS_LABELS = 194, SUBHEADER = 224, SIZE = 256;

  std::uint8_t flags;
  std::uint8_t version;
  std::int16_t exponent;  // y = raw value * 2^(exponent - 32)
  float pointCount;       // a floating-point count in this generation
  float firstX;
  float lastX;
  std::uint8_t xUnits;
  std::uint8_t yUnits;
  std::int16_t year;
  std::uint8_t month;
  std::uint8_t day;
  std::uint8_t hour;
  std::uint8_t minute;
  char resolutionText[8];
  std::int16_t peakPoint;
  std::int16_t scanCount;
  float spare[7];
  char comment[130];
  char axisLabels[30];
  SpcSubheader subheader;  // inside the 256 bytes in this generation
};

struct SpcNewHeader {
  static constexpr std::size_t FLAGS = 0, VERSION = 1, EXPERIMENT_TYPE = 2, EXPONENT = 3,
                               POINT_COUNT = 4, FIRST_X = 8, LAST_X = 16, SUBFILE_COUNT = 24,
                               X_UNITS = 28, Y_UNITS = 29, Z_UNITS = 30, POSTING_DISPOSITION = 31,
                               DATE = 32, RESOLUTION_TEXT = 36, SOURCE_TEXT = 45, PEAK_POINT = 54,
                               SPARE = 56, COMMENT = 88, AXIS_LABELS = 218, LOG_OFFSET = 248,
                               MODIFIED_FLAGS = 252, PROCESSING_CODE = 256, CALIBRATION_LEVEL = 257,
                               SAMPLE_INJECTION = 258, CONCENTRATION_FACTOR = 260,
                               METHOD_FILE = 264, HEADER_TAIL = 312, SIZE = 512;

  std::uint8_t flags;
  std::uint8_t version;
  std::uint8_t experimentType;
  std::int8_t exponent;  // y = raw value * 2^(exponent - 32)
  std::int32_t pointCount;
  double firstX;
  double lastX;
  std::int32_t subfileCount;
  std::uint8_t xUnits;
  std::uint8_t yUnits;
  std::uint8_t zUnits;
  std::uint8_t postingDisposition;
  std::uint32_t date;
  char resolutionText[9];
  char sourceText[9];
  std::int16_t peakPoint;
  float spare[8];
  char comment[130];
  char axisLabels[30];
  std::uint32_t logOffset;
  std::uint32_t modifiedFlags;
  std::uint8_t processingCode;
  std::uint8_t calibrationLevel;
  std::int16_t sampleInjection;
  float concentrationFactor;
  char methodFile[48];
  unsigned char headerTail[200];
};

/// Where the y values start: right after the headers.
inline constexpr std::size_t OLD_DATA_OFFSET = SpcOldHeader::SIZE;
inline constexpr std::size_t NEW_DATA_OFFSET = SpcNewHeader::SIZE + SpcSubheader::SIZE;

namespace layout_check {

struct FieldSpan {
  std::size_t offset;
  std::size_t width;
};

/// True when the fields, in order, follow one another without gap or overlap and fill `size`.
constexpr bool tiles(std::initializer_list<FieldSpan> fields, std::size_t size) {
  std::size_t next = 0;
  for (const FieldSpan& field : fields) {
    if (field.offset != next) return false;
    next += field.width;
  }
  return next == size;
}

// Each field's width is the size of the member that receives it, so a member of the wrong type
// or length, or a wrong offset, stops the build.
using O = SpcOldHeader;
static_assert(tiles({{O::FLAGS, sizeof(O::flags)},
                     {O::VERSION, sizeof(O::version)},
                     {O::EXPONENT, sizeof(O::exponent)},
                     {O::POINT_COUNT, sizeof(O::pointCount)},
                     {O::FIRST_X, sizeof(O::firstX)},
                     {O::LAST_X, sizeof(O::lastX)},
                     {O::X_UNITS, sizeof(O::xUnits)},
                     {O::Y_UNITS, sizeof(O::yUnits)},
                     {O::YEAR, sizeof(O::year)},
                     {O::MONTH, sizeof(O::month)},
                     {O::DAY, sizeof(O::day)},
                     {O::HOUR, sizeof(O::hour)},
                     {O::MINUTE, sizeof(O::minute)},
                     {O::RESOLUTION_TEXT, sizeof(O::resolutionText)},
                     {O::PEAK_POINT, sizeof(O::peakPoint)},
                     {O::SCAN_COUNT, sizeof(O::scanCount)},
                     {O::SPARE, sizeof(O::spare)},
                     {O::COMMENT, sizeof(O::comment)},
                     {O::AXIS_LABELS, sizeof(O::axisLabels)},
                     {O::SUBHEADER, sizeof(O::subheader)}},
                    O::SIZE));

using N = SpcNewHeader;
static_assert(tiles({{N::FLAGS, sizeof(N::flags)},
                     {N::VERSION, sizeof(N::version)},
                     {N::EXPERIMENT_TYPE, sizeof(N::experimentType)},
                     {N::EXPONENT, sizeof(N::exponent)},
                     {N::POINT_COUNT, sizeof(N::pointCount)},
                     {N::FIRST_X, sizeof(N::firstX)},
                     {N::LAST_X, sizeof(N::lastX)},
                     {N::SUBFILE_COUNT, sizeof(N::subfileCount)},
                     {N::X_UNITS, sizeof(N::xUnits)},
                     {N::Y_UNITS, sizeof(N::yUnits)},
                     {N::Z_UNITS, sizeof(N::zUnits)},
                     {N::POSTING_DISPOSITION, sizeof(N::postingDisposition)},
                     {N::DATE, sizeof(N::date)},
                     {N::RESOLUTION_TEXT, sizeof(N::resolutionText)},
                     {N::SOURCE_TEXT, sizeof(N::sourceText)},
                     {N::PEAK_POINT, sizeof(N::peakPoint)},
                     {N::SPARE, sizeof(N::spare)},
                     {N::COMMENT, sizeof(N::comment)},
                     {N::AXIS_LABELS, sizeof(N::axisLabels)},
                     {N::LOG_OFFSET, sizeof(N::logOffset)},
                     {N::MODIFIED_FLAGS, sizeof(N::modifiedFlags)},
                     {N::PROCESSING_CODE, sizeof(N::processingCode)},
                     {N::CALIBRATION_LEVEL, sizeof(N::calibrationLevel)},
                     {N::SAMPLE_INJECTION, sizeof(N::sampleInjection)},
                     {N::CONCENTRATION_FACTOR, sizeof(N::concentrationFactor)},
                     {N::METHOD_FILE, sizeof(N::methodFile)},
                     {N::HEADER_TAIL, sizeof(N::headerTail)}},
                    N::SIZE));

}  // namespace layout_check

// Little-endian loads; floating-point values keep their bits (a signalling NaN stays one).
inline std::uint16_t loadU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t loadU32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
inline std::uint64_t loadU64(const unsigned char* p) {
  return std::uint64_t{loadU32(p)} | std::uint64_t{loadU32(p + 4)} << 32;
}
inline std::int16_t loadI16(const unsigned char* p) {
  return static_cast<std::int16_t>(loadU16(p));
}
inline std::int32_t loadI32(const unsigned char* p) {
  return static_cast<std::int32_t>(loadU32(p));
}
inline float loadF32(const unsigned char* p) {
  return std::bit_cast<float>(loadU32(p));
}
inline double loadF64(const unsigned char* p) {
  return std::bit_cast<double>(loadU64(p));
}

/// Decodes the first SpcOldHeader::SIZE bytes of an old-format file.
SpcOldHeader decodeOldHeader(const unsigned char* bytes);
/// Decodes the first SpcNewHeader::SIZE bytes of a new-format file.
SpcNewHeader decodeNewHeader(const unsigned char* bytes);
/// Decodes the SpcSubheader::SIZE bytes of a sub-header.
SpcSubheader decodeSubheader(const unsigned char* bytes);

}  // namespace conversion
