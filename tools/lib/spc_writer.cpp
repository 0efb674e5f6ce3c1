// Encodes spectrum files byte by byte. The offsets are written out here on their own, apart from
// the converter's decoder, so that files made here check the decoder rather than mirror it.
#include "tools/lib/spc_writer.h"

#include <bit>
#include <cmath>
#include <fstream>
#include <numbers>

namespace spctools {

namespace {

constexpr std::size_t OLD_HEADER_SIZE = 256;
constexpr std::size_t NEW_HEADER_SIZE = 512;
constexpr std::size_t SUBHEADER_SIZE = 32;

void putLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value,
                     std::size_t width) {
  for (std::size_t k = 0; k < width; ++k)
    bytes[offset + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

void putSingle(std::string& bytes, std::size_t offset, float value) {
  putLittleEndian(bytes, offset, std::bit_cast<std::uint32_t>(value), 4);
}

void putDouble(std::string& bytes, std::size_t offset, double value) {
  putLittleEndian(bytes, offset, std::bit_cast<std::uint64_t>(value), 8);
}

void putText(std::string& bytes, std::size_t offset, std::size_t width, const std::string& text) {
  bytes.replace(offset, std::min(width, text.size()), text, 0, width);
}

/// A whole number in its two's-complement bits (the caller keeps the low bytes it needs);
/// anything beyond the 64-bit range is written as zero.
std::uint64_t integerBits(double value) {
  if (!(value > -0x1p63 && value < 0x1p63)) return 0;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
}

std::string oldHeader(const SpcFileSpec& spec, std::size_t valueCount) {
  std::string bytes(OLD_HEADER_SIZE, '\0');
  bytes[0] = static_cast<char>(spec.flags);
  bytes[1] = static_cast<char>(spec.version.value_or(0x4D));
  putLittleEndian(bytes, 2, static_cast<std::uint32_t>(spec.exponent), 2);
  putSingle(bytes, 4, static_cast<float>(spec.pointCount.value_or(double(valueCount))));
  putSingle(bytes, 8, static_cast<float>(spec.firstX));
  putSingle(bytes, 12, static_cast<float>(spec.lastX));
  putText(bytes, 24, 8, "1.0 CM-1");
  for (std::size_t k = 0; k < spec.spare.size() && k < 7; ++k)
    putSingle(bytes, 36 + 4 * k, spec.spare[k]);
  putText(bytes, 64, 130, "old-format test spectrum");
  putText(bytes, 194, 30, "X units Y units");
  return bytes;
}

std::string newHeader(const SpcFileSpec& spec, std::size_t valueCount) {
  std::string bytes(NEW_HEADER_SIZE + SUBHEADER_SIZE, '\0');
  bytes[0] = static_cast<char>(spec.flags);
  bytes[1] = static_cast<char>(spec.version.value_or(0x4B));
  putLittleEndian(bytes, 3, static_cast<std::uint32_t>(spec.exponent), 1);
  putLittleEndian(bytes, 4, integerBits(spec.pointCount.value_or(double(valueCount))), 4);
  putDouble(bytes, 8, spec.firstX);
  putDouble(bytes, 16, spec.lastX);
  putLittleEndian(bytes, 24, 1, 4);  // one trace
  putText(bytes, 36, 9, "1.0 CM-1");
  putText(bytes, 45, 9, "bench");
  for (std::size_t k = 0; k < spec.spare.size() && k < 8; ++k)
    putSingle(bytes, 56 + 4 * k, spec.spare[k]);
  putText(bytes, 88, 130, "new-format test spectrum");
  putText(bytes, 218, 30, "X units Y units");
  putText(bytes, 264, 48, "method.mth");
  // The trace's own header carries an exponent byte of its own, which readers must ignore.
  bytes[NEW_HEADER_SIZE + 1] = 0x7F;
  return bytes;
}

ValueWidth resolvedWidth(const SpcFileSpec& spec) {
  if (spec.width != ValueWidth::FROM_FLAGS) return spec.width;
  return (spec.flags & 0x01) ? ValueWidth::INT16 : ValueWidth::INT32;
}

void appendValue(std::string& bytes, SpcFormat format, ValueWidth width, double value) {
  std::size_t at = bytes.size();
  if (width == ValueWidth::INT16) {
    bytes.resize(at + 2);
    putLittleEndian(bytes, at, integerBits(value), 2);
    return;
  }
  bytes.resize(at + 4);
  if (width == ValueWidth::SINGLE) {
    putSingle(bytes, at, static_cast<float>(value));
    return;
  }
  auto bits = static_cast<std::uint32_t>(integerBits(value));
  if (format == SpcFormat::OLD) bits = std::rotl(bits, 16);
  putLittleEndian(bytes, at, bits, 4);
}

}  // namespace

std::size_t dataOffset(SpcFormat format) {
  return format == SpcFormat::OLD ? OLD_HEADER_SIZE : NEW_HEADER_SIZE + SUBHEADER_SIZE;
}

std::string encodeSpcFile(const SpcFileSpec& spec) {
  std::size_t count = spec.values.size();
  std::string bytes =
      spec.format == SpcFormat::OLD ? oldHeader(spec, count) : newHeader(spec, count);
  ValueWidth width = resolvedWidth(spec);
  bytes.reserve(bytes.size() + 4 * count + spec.trailingBytes);
  for (double value : spec.values) appendValue(bytes, spec.format, width, value);
  static constexpr char LOG_TEXT[] = "LOG: acquired by test rig\r\n";
  for (std::size_t k = 0; k < spec.trailingBytes; ++k)
    bytes.push_back(LOG_TEXT[k % (sizeof LOG_TEXT - 1)]);
  if (spec.truncateAt && *spec.truncateAt < bytes.size()) bytes.resize(*spec.truncateAt);
  return bytes;
}

bool writeSpcFile(const std::string& path, const SpcFileSpec& spec) {
  std::string bytes = encodeSpcFile(spec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

std::vector<double> rampValues(std::size_t count, double start, double step) {
  std::vector<double> values(count);
  for (std::size_t k = 0; k < count; ++k) values[k] = start + step * static_cast<double>(k);
  return values;
}

std::vector<double> sineValues(std::size_t count, double amplitude, double periods) {
  std::vector<double> values(count);
  for (std::size_t k = 0; k < count; ++k)
    values[k] =
        std::round(amplitude * std::sin(2.0 * std::numbers::pi * periods * static_cast<double>(k) /
                                        static_cast<double>(count)));
  return values;
}

}  // namespace spctools
