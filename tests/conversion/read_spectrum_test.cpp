// READSC on files made by the spectrum writer: the samples kept for each kind of window, x and y
// to the last bit in the precision of each format, and the end of the data.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "spectrum_run.h"

namespace {

using spctools::SpcFileSpec;
using spctools::SpcFormat;
using spctools::ValueWidth;
using spectrumtest::runReadsc;
using spectrumtest::SpectrumRun;
using spectrumtest::UNTOUCHED;
using testsupport::visible;

std::uint64_t bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

void expectSamples(const SpectrumRun& run, const std::vector<double>& X,
                   const std::vector<double>& Y, const char* what) {
  ASSERT_FALSE(run.outcome.ended) << what << visible(run.out) << visible(run.err);
  ASSERT_EQ(run.NPTS, static_cast<std::int32_t>(X.size())) << what;
  for (std::size_t k = 0; k < X.size(); ++k) {
    EXPECT_EQ(bits(run.X[k]), bits(X[k])) << what << " x " << k << ": " << run.X[k];
    EXPECT_EQ(bits(run.Y[k]), bits(Y[k])) << what << " y " << k << ": " << run.Y[k];
  }
  EXPECT_EQ(run.nextX, UNTOUCHED) << what;
  EXPECT_EQ(run.out, "") << what;
}

SpcFileSpec elevenPoints(SpcFormat format) {
  SpcFileSpec spec;
  spec.format = format;
  spec.exponent = 30;  // y = raw / 4
  spec.firstX = 0.0;
  spec.lastX = 10.0;
  spec.values = spctools::rampValues(11, 100.0, 1.0);
  spec.spare = {1.5f, -2.25f, 99.0f};
  return spec;
}

TEST(ReadSpectrum, WideWindowKeepsEverySampleAndTheLogBlockEndsTheLoop) {
  for (SpcFormat format : {SpcFormat::OLD, SpcFormat::NEW}) {
    for (std::size_t trailing : {0, 64}) {
      SpcFileSpec spec = elevenPoints(format);
      spec.trailingBytes = trailing;
      SpectrumRun run = runReadsc(spec, -5.0, 15.0);
      expectSamples(run, spctools::rampValues(11, 0.0, 1.0), spctools::rampValues(11, 25.0, 0.25),
                    format == SpcFormat::OLD ? "old" : "new");
      EXPECT_EQ(run.DX, 1.0);
      EXPECT_EQ(run.SPARE1, 1.5);
      EXPECT_EQ(run.SPARE2, -2.25);
    }
  }
}

TEST(ReadSpectrum, NewFormatWindowInsideALargeFileStopsAtItsEnd) {
  SpcFileSpec spec;
  spec.exponent = 20;
  spec.firstX = 400.0;
  spec.lastX = 1400.0;
  spec.values = spctools::sineValues(100000, 1e9, 3.0);
  SpectrumRun run = runReadsc(spec, 500.0, 450.0);

  const double step = 1000.0 / 99999;
  std::vector<double> X, Y;
  for (int k = 0; k < 100000; ++k) {
    double x = k * step + 400.0;
    if (x < 450.0f || x > 500.0f) continue;
    X.push_back(x);
    Y.push_back(static_cast<float>(spec.values[k] * 0x1p-12));
  }
  ASSERT_EQ(X.size(), 5000u);
  expectSamples(run, X, Y, "inside");
  EXPECT_EQ(run.DX, step);
  // The window ends within the first block: nothing after it is read.
  EXPECT_EQ(run.readCalls, 1);
}

TEST(ReadSpectrum, OldFormatStepAndXAreSinglePrecision) {
  SpcFileSpec spec;
  spec.format = SpcFormat::OLD;
  spec.firstX = 0.1;
  spec.lastX = 0.9;
  spec.values = {1, 2, 3, 4, 5, 6, 7};
  SpectrumRun run = runReadsc(spec, 0.0, 1.0);

  const double q = (double(0.9f) - double(0.1f)) / 6.0;
  const float step = static_cast<float>(q);
  std::vector<double> X;
  bool singleMatters = false;
  for (int k = 0; k < 7; ++k) {
    X.push_back(static_cast<float>(k * double(step) + double(0.1f)));
    singleMatters |= X.back() != k * q + double(0.1f);
  }
  EXPECT_TRUE(singleMatters);
  expectSamples(run, X, {1, 2, 3, 4, 5, 6, 7}, "old");
  EXPECT_EQ(bits(run.DX), bits(q));
}

TEST(ReadSpectrum, OldFormatStoresTheMoreSignificantHalfFirst) {
  SpcFileSpec spec;
  spec.format = SpcFormat::OLD;
  spec.firstX = 1.0;
  spec.lastX = 4.0;
  spec.pointCount = 4;
  std::string bytes = spctools::encodeSpcFile(spec);
  bytes += std::string("\x01\x00\x02\x00\xFF\xFF\x00\x00\x00\x00\xFF\xFF\xFE\xFF\xFF\xFF", 16);
  SpectrumRun run = runReadsc(bytes, 0.0, 10.0);
  expectSamples(run, {1, 2, 3, 4}, {65538, -65536, 65535, -65537}, "halves");
}

TEST(ReadSpectrum, SixteenBitValuesAreSignExtendedAndScaledAlike) {
  for (SpcFormat format : {SpcFormat::OLD, SpcFormat::NEW}) {
    SpcFileSpec spec = elevenPoints(format);
    spec.flags = 0x01;
    spec.values = {-1, 32767, -32768, 5};
    spec.lastX = 3.0;
    spec.pointCount = 4;
    SpectrumRun run = runReadsc(spec, 0.0, 3.0);
    expectSamples(run, {0, 1, 2, 3}, {-0.25, 8191.75, -8192, 1.25}, "16-bit");
  }
}

TEST(ReadSpectrum, DescendingAxisAndReversedBoundsGiveTheSameWindow) {
  for (SpcFormat format : {SpcFormat::OLD, SpcFormat::NEW}) {
    SpcFileSpec spec = elevenPoints(format);
    spec.firstX = 10.0;
    spec.lastX = 0.0;
    for (auto [X1, X2] : {std::pair{2.5, 7.5}, std::pair{7.5, 2.5}}) {
      SpectrumRun run = runReadsc(spec, X1, X2);
      expectSamples(run, {7, 6, 5, 4, 3}, {25.75, 26, 26.25, 26.5, 26.75}, "descending");
      EXPECT_EQ(run.DX, -1.0);
    }
  }
}

TEST(ReadSpectrum, WindowWithoutSamplePositionReadsTheFileToItsEnd) {
  for (auto [X1, X2] : {std::pair{20000.5, 30000.0}, std::pair{2.2, 2.8}, std::pair{-9.0, -1.0}}) {
    SpcFileSpec spec;
    spec.firstX = 0;
    spec.lastX = 19999;
    spec.values = spctools::rampValues(20000, 0, 1);
    SpectrumRun run = runReadsc(spec, X1, X2);
    expectSamples(run, {}, {}, "empty window");
    // Two blocks of data, then the read that finds the end.
    EXPECT_EQ(run.readCalls, 3);
  }
}

TEST(ReadSpectrum, NewFormatBoundsAreRoundedToSinglePrecision) {
  // float(0.1) lies above 0.1, so the first sample falls just outside the window.
  SpcFileSpec spec = elevenPoints(SpcFormat::NEW);
  spec.firstX = 0.1;
  spec.lastX = 1.1;
  SpectrumRun run = runReadsc(spec, 0.1, 0.5);
  std::vector<double> X, Y;
  for (int k = 0; k < 11; ++k) {
    double x = k * (1.0 / 10) + 0.1;
    if (x >= 0.1f && x <= 0.5f) X.push_back(x), Y.push_back((100 + k) / 4.0);
  }
  ASSERT_EQ(X.front(), 0.1 + 0.1);
  expectSamples(run, X, Y, "rounded bounds");
}

TEST(ReadSpectrum, ExponentsAtTheBottomOfTheRange) {
  const double INF = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    SpcFormat format;
    std::uint8_t flags;
    std::int32_t exponent;
    ValueWidth width;
    std::vector<double> values, Y;
  };
  const Case cases[] = {
      // New format, 32-bit, exponent byte 0x80: the values are singles, taken as they are.
      {"singles",
       SpcFormat::NEW,
       0x00,
       -128,
       ValueWidth::SINGLE,
       {1.5, -2.25, INF, 3.4e38f, 0x1p-149},
       {1.5, -2.25, INF, 3.4e38f, 0x1p-149}},
      // 16-bit values with 0x80, and the old format's -128, scale by 2^-160: zero.
      {"16-bit -128", SpcFormat::NEW, 0x01, -128, ValueWidth::FROM_FLAGS, {5, -5}, {0.0, -0.0}},
      {"old -128", SpcFormat::OLD, 0x00, -128, ValueWidth::FROM_FLAGS, {5, -5}, {0.0, -0.0}},
      {"new -118", SpcFormat::NEW, 0x00, -118, ValueWidth::FROM_FLAGS, {1, -1}, {0.0, -0.0}},
      // -117 gives the smallest single scale; the product is then rounded to single precision.
      {"new -117",
       SpcFormat::NEW,
       0x00,
       -117,
       ValueWidth::FROM_FLAGS,
       {1, -3, 16777217},
       {0x1p-149, -0x3p-149, 0x1p-125}},
      {"old -1200", SpcFormat::OLD, 0x00, -1200, ValueWidth::FROM_FLAGS, {7, -7}, {0.0, -0.0}},
  };
  for (const Case& c : cases) {
    SpcFileSpec spec;
    spec.format = c.format;
    spec.flags = c.flags;
    spec.exponent = c.exponent;
    spec.width = c.width;
    spec.values = c.values;
    spec.lastX = static_cast<double>(c.values.size() - 1);
    std::vector<double> X = spctools::rampValues(c.values.size(), 0, 1);
    expectSamples(runReadsc(spec, 0, 100), X, c.Y, c.what);
  }

  SpcFileSpec nan;
  nan.exponent = -128;
  nan.width = ValueWidth::SINGLE;
  nan.values = {std::numeric_limits<double>::quiet_NaN()};
  nan.pointCount = 2;
  SpectrumRun run = runReadsc(nan, 0, 1);
  ASSERT_EQ(run.NPTS, 1);
  EXPECT_TRUE(std::isnan(run.Y[0]));
}

TEST(ReadSpectrum, VersionAndIgnoredFlagBitsDoNotChangeTheReading) {
  for (std::uint8_t version : {0x00, 0x4B, 0xFF}) {
    for (std::uint8_t flags : {0x00, 0x78}) {
      SpcFileSpec spec = elevenPoints(SpcFormat::NEW);
      spec.version = version;
      spec.flags = flags;
      SpectrumRun run = runReadsc(spec, 2, 3);
      expectSamples(run, {2, 3}, {25.5, 25.75}, "version");
    }
  }
}

TEST(ReadSpectrum, FileEndingAtOrInsideTheValues) {
  struct Case {
    SpcFormat format;
    std::uint8_t flags;
    std::size_t size;
    std::int32_t kept;
  };
  const Case cases[] = {
      {SpcFormat::NEW, 0x00, 544, 0}, {SpcFormat::OLD, 0x00, 256, 0},
      {SpcFormat::NEW, 0x00, 550, 1}, {SpcFormat::NEW, 0x01, 549, 2},
      {SpcFormat::OLD, 0x00, 263, 1}, {SpcFormat::OLD, 0x01, 259, 1},
  };
  for (const Case& c : cases) {
    SpcFileSpec spec = elevenPoints(c.format);
    spec.flags = c.flags;
    spec.truncateAt = c.size;
    SpectrumRun run = runReadsc(spec, -5, 15);
    std::vector<double> X = spctools::rampValues(c.kept, 0, 1);
    std::vector<double> Y = spctools::rampValues(c.kept, 25, 0.25);
    expectSamples(run, X, Y, "short file");
    EXPECT_EQ(run.DX, 1.0);
  }
}

}  // namespace
