// The batch driver: reads convert.dat, then converts each listed spectrum file to a .prn file,
// announcing every file on the console, and ends with the stop.
#include "conversion/batch_driver.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "conversion/output_name.h"
#include "conversion/point_buffer.h"
#include "conversion/read_spectrum.h"
#include "platform/platform.h"
#include "textio/channels.h"
#include "textio/control_read.h"
#include "textio/formatted_write.h"
#include "textio/termination.h"

namespace conversion {
namespace {

constexpr std::int32_t MAX_INPUT_FILES = 100;

struct ControlFile {
  std::int32_t NFILES = 0;
  Path INFILE[MAX_INPUT_FILES];
  Path OUTDIR;
  double X1 = 0;
  double X2 = 0;
};

ControlFile CONTROL;

// The point arrays fill most of one 2 MiB large page of their own: a file of many points then
// costs one page fault where small pages would cost hundreds.
constexpr std::size_t LARGE_PAGE = std::size_t{1} << 21;
union alignas(LARGE_PAGE) PointStorage {
  PointBuffer buffer;
  unsigned char page[LARGE_PAGE];
};
static_assert(sizeof(PointBuffer) <= LARGE_PAGE);
PointStorage STORAGE;
PointBuffer& POINTS = STORAGE.buffer;

void READ_CONTROL_FILE() {
  textio::openChannel(10, "convert.dat", "OLD");
  textio::freeFormRead(10, {&CONTROL.NFILES});
  // The path list holds MAX_INPUT_FILES paths: a longer list is refused before any file is
  // read or converted, rather than stored past its end.
  if (CONTROL.NFILES > MAX_INPUT_FILES) {
    textio::formattedWrite(textio::CONSOLE_UNIT,
                           "(/,' Error in convert.dat --- too many input files',/,"
                           "' Files listed  = ',I8,/,' Files allowed = ',I8)",
                           {CONTROL.NFILES, MAX_INPUT_FILES});
    textio::stopRun("Program Terminated");
  }
  textio::TextItem paths[MAX_INPUT_FILES];
  std::int32_t count = CONTROL.NFILES > 0 ? CONTROL.NFILES : 0;
  for (std::int32_t I = 0; I < count; ++I) paths[I] = CONTROL.INFILE[I].item();
  textio::formattedRead(10, "(A)", std::span<const textio::TextItem>(paths, count));
  textio::formattedRead(10, "(A)", {CONTROL.OUTDIR.item()});
  textio::formattedRead(10, "(F10.4)", {&CONTROL.X1, &CONTROL.X2});
  textio::closeChannel(10);
}

void CONVERT_FILE(const Path& INFILE) {
  textio::formattedWrite(textio::CONSOLE_UNIT, "(/,' Input file: ',A)", {INFILE.view()});
  Path OUTNAME = OUTPUT_NAME(INFILE, CONTROL.OUTDIR);

  double DX = 0, SPARE1 = 0, SPARE2 = 0;
  READSC(INFILE.view(), CONTROL.X1, CONTROL.X2, MAX_POINTS, POINTS.X, POINTS.Y, DX, POINTS.NPTS,
         SPARE1, SPARE2);

  // With no point kept there is no last point; X(1) stands for both ends.
  std::int32_t LAST = POINTS.NPTS > 0 ? POINTS.NPTS : 1;
  textio::formattedWrite(textio::CONSOLE_UNIT,
                         "(1X,I7,' points read from ',F10.4,' to ',F10.4,/,' Output file: ',A)",
                         {POINTS.NPTS, POINTS.X[0], POINTS.X[LAST - 1], OUTNAME.view()});

  textio::openChannel(20, OUTNAME.view(), "UNKNOWN");
  textio::formattedWritePairs(20, "(0P,F10.4,2X,1P,E15.7)", POINTS.X, POINTS.Y, POINTS.NPTS);
  textio::closeChannel(20);
}

}  // namespace

void convert() {
  platform::adviseLargePages(&STORAGE, sizeof STORAGE);
  READ_CONTROL_FILE();
  for (std::int32_t I = 0; I < CONTROL.NFILES; ++I) CONVERT_FILE(CONTROL.INFILE[I]);
  textio::stopRun();
}

void resetDriverForTesting() {
  CONTROL = ControlFile{};
  // Filled in place: a temporary of the arrays' size would not fit on the stack.
  std::fill(std::begin(POINTS.X), std::end(POINTS.X), 0.0);
  std::fill(std::begin(POINTS.Y), std::end(POINTS.Y), 0.0);
  POINTS.NPTS = 0;
}

}  // namespace conversion
