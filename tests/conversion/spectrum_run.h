// Runs READSC in process on a spectrum file held by the in-memory machine and collects what it
// returned, what it wrote to the console and how the run ended.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "conversion/point_buffer.h"
#include "conversion/read_spectrum.h"
#include "support/fake_platform.h"
#include "textio/fixed_text.h"
#include "tools/lib/spc_writer.h"

namespace spectrumtest {

/// What no sample can be: shows an element READSC did not write.
inline constexpr double UNTOUCHED = -123456.75;

struct SpectrumRun {
  testsupport::RunOutcome outcome;
  std::int32_t NPTS = -1;
  double DX = UNTOUCHED, SPARE1 = UNTOUCHED, SPARE2 = UNTOUCHED;
  std::vector<double> X, Y;  // elements 1 .. NPTS
  double nextX = UNTOUCHED;  // element NPTS + 1 (or NMAX + 1 after a refusal)
  std::string out, err;
  int readCalls = 0;
};

inline SpectrumRun runReadsc(const std::string& bytes, double X1, double X2,
                             std::int32_t NMAX = conversion::MAX_POINTS,
                             const std::string& input = "") {
  static conversion::PointBuffer points;
  std::fill(std::begin(points.X), std::end(points.X), UNTOUCHED);
  std::fill(std::begin(points.Y), std::end(points.Y), UNTOUCHED);
  points.NPTS = -1;

  testsupport::FakeMachine machine;
  machine.files["spec.spc"] = {bytes};
  machine.standardInput = input;
  SpectrumRun run;
  {
    testsupport::FakePlatform fake(machine);
    textio::FixedText<50> name("spec.spc");
    run.outcome = testsupport::runUntilEnd([&] {
      conversion::READSC(name.view(), X1, X2, NMAX, points.X, points.Y, run.DX, points.NPTS,
                         run.SPARE1, run.SPARE2);
    });
  }
  run.NPTS = points.NPTS;
  std::int32_t kept = std::clamp(points.NPTS, 0, NMAX);
  run.X.assign(points.X, points.X + kept);
  run.Y.assign(points.Y, points.Y + kept);
  std::int32_t next = run.outcome.ended ? std::min(NMAX, conversion::MAX_POINTS - 1) : kept;
  if (next >= 0 && next < conversion::MAX_POINTS) run.nextX = points.X[next];
  run.out = machine.standardOutput;
  run.err = machine.standardError;
  run.readCalls = machine.readCalls;
  return run;
}

inline SpectrumRun runReadsc(const spctools::SpcFileSpec& spec, double X1, double X2,
                             std::int32_t NMAX = conversion::MAX_POINTS,
                             const std::string& input = "") {
  return runReadsc(spctools::encodeSpcFile(spec), X1, X2, NMAX, input);
}

}  // namespace spectrumtest
