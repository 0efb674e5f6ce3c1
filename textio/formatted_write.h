// The write statement: a layout string and an ordered list of values become records, each
// handed to a channel (or, for tests and benchmarks, to any record sink).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "textio/channels.h"
#include "textio/layout.h"

namespace textio {

/// One value of a write statement: a double for F and E fields, an integer for I fields, a
/// fixed-length text (all its characters, trailing blanks included) for A fields.
struct WriteValue {
  enum class Kind { REAL, INTEGER, TEXT } kind;
  double real;
  std::int32_t integer;
  std::string_view text;

  WriteValue(double v) : kind(Kind::REAL), real(v), integer(0) {}
  WriteValue(std::int32_t v) : kind(Kind::INTEGER), real(0), integer(v) {}
  WriteValue(std::string_view t) : kind(Kind::TEXT), real(0), integer(0), text(t) {}
};

/// Writes the values under `layout` to `unit` (CONSOLE_UNIT for the console), handing every
/// ended record to `writeRecord`; always ends at least one record.
void formattedWrite(UnitNumber unit, std::string_view layout,
                    std::initializer_list<WriteValue> values);

/// The values first[0], second[0], first[1], second[1], ... (count pairs): the .prn statement.
void formattedWritePairs(UnitNumber unit, std::string_view layout, const double* first,
                         const double* second, std::int32_t count);

/// `formattedWrite` with the records handed to `sink` instead of a channel.
void formattedWriteTo(RecordSink sink, std::string_view layout, const WriteValue* values,
                      std::size_t count);

/// `formattedWritePairs` with the records handed to `sink` instead of a channel.
void formattedWritePairsTo(RecordSink sink, std::string_view layout, const double* first,
                           const double* second, std::int32_t count);

}  // namespace textio
