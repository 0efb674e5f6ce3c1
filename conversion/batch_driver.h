// The batch driver: reads convert.dat and converts every listed spectrum file to a .prn file.
#pragma once

namespace conversion {

/// Runs the whole batch; ends the run itself (the stop, or a run-time error report).
[[noreturn]] void convert();

/// Puts the control file and the point arrays back as a fresh process has them, so an
/// in-process test can run `convert` again (a null count keeps the count it finds).
void resetDriverForTesting();

}  // namespace conversion
