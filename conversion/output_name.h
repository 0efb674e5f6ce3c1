// Output names: the output folder, a backslash, the input's base name and ".prn", blanks
// squeezed out and cut to 50 characters.
#pragma once

#include "textio/fixed_text.h"

namespace conversion {

using Path = textio::FixedText<50>;

/// Removes blanks and NUL characters in place from positions 1 to the last non-empty one,
/// shifting the rest left and filling with blanks; positions after that are not touched.
void SQUEEZE(char* TEXT, int L);

/// The .prn name for INFILE in OUTDIR. Only "\" separates folders.
Path OUTPUT_NAME(const Path& INFILE, const Path& OUTDIR);

}  // namespace conversion
