// Cost of the .prn line fields: a 100000-point x/y series rendered as F10.4, two blanks, E15.7
// under scale 1 and CR LF into memory, beside the C library's printf doing the same lines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "textio/real_field.h"

namespace {

constexpr int POINTS = 100000;
constexpr int LINE_LENGTH = 27;  // F10.4, 2X, E15.7, then CR LF
constexpr int LINE_BYTES = LINE_LENGTH + 2;

/// An evenly spaced x axis with a little noise and y values spread over five decades.
struct Series {
  std::vector<double> x;
  std::vector<double> y;

  Series() : x(POINTS), y(POINTS) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> noise(-1e-7, 1e-7);
    std::uniform_real_distribution<double> decades(-3.0, 2.0);
    for (int j = 0; j < POINTS; ++j) {
      x[j] = 400.0 + j * 0.5 + noise(random);
      double magnitude = std::pow(10.0, decades(random));
      y[j] = (random() % 8 == 0) ? -magnitude : magnitude;
    }
  }
};

const Series& series() {
  static const Series instance;
  return instance;
}

char lines[POINTS * LINE_BYTES + 64];

void setPointCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * POINTS);
  state.SetBytesProcessed(state.iterations() * POINTS * LINE_BYTES);
  // Seconds per field, shown with an SI prefix ("41n" is 41 ns).
  state.counters["per_field"] = benchmark::Counter(
      2.0 * POINTS, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_DecimalDigitsOnly(benchmark::State& state) {
  const Series& s = series();
  for (auto _ : state) {
    int sum = 0;
    for (int j = 0; j < POINTS; ++j) {
      sum += textio::toDecimalDigits(s.x[j]).length;
      sum += textio::toDecimalDigits(s.y[j]).length;
    }
    benchmark::DoNotOptimize(sum);
  }
  setPointCounters(state);
}
BENCHMARK(BM_DecimalDigitsOnly)->Unit(benchmark::kMillisecond);

void BM_PrnLinesFieldRenderers(benchmark::State& state) {
  const Series& s = series();
  for (auto _ : state) {
    char* out = lines;
    for (int j = 0; j < POINTS; ++j) {
      textio::renderFixed(out, s.x[j], 10, 4, 0);
      out[10] = ' ';
      out[11] = ' ';
      textio::renderExponent(out + 12, s.y[j], 15, 7, 2, 1);
      out[27] = '\r';
      out[28] = '\n';
      out += LINE_BYTES;
    }
    benchmark::DoNotOptimize(lines);
    benchmark::ClobberMemory();
  }
  setPointCounters(state);
}
BENCHMARK(BM_PrnLinesFieldRenderers)->Unit(benchmark::kMillisecond);

void BM_PrnLinesSnprintf(benchmark::State& state) {
  const Series& s = series();
  for (auto _ : state) {
    char* out = lines;
    for (int j = 0; j < POINTS; ++j) {
      out += std::snprintf(out, LINE_BYTES + 1, "%10.4f  %15.7E\r\n", s.x[j], s.y[j]);
    }
    benchmark::DoNotOptimize(lines);
    benchmark::ClobberMemory();
  }
  setPointCounters(state);
}
BENCHMARK(BM_PrnLinesSnprintf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
