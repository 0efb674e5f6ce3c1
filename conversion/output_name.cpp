// Deriving each output file's name from its input path and the output folder.
// The base name lies strictly between the last "\" and the last "." of the 50-character path.
#include "conversion/output_name.h"

#include <cstring>

namespace conversion {

namespace {
bool isEmpty(char c) {
  return c == ' ' || c == '\0';
}
}  // namespace

void SQUEEZE(char* TEXT, int L) {
  if (L <= 0) return;
  int LAST = L;
  while (LAST >= 1 && isEmpty(TEXT[LAST - 1])) --LAST;
  if (LAST == 0) return;
  // Keep the non-empty characters of 1..LAST in order, then blanks up to LAST.
  int kept = 0;
  for (int P = 1; P <= LAST; ++P)
    if (!isEmpty(TEXT[P - 1])) TEXT[kept++] = TEXT[P - 1];
  std::memset(TEXT + kept, ' ', static_cast<std::size_t>(LAST - kept));
}

Path OUTPUT_NAME(const Path& INFILE, const Path& OUTDIR) {
  int IDOT = 0, ISLASH = 0;
  for (int position = 50; position >= 1; --position) {
    char c = INFILE.at(position);
    if (c == '.' && IDOT == 0) IDOT = position;
    if (c == '\\' && ISLASH == 0) ISLASH = position;
  }
  Path BASE;
  if (IDOT - 1 >= ISLASH + 1) BASE.assign(INFILE.substring(ISLASH + 1, IDOT - 1));

  textio::FixedText<105> FULLNAME;
  std::memcpy(FULLNAME.chars, OUTDIR.chars, 50);
  FULLNAME.chars[50] = '\\';
  std::memcpy(FULLNAME.chars + 51, BASE.chars, 50);
  std::memcpy(FULLNAME.chars + 101, ".prn", 4);
  SQUEEZE(FULLNAME.chars, 105);

  Path OUTNAME;
  OUTNAME.assign(FULLNAME.substring(1, 50));
  return OUTNAME;
}

}  // namespace conversion
