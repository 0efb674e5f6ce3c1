// End to end through spc2prn: control files, output names, console lines, .prn bytes, refused
// files and reports, each run in a fresh folder and compared byte for byte.
#include <gtest/gtest.h>

#include "support/e2e.h"
#include "support/fake_platform.h"
#include "tools/lib/spc_writer.h"

namespace {

using spctools::SpcFileSpec;
using spctools::SpcFormat;
using testsupport::ProgramResult;
using testsupport::ProgramRun;
using testsupport::visible;

const std::string STOP = "Stop - Program terminated.\r\n";

std::string pad(const std::string& text, std::size_t width = 50) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string lines(const std::vector<std::string>& all) {
  std::string text;
  for (const std::string& line : all) text += line + "\r\n";
  return text;
}

// Eleven points at x = 0, 1, ..., 10 with y = raw * 2^-16, raw = 65536 * k / 4.
std::string elevenPoints(SpcFormat format = SpcFormat::NEW) {
  SpcFileSpec spec;
  spec.format = format;
  spec.exponent = 16;
  spec.firstX = 0;
  spec.lastX = 10;
  for (int k = 0; k <= 10; ++k) spec.values.push_back(k * 16384.0 - 40000);
  return spctools::encodeSpcFile(spec);
}

ProgramResult convert(const std::string& control, std::map<std::string, std::string> files = {},
                      std::vector<std::string> folders = {"out"}, std::string input = "") {
  ProgramRun run;
  run.files = std::move(files);
  run.files["convert.dat"] = control;
  run.folders = std::move(folders);
  run.standardInput = std::move(input);
  run.environment["COMSPEC"] = "";
  return testsupport::runProgram(testsupport::builtProgram("spc2prn"), run);
}

TEST(Convert, TwoFilesConsoleAndPrnBytes) {
  ProgramResult result =
      convert(lines({"2", "a.spc", "  sub\\b.old.spc", "out", "  2.", "4.0"}),
              {{"a.spc", elevenPoints()}, {"sub/b.old.spc", elevenPoints(SpcFormat::OLD)}});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError, "");
  std::string expected = "\r\nInput file: " + pad("a.spc") +
                         "\r\n      3 points read from     2.0000 to     4.0000"
                         "\r\nOutput file: " +
                         pad("out\\a.prn") + "\r\n\r\nInput file: " + pad("  sub\\b.old.spc") +
                         "\r\n      3 points read from     2.0000 to     4.0000"
                         "\r\nOutput file: " +
                         pad("out\\b.old.prn") + "\r\n" + STOP + "\r\n";
  EXPECT_EQ(visible(result.standardOutput), visible(expected));
  std::string prn =
      "    2.0000   -1.1035156E-01\r\n"
      "    3.0000    1.3964844E-01\r\n"
      "    4.0000    3.8964844E-01\r\n";
  EXPECT_EQ(visible(result.files["out/a.prn"]), visible(prn));
  EXPECT_EQ(visible(result.files["out/b.old.prn"]), visible(prn));
}

struct NameCase {
  std::string infile, outdir, outname, madeFile;
};

TEST(Convert, OutputNames) {
  for (const NameCase& c : std::vector<NameCase>{
           {"C:\\spectra\\run1.spc", "C:\\out", "C:\\out\\run1.prn", "C:/out/run1.prn"},
           {"run2.spc", "D:\\res", "D:\\res\\run2.prn", "D:/res/run2.prn"},
           {"C:\\spectra\\sample.old.spc", "C:\\out", "C:\\out\\sample.old.prn",
            "C:/out/sample.old.prn"},
           {"C:\\my data\\sample 3.spc", "C:\\out dir", "C:\\outdir\\sample3.prn",
            "C:/outdir/sample3.prn"},
           {"C:\\spectra\\noext", "C:\\out", "C:\\out\\.prn", "C:/out/.prn"},
           {"C:\\set1.2\\spectrum", "C:\\out", "C:\\out\\.prn", "C:/out/.prn"},
           {"data/run4.spc", "C:\\out", "C:\\out\\data/run4.prn", "C:/out/data/run4.prn"},
           {"C:\\spectra\\run6.spc", "C:\\out\\", "C:\\out\\\\run6.prn", "C:/out/run6.prn"},
           {"D:\\data\\sample_with_a_long_name.spc", "C:\\results\\infrared\\converted",
            "C:\\results\\infrared\\converted\\sample_with_a_long_n",
            "C:/results/infrared/converted/sample_with_a_long_n"},
       }) {
    std::string input = c.infile;
    std::replace(input.begin(), input.end(), '\\', '/');
    std::string folder = c.madeFile.substr(0, c.madeFile.rfind('/'));
    ProgramResult result =
        convert(lines({"1", c.infile, c.outdir, "0.", "10."}), {{input, elevenPoints()}}, {folder});
    EXPECT_EQ(result.exitCode, 0) << c.infile << result.standardError;
    EXPECT_NE(result.standardOutput.find("\r\nOutput file: " + pad(c.outname) + "\r\n"),
              std::string::npos)
        << c.infile;
    EXPECT_EQ(result.files[c.madeFile].size(), 11u * 29) << c.infile;
  }
}

TEST(Convert, CountLines) {
  struct Case {
    std::string count;
    int files;
  };
  for (const Case& c : std::vector<Case>{{"3 files", 3},
                                         {"3,9", 3},
                                         {"\n  \n3", 3},
                                         {"2*7", 7},
                                         {"16#1A", 26},
                                         {"+2", 2},
                                         {"/", 0},
                                         {",7", 0},
                                         {"0", 0},
                                         {"-4", 0}}) {
    std::vector<std::string> control = {c.count};
    for (int i = 0; i < std::max(c.files, 1); ++i) control.push_back("a.spc");
    for (const char* line : {"out", "0.", "10."}) control.push_back(line);
    ProgramResult result = convert(lines(control), {{"a.spc", elevenPoints()}});
    EXPECT_EQ(result.exitCode, 0) << c.count << result.standardError;
    std::size_t seen = 0;
    for (std::size_t at = 0;
         (at = result.standardOutput.find("Input file:", at)) != std::string::npos; ++at)
      ++seen;
    EXPECT_EQ(seen, static_cast<std::size_t>(c.files)) << c.count;
    if (c.files == 0) {
      EXPECT_EQ(visible(result.standardOutput), visible(STOP)) << c.count;
    }
  }
}

TEST(Convert, ControlFileErrors) {
  struct Case {
    std::string control, report;
  };
  for (const Case& c : std::vector<Case>{
           {"", "F6501: READ(convert.dat)\r\n- end of file encountered"},
           {"1\r\na.spc\r\n", "F6501: READ(convert.dat)\r\n- end of file encountered"},
           {"0\r\nout\r\n1.\r\n2.\r\n", "F6501: READ(convert.dat)\r\n- end of file encountered"},
           {"seven\r\n", "F6101: READ(convert.dat)\r\n- invalid character in integer"},
           {"2147483648\r\n", "F6100: READ(convert.dat)\r\n- integer value out of range"},
           {"0*7\r\n", "F6502: READ(convert.dat)\r\n- repeat count of zero"},
           {"1\r\na.spc\r\nout\r\n1.2.3\r\n",
            "F6103: READ(convert.dat)\r\n- invalid number in real field"},
       }) {
    ProgramResult result = convert(c.control, {{"a.spc", elevenPoints()}});
    EXPECT_EQ(result.exitCode, 1) << c.control;
    EXPECT_EQ(result.standardOutput, "") << c.control;
    EXPECT_EQ(visible(result.standardError), visible("\r\nrun-time error " + c.report + "\r\n"))
        << c.control;
  }
}

TEST(Convert, TooManyFilesAreRefusedBeforeAnyIsConverted) {
  std::vector<std::string> control = {"101"};
  for (int i = 0; i < 101; ++i) control.push_back("a.spc");
  for (const char* line : {"out", "0.", "10."}) control.push_back(line);
  ProgramResult result = convert(lines(control), {{"a.spc", elevenPoints()}});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardOutput.find("Input file:"), std::string::npos);
  EXPECT_NE(result.standardOutput.find("too many input files"), std::string::npos);
  EXPECT_EQ(result.files.count("out/a.prn"), 0u);
}

TEST(Convert, WindowBoundsAsWrittenOnTheXLines) {
  struct Case {
    std::string x1, x2, range;
  };
  for (const Case& c :
       std::vector<Case>{{"40000", "6.", "4.0000 to     6.0000"},
                         {"      40000", "6.", "1.0000 to     6.0000"},  // first ten: 0.4
                         {"12,5", "9.9", ".0000 to     9.0000"},
                         {"9.9999999999", "1.", "1.0000 to    10.0000"}}) {
    ProgramResult result =
        convert(lines({"1", "a.spc", "out", c.x1, c.x2}), {{"a.spc", elevenPoints()}});
    EXPECT_NE(result.standardOutput.find(c.range), std::string::npos)
        << c.x1 << visible(result.standardOutput);
  }
}

TEST(Convert, LongPathLinesAreCutAtFiftyCharacters) {
  std::string folder(44, 'd');
  std::string path = folder + "\\abcdefgh.spc";  // 57 characters: cut to "...\abcde"
  ProgramResult result =
      convert(lines({"1", path, "out", "0.", "10."}), {{folder + "/abcde", elevenPoints()}});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_NE(result.standardOutput.find("Output file: " + pad("out\\.prn")), std::string::npos);
  EXPECT_EQ(result.files.count("out/.prn"), 1u);
}

TEST(Convert, ReplacedAndSharedOutputFiles) {
  SpcFileSpec two;
  two.firstX = 0;
  two.lastX = 1;
  two.values = {1, 2};
  ProgramResult result = convert(lines({"2", "a\\x.spc", "b\\x.spc", "out", "0.", "10."}),
                                 {{"a/x.spc", elevenPoints()},
                                  {"b/x.spc", spctools::encodeSpcFile(two)},
                                  {"out/x.prn", std::string(5000, '#')}});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(visible(result.files["out/x.prn"]),
            visible("     .0000    1.0000000E+00\r\n    1.0000    2.0000000E+00\r\n"));
}

TEST(Convert, NoPointInTheWindowGivesOneEmptyLine) {
  ProgramResult result =
      convert(lines({"1", "a.spc", "out", "3.5", "3.6"}), {{"a.spc", elevenPoints()}});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.standardOutput.find("      0 points read from      .0000 to      .0000"),
            std::string::npos);
  EXPECT_EQ(result.files["out/a.prn"], "\r\n");
}

TEST(Convert, RefusedFileInTheMiddleOfABatch) {
  SpcFileSpec multi;
  multi.flags = 0x04;
  multi.values = {1, 2, 3};
  ProgramResult result = convert(lines({"3", "a.spc", "m.spc", "c.spc", "out", "0.", "10."}),
                                 {{"a.spc", elevenPoints()},
                                  {"m.spc", spctools::encodeSpcFile(multi)},
                                  {"c.spc", elevenPoints()}},
                                 {"out"}, "\n");
  EXPECT_EQ(result.exitCode, 0);
  std::string tail = "\r\n\r\nInput file: " + pad("m.spc") +
                     "\r\nThis file format is not supported\r\n"
                     "Pause - Please enter a blank line (to continue) or a DOS command.\r\n"
                     "\r\nProgram terminating\r\n\r\n";
  ASSERT_GE(result.standardOutput.size(), tail.size());
  EXPECT_EQ(visible(result.standardOutput.substr(result.standardOutput.size() - tail.size())),
            visible(tail));
  EXPECT_EQ(result.files.count("out/a.prn"), 1u);
  EXPECT_EQ(result.files.count("out/m.prn"), 0u);
  EXPECT_EQ(result.files.count("out/c.prn"), 0u);
}

TEST(Convert, OtherRefusalsOfASpectrumFile) {
  SpcFileSpec msb;
  msb.version = 0x4C;
  msb.values = {1};
  ProgramResult order =
      convert(lines({"1", "m.spc", "out", "0.", "10."}), {{"m.spc", spctools::encodeSpcFile(msb)}});
  EXPECT_EQ(order.exitCode, 0);
  EXPECT_EQ(visible(order.standardOutput),
            visible("\r\nInput file: " + pad("m.spc") +
                    "\r\nnew format(GRAMS) with MSB first"
                    "\r\nthis format is not presently supported in this program"
                    "\r\nexecution is terminating\r\nHu-Oh &#&$!#^*\r\n\r\n"));

  SpcFileSpec dense;
  dense.firstX = 0;
  dense.lastX = 1;
  dense.pointCount = 1000001;
  dense.values = {1, 2};
  ProgramResult capacity = convert(lines({"1", "d.spc", "out", "0.", "1."}),
                                   {{"d.spc", spctools::encodeSpcFile(dense)}});
  EXPECT_EQ(capacity.exitCode, 0);
  EXPECT_EQ(visible(capacity.standardOutput),
            visible("\r\nInput file: " + pad("d.spc") +
                    "\r\n\r\n\r\nError in READSC --- Data requested exceeds array size"
                    "\r\nArray size =   100000\r\nRequired size =  1000001"
                    "\r\nProgram Terminated\r\n\r\n"));
}

TEST(Convert, FloatingPointFailuresThroughTheWholeProgram) {
  struct Case {
    SpcFileSpec spec;
    std::string report;
  };
  SpcFileSpec one;
  one.firstX = 1;
  one.lastX = 2;
  one.values = {5};
  SpcFileSpec same = one;
  same.lastX = 1;
  same.pointCount = 2;
  SpcFileSpec bigScale;
  bigScale.format = SpcFormat::OLD;
  bigScale.exponent = 200;
  bigScale.values = {1, 2};
  SpcFileSpec hugePower = bigScale;
  hugePower.exponent = 1100;
  for (const Case& c :
       std::vector<Case>{{one, "M6103: MATH\r\n- floating-point error: divide by zero"},
                         {same, "M6101: MATH\r\n- floating-point error: invalid"},
                         {bigScale, "M6104: MATH\r\n- floating-point error: overflow"},
                         {hugePower, "M6203: MATH\r\n- **: OVERFLOW error"}}) {
    ProgramResult result = convert(lines({"1", "f.spc", "out", "0.", "10."}),
                                   {{"f.spc", spctools::encodeSpcFile(c.spec)}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(visible(result.standardError), visible("\r\nrun-time error " + c.report + "\r\n"));
    EXPECT_EQ(visible(result.standardOutput), visible("\r\nInput file: " + pad("f.spc") + "\r\n"));
  }
}

TEST(Convert, MissingSpectrumFileAfterItsInputLine) {
  ProgramResult result = convert(lines({"1", "  gone.spc", "out", "0.", "10."}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(visible(result.standardOutput),
            visible("\r\nInput file: " + pad("  gone.spc") + "\r\n"));
  EXPECT_EQ(visible(result.standardError),
            visible("\r\nrun-time error F6416: OPEN(gone.spc)\r\n- file not found\r\n"));
}

TEST(Convert, MissingOutputFolderAfterTheFourLines) {
  ProgramResult result =
      convert(lines({"1", "a.spc", "nowhere", "0.", "10."}), {{"a.spc", elevenPoints()}}, {});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.standardOutput.find("Output file: " + pad("nowhere\\a.prn") + "\r\n"),
            std::string::npos);
  EXPECT_EQ(visible(result.standardError),
            visible("\r\nrun-time error F6416: OPEN(nowhere\\a.prn)\r\n- file not found\r\n"));
}

}  // namespace
