// The batch driver: reads convert.dat and converts every listed spectrum file to a .prn file.
#pragma once

namespace conversion {

/// Runs the whole batch; ends the run itself (the stop, or a run-time error report).
[[noreturn]] void convert();

}  // namespace conversion
