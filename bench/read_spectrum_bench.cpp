// Speed of READSC over a 100000-point spectrum file on the real file system, written once to a
// temporary folder: the whole window kept, in both header generations.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "conversion/point_buffer.h"
#include "conversion/read_spectrum.h"
#include "tools/lib/spc_writer.h"

namespace {

conversion::PointBuffer points;

class SpectrumFiles {
 public:
  SpectrumFiles() {
    folder_ = std::filesystem::temp_directory_path() /
              ("read_spectrum_bench_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    for (spctools::SpcFormat format : {spctools::SpcFormat::NEW, spctools::SpcFormat::OLD}) {
      spctools::SpcFileSpec spec;
      spec.format = format;
      spec.exponent = 16;
      spec.firstX = 4000.0;
      spec.lastX = 400.0;
      spec.values = spctools::sineValues(conversion::MAX_POINTS, 1e9, 7.0);
      spec.trailingBytes = 512;
      std::string name = (folder_ / (format == spctools::SpcFormat::NEW ? "new.spc" : "old.spc"));
      spctools::writeSpcFile(name, spec);
    }
  }
  ~SpectrumFiles() { std::filesystem::remove_all(folder_); }
  std::string path(const char* name) const { return (folder_ / name).string(); }

 private:
  std::filesystem::path folder_;
};

const SpectrumFiles& files() {
  static SpectrumFiles made;
  return made;
}

void readWholeFile(benchmark::State& state, const char* name) {
  std::string path = files().path(name);
  double DX, SPARE1, SPARE2;
  for (auto _ : state) {
    conversion::READSC(path, 0.0, 5000.0, conversion::MAX_POINTS, points.X, points.Y, DX,
                       points.NPTS, SPARE1, SPARE2);
    benchmark::DoNotOptimize(points.NPTS);
  }
  // The last sample may round just outside the file's own range; every other one is kept.
  if (points.NPTS < conversion::MAX_POINTS - 1) state.SkipWithError("points were lost");
  state.SetItemsProcessed(state.iterations() * points.NPTS);
}

void BM_ReadscNewFormat(benchmark::State& state) {
  readWholeFile(state, "new.spc");
}
void BM_ReadscOldFormat(benchmark::State& state) {
  readWholeFile(state, "old.spc");
}

BENCHMARK(BM_ReadscNewFormat)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadscOldFormat)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
