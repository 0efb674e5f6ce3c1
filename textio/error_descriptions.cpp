// The one-line descriptions of the I/O error numbers, as shown after "- " in a report.
// One fixed line per number, stating the condition plainly.
#include <string_view>

#include "textio/termination.h"

namespace textio {
namespace {

struct Description {
  int number;
  std::string_view text;
};

constexpr Description DESCRIPTIONS[] = {
    {6100, "integer value out of range"},
    {6101, "invalid character in integer"},
    {6102, "real value out of range"},
    {6103, "invalid number in real field"},
    {6302, "more than one # in integer"},
    {6303, "radix base out of range"},
    {6412, "file name or access not valid"},
    {6414, "access denied to file"},
    {6415, "file already exists"},
    {6416, "file not found"},
    {6417, "too many open files"},
    {6421, "write refused: no access to file"},
    {6422, "write failed: disk full"},
    {6500, "file read error"},
    {6501, "end of file encountered"},
    {6502, "repeat count of zero"},
    {6503, "repeat count while another is pending"},
    {6504, "quoted or parenthesised value where an integer was expected"},
};

}  // namespace

std::string_view ioErrorDescription(int number) {
  for (const Description& description : DESCRIPTIONS)
    if (description.number == number) return description.text;
  return {};
}

}  // namespace textio
