// READSC: reads one spectrum file and keeps the evenly spaced samples whose x lies inside a
// requested window, refusing the kinds of file the converter does not handle.
#pragma once

#include <cstdint>
#include <string_view>

namespace conversion {

/// Reads the spectrum file NAME (blank-padded) on channel 10 and stores, in file order, the
/// samples whose x lies between X1 and X2 (either order, each rounded to single precision
/// first): x in X, scaled y in Y, their count in NPTS; element 1 is index 0. Sets DX (the
/// file's x step) and SPARE1, SPARE2 (the header's first two spare values). Never stores more
/// than NMAX samples. Returns only after a successful read, with the channel closed; every
/// refusal (message and stop) and every failure (report) ends the run.
void READSC(std::string_view NAME, double X1, double X2, std::int32_t NMAX, double* X, double* Y,
            double& DX, std::int32_t& NPTS, double& SPARE1, double& SPARE2);

}  // namespace conversion
