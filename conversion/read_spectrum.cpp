// Extraction of the samples of one spectrum file: header checks, the x axis in the precision of
// each format, the window and capacity checks, and the sample loop. Every failure ends the run.
#include "conversion/read_spectrum.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "conversion/spc_layout.h"
#include "textio/binary_read.h"
#include "textio/channels.h"
#include "textio/checked_math.h"
#include "textio/formatted_write.h"
#include "textio/termination.h"

namespace conversion {

namespace {

using textio::checkedAdd;
using textio::checkedDivide;
using textio::checkedLessEqual;
using textio::checkedMax;
using textio::checkedMin;
using textio::checkedMultiply;
using textio::checkedNarrow;
using textio::checkedPowerOfTwo;
using textio::checkedSubtract;
using textio::checkedTruncate;
using textio::checkedWiden;

constexpr textio::UnitNumber SPECTRUM_UNIT = 10;

constexpr std::string_view UNSUPPORTED_FLAGS_LAYOUT = "(' This file format is not supported')";
constexpr std::string_view MSB_FIRST_LAYOUT =
    "(' new format(GRAMS) with MSB first',/,"
    "' this format is not presently supported in this program',/,"
    "' execution is terminating')";
constexpr std::string_view CAPACITY_LAYOUT =
    "(/,/,' Error in READSC --- Data requested exceeds array size',/,"
    "' Array size = ',I8,/,' Required size = ',I8)";

/// In the new format, this exponent byte on 32-bit values marks y values stored as singles.
constexpr std::int8_t SINGLE_VALUES_EXPONENT = -128;

enum class ValueEncoding {
  INT16,                 // 2 bytes, sign-extended
  INT32,                 // 4 bytes, least significant first
  INT32_SWAPPED_HALVES,  // the old format stores the more significant 16-bit half first
  SINGLE,                // an IEEE single, taken as it is
};

/// What the sample loop needs of the header, in the precisions it works in.
struct Trace {
  ValueEncoding encoding;
  bool singleX;   // old format: each x is rounded to single precision
  double firstX;  // old format: the single value, widened
  double step;    // old format: the single-precision step, widened; new format: DX
  float SCALE;
  float FLO, FHI;
};

[[noreturn]] void refuseCapacity(std::int32_t NMAX, std::int64_t NREQ) {
  // A count beyond the 32-bit range shows as asterisks in the I8 field, as the largest one does.
  auto shown = static_cast<std::int32_t>(std::min<std::int64_t>(NREQ, INT32_MAX));
  textio::formattedWrite(textio::CONSOLE_UNIT, CAPACITY_LAYOUT, {NMAX, shown});
  textio::stopRun("Program Terminated");
}

Trace readOldHeader(textio::Channel& channel, unsigned char* bytes, double& DX, double& SPARE1,
                    double& SPARE2) {
  textio::binaryRead(channel, false, {{bytes + 2, SpcOldHeader::SIZE - 2}});
  const SpcOldHeader header = decodeOldHeader(bytes);
  // The spares are handed on, never computed with: whatever they hold ends no run.
  SPARE1 = static_cast<double>(header.spare[0]);
  SPARE2 = static_cast<double>(header.spare[1]);

  Trace trace;
  trace.SCALE = checkedNarrow(checkedPowerOfTwo(header.exponent - 32));
  const double firstX = checkedWiden(header.firstX);
  const double lastX = checkedWiden(header.lastX);
  const double intervals = checkedSubtract(checkedWiden(header.pointCount), 1.0);
  DX = checkedDivide(checkedSubtract(lastX, firstX), intervals);
  trace.step = checkedNarrow(DX);
  trace.firstX = firstX;
  trace.singleX = true;
  trace.FLO = checkedNarrow(checkedMin(firstX, lastX));
  trace.FHI = checkedNarrow(checkedMax(firstX, lastX));
  trace.encoding =
      (header.flags & FLAG_Y16) ? ValueEncoding::INT16 : ValueEncoding::INT32_SWAPPED_HALVES;
  return trace;
}

Trace readNewHeader(textio::Channel& channel, unsigned char* bytes, double& DX, double& SPARE1,
                    double& SPARE2) {
  textio::binaryRead(
      channel, false,
      {{bytes + 2, SpcNewHeader::SIZE - 2}, {bytes + SpcNewHeader::SIZE, SpcSubheader::SIZE}});
  const SpcNewHeader header = decodeNewHeader(bytes);
  // The spares are handed on, never computed with: whatever they hold ends no run.
  SPARE1 = static_cast<double>(header.spare[0]);
  SPARE2 = static_cast<double>(header.spare[1]);

  Trace trace;
  trace.SCALE = checkedNarrow(checkedPowerOfTwo(header.exponent - 32));
  // The count less one is formed in 32-bit integer arithmetic, which wraps.
  const auto intervals =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(header.pointCount) - 1u);
  DX = checkedDivide(checkedSubtract(header.lastX, header.firstX), intervals);
  trace.step = DX;
  trace.firstX = header.firstX;
  trace.singleX = false;
  trace.FLO = checkedNarrow(checkedMin(header.firstX, header.lastX));
  trace.FHI = checkedNarrow(checkedMax(header.firstX, header.lastX));
  if (header.flags & FLAG_Y16)
    trace.encoding = ValueEncoding::INT16;
  else if (header.exponent == SINGLE_VALUES_EXPONENT)
    trace.encoding = ValueEncoding::SINGLE;
  else
    trace.encoding = ValueEncoding::INT32;
  return trace;
}

/// Reads the next y value into `raw` (integers) or `single`; false at the end of the file.
inline bool readValue(textio::Channel& channel, ValueEncoding encoding, std::int32_t& raw,
                      float& single) {
  unsigned char bytes[4];
  if (encoding == ValueEncoding::INT16) {
    if (textio::binaryReadItem(channel, true, bytes, 2) == textio::ReadOutcome::END_OF_FILE)
      return false;
    raw = loadI16(bytes);
    return true;
  }
  if (textio::binaryReadItem(channel, true, bytes, 4) == textio::ReadOutcome::END_OF_FILE)
    return false;
  switch (encoding) {
    case ValueEncoding::INT32_SWAPPED_HALVES:
      raw = static_cast<std::int32_t>(std::rotl(loadU32(bytes), 16));
      break;
    case ValueEncoding::SINGLE:
      single = loadF32(bytes);
      break;
    default:
      raw = loadI32(bytes);
      break;
  }
  return true;
}

}  // namespace

void READSC(std::string_view NAME, double X1, double X2, std::int32_t NMAX, double* X, double* Y,
            double& DX, std::int32_t& NPTS, double& SPARE1, double& SPARE2) {
  // Only the rounded bounds are used from here on.
  const float XR1 = checkedNarrow(X1);
  const float XR2 = checkedNarrow(X2);

  textio::openChannel(SPECTRUM_UNIT, NAME, "OLD", "binary");
  textio::Channel& channel = textio::channelOf(SPECTRUM_UNIT);

  unsigned char header[NEW_DATA_OFFSET];
  textio::binaryRead(channel, false, {{&header[0], 1}, {&header[1], 1}});
  const std::uint8_t flags = header[0];
  const std::uint8_t version = header[1];
  if (flags & UNSUPPORTED_FLAGS) {
    textio::formattedWrite(textio::CONSOLE_UNIT, UNSUPPORTED_FLAGS_LAYOUT, {});
    textio::pauseRun();
    textio::stopRun("Program terminating");
  }
  if (version == VERSION_NEW_MSB) {
    textio::formattedWrite(textio::CONSOLE_UNIT, MSB_FIRST_LAYOUT, {});
    textio::stopRun("Hu-Oh &#&$!#^*");
  }
  const Trace trace = version == VERSION_OLD ? readOldHeader(channel, header, DX, SPARE1, SPARE2)
                                             : readNewHeader(channel, header, DX, SPARE1, SPARE2);

  const float XLO = static_cast<float>(checkedMin(XR1, XR2));
  const float XHI = static_cast<float>(checkedMax(XR1, XR2));
  const auto WLO = static_cast<float>(checkedMax(XLO, trace.FLO));
  const auto WHI = static_cast<float>(checkedMin(XHI, trace.FHI));

  const double quotient =
      checkedDivide(std::fabs(checkedSubtract(WHI, WLO)), std::fabs(trace.step));
  const std::int64_t NREQ = std::int64_t{checkedTruncate(quotient)} + 1;
  if (NMAX < NREQ) refuseCapacity(NMAX, NREQ);

  NPTS = 0;
  std::int32_t raw = 0;
  float single = 0.0f;
  for (std::int64_t i = 1;; ++i) {
    double x = checkedAdd(checkedMultiply(static_cast<double>(i - 1), trace.step), trace.firstX);
    if (trace.singleX) x = checkedNarrow(x);
    if (!readValue(channel, trace.encoding, raw, single)) break;
    if (checkedLessEqual(WLO, x) && checkedLessEqual(x, WHI)) {
      // Rounding of the x values can let one sample more into the window than NREQ counted.
      if (NPTS == NMAX) refuseCapacity(NMAX, std::int64_t{NMAX} + 1);
      X[NPTS] = x;
      // The product is exact (SCALE is a power of two or zero); only the narrowing rounds.
      Y[NPTS] = trace.encoding == ValueEncoding::SINGLE
                    ? static_cast<double>(single)
                    : static_cast<double>(checkedNarrow(static_cast<double>(raw) * trace.SCALE));
      ++NPTS;
    } else if (NPTS > 0) {
      break;
    }
  }
  textio::closeChannel(SPECTRUM_UNIT);
}

}  // namespace conversion
