// Speed of the .prn write statement over a realistic 100000-point spectrum, into a reused memory
// buffer, next to snprintf("%10.4f  %15.7E\r\n") on the same values as the yardstick.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "textio/formatted_write.h"

namespace {

constexpr std::int32_t POINTS = 100000;

struct Series {
  std::vector<double> x, y;
};

// An infrared-like spectrum: x from 4000 down to 400 in even steps, computed the way the
// converter computes them; y a few absorption bands on a sloping base with a little noise.
const Series& series() {
  static Series s = [] {
    Series made;
    made.x.resize(POINTS);
    made.y.resize(POINTS);
    double first = 4000.0, last = 400.0;
    double step = (last - first) / (POINTS - 1);
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < POINTS; ++i) {
      double x = first + i * step;
      noise = noise * 1664525u + 1013904223u;
      double band = 0.8 * std::exp(-std::pow((x - 1700.0) / 30.0, 2)) +
                    0.4 * std::exp(-std::pow((x - 2900.0) / 60.0, 2)) +
                    1.2 * std::exp(-std::pow((x - 1100.0) / 80.0, 2));
      made.x[i] = x;
      made.y[i] =
          0.02 + x * 1e-5 + band + (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 1e-3;
    }
    return made;
  }();
  return s;
}

struct MemoryFile {
  std::vector<char> bytes;
  std::size_t fill = 0;
};

void toMemory(void* context, std::string_view text) {
  MemoryFile& file = *static_cast<MemoryFile*>(context);
  std::memcpy(file.bytes.data() + file.fill, text.data(), text.size());
  file.fill += text.size();
  file.bytes[file.fill++] = '\r';
  file.bytes[file.fill++] = '\n';
}

void BM_PrnStatement(benchmark::State& state) {
  const Series& s = series();
  MemoryFile file;
  file.bytes.resize(static_cast<std::size_t>(POINTS) * 64);
  for (auto _ : state) {
    file.fill = 0;
    textio::formattedWritePairsTo({toMemory, &file}, "(0P,F10.4,2X,1P,E15.7)", s.x.data(),
                                  s.y.data(), POINTS);
    benchmark::DoNotOptimize(file.bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * POINTS);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.fill));
}
BENCHMARK(BM_PrnStatement)->Unit(benchmark::kMillisecond);

void BM_Snprintf(benchmark::State& state) {
  const Series& s = series();
  MemoryFile file;
  file.bytes.resize(static_cast<std::size_t>(POINTS) * 64);
  for (auto _ : state) {
    file.fill = 0;
    for (std::int32_t i = 0; i < POINTS; ++i) {
      int n =
          std::snprintf(file.bytes.data() + file.fill, 64, "%10.4f  %15.7E\r\n", s.x[i], s.y[i]);
      file.fill += static_cast<std::size_t>(n);
    }
    benchmark::DoNotOptimize(file.bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * POINTS);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.fill));
}
BENCHMARK(BM_Snprintf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
