// Decoding of the spectrum file headers: each field from its own offset, least significant byte
// first, whatever the host's byte order or structure padding.
#include "conversion/spc_layout.h"

#include <cstring>

namespace conversion {

namespace {

template <std::size_t N>
void copyText(char (&field)[N], const unsigned char* bytes) {
  std::memcpy(field, bytes, N);
}

template <std::size_t N>
void loadSingles(float (&field)[N], const unsigned char* bytes) {
  for (std::size_t k = 0; k < N; ++k) field[k] = loadF32(bytes + 4 * k);
}

}  // namespace

SpcSubheader decodeSubheader(const unsigned char* bytes) {
  SpcSubheader subheader;
  std::memcpy(subheader.bytes, bytes, SpcSubheader::SIZE);
  return subheader;
}

SpcOldHeader decodeOldHeader(const unsigned char* bytes) {
  using O = SpcOldHeader;
  O header;
  header.flags = bytes[O::FLAGS];
  header.version = bytes[O::VERSION];
  header.exponent = loadI16(bytes + O::EXPONENT);
  header.pointCount = loadF32(bytes + O::POINT_COUNT);
  header.firstX = loadF32(bytes + O::FIRST_X);
  header.lastX = loadF32(bytes + O::LAST_X);
  header.xUnits = bytes[O::X_UNITS];
  header.yUnits = bytes[O::Y_UNITS];
  header.year = loadI16(bytes + O::YEAR);
  header.month = bytes[O::MONTH];
  header.day = bytes[O::DAY];
  header.hour = bytes[O::HOUR];
  header.minute = bytes[O::MINUTE];
  copyText(header.resolutionText, bytes + O::RESOLUTION_TEXT);
  header.peakPoint = loadI16(bytes + O::PEAK_POINT);
  header.scanCount = loadI16(bytes + O::SCAN_COUNT);
  loadSingles(header.spare, bytes + O::SPARE);
  copyText(header.comment, bytes + O::COMMENT);
  copyText(header.axisLabels, bytes + O::AXIS_LABELS);
  header.subheader = decodeSubheader(bytes + O::SUBHEADER);
  return header;
}

SpcNewHeader decodeNewHeader(const unsigned char* bytes) {
  using N = SpcNewHeader;
  N header;
  header.flags = bytes[N::FLAGS];
  header.version = bytes[N::VERSION];
  header.experimentType = bytes[N::EXPERIMENT_TYPE];
  header.exponent = static_cast<std::int8_t>(bytes[N::EXPONENT]);
  header.pointCount = loadI32(bytes + N::POINT_COUNT);
  header.firstX = loadF64(bytes + N::FIRST_X);
  header.lastX = loadF64(bytes + N::LAST_X);
  header.subfileCount = loadI32(bytes + N::SUBFILE_COUNT);
  header.xUnits = bytes[N::X_UNITS];
  header.yUnits = bytes[N::Y_UNITS];
  header.zUnits = bytes[N::Z_UNITS];
  header.postingDisposition = bytes[N::POSTING_DISPOSITION];
  header.date = loadU32(bytes + N::DATE);
  copyText(header.resolutionText, bytes + N::RESOLUTION_TEXT);
  copyText(header.sourceText, bytes + N::SOURCE_TEXT);
  header.peakPoint = loadI16(bytes + N::PEAK_POINT);
  loadSingles(header.spare, bytes + N::SPARE);
  copyText(header.comment, bytes + N::COMMENT);
  copyText(header.axisLabels, bytes + N::AXIS_LABELS);
  header.logOffset = loadU32(bytes + N::LOG_OFFSET);
  header.modifiedFlags = loadU32(bytes + N::MODIFIED_FLAGS);
  header.processingCode = bytes[N::PROCESSING_CODE];
  header.calibrationLevel = bytes[N::CALIBRATION_LEVEL];
  header.sampleInjection = loadI16(bytes + N::SAMPLE_INJECTION);
  header.concentrationFactor = loadF32(bytes + N::CONCENTRATION_FACTOR);
  copyText(header.methodFile, bytes + N::METHOD_FILE);
  std::memcpy(header.headerTail, bytes + N::HEADER_TAIL, sizeof header.headerTail);
  return header;
}

}  // namespace conversion
