// End to end: the console's carriage control, the stop, the pause, blank file names, devices,
// replaced files and the reports, through the converter and the layer's test driver.
#include <gtest/gtest.h>

#include "support/e2e.h"
#include "support/fake_platform.h"

namespace {

using testsupport::builtProgram;
using testsupport::ProgramResult;
using testsupport::ProgramRun;
using testsupport::visible;

const std::string STOP = "Stop - Program terminated.\r\n";

ProgramResult drive(const std::string& script, ProgramRun run = {}) {
  run.environment["IODRIVER"] = script;
  if (!run.environment.count("COMSPEC")) run.environment["COMSPEC"] = "";
  return testsupport::runProgram(builtProgram("iodriver"), run);
}

TEST(Foundation, MissingControlFileIsReportedOnStandardError) {
  ProgramResult result = testsupport::runProgram(builtProgram("spc2prn"), {});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(visible(result.standardOutput), "");
  EXPECT_EQ(visible(result.standardError),
            visible("\r\nrun-time error F6416: OPEN(convert.dat)\r\n- file not found\r\n"));
}

TEST(Foundation, StopAfterConsoleRecordsOwesOneMoreLineEnd) {
  ProgramResult result = drive("console\t Hello\nconsole\t World\nstop");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(visible(result.standardOutput), visible("Hello\r\nWorld\r\n" + STOP + "\r\n"));
  EXPECT_EQ(result.standardError, "");

  ProgramResult quiet = drive("stop");
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(visible(quiet.standardOutput), visible(STOP));
}

TEST(Foundation, ConsoleWorkedBytes) {
  std::string path = "C:\\S\\A.SPC" + std::string(40, ' ');
  ProgramResult result =
      drive("console\t\nconsole\t Input file: " + path + "\nconsole\t Output file: X");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(visible(result.standardOutput),
            visible("\r\nInput file: " + path + "\r\nOutput file: X\r\n"));
}

TEST(Foundation, CarriageControlCharacters) {
  ProgramResult result =
      drive("console\t0first\nconsole\t0a\nconsole\t1b\nconsole\t+c\nconsole\t d");
  EXPECT_EQ(visible(result.standardOutput), visible("\r\nfirst\r\n\r\na\r\n\f\r \rb\rc\r\nd\r\n"));
}

struct PauseCase {
  std::string answer;
  std::string between;  // what the command printed between the prompt and the stop
};

TEST(Foundation, PauseContinuesOrRunsACommand) {
  const std::string before =
      "This file format is not supported\r\n"
      "Pause - Please enter a blank line (to continue) or a DOS command.\r\n";
  const std::string after = "\r\nProgram terminating\r\n\r\n";
  for (const PauseCase& c : std::vector<PauseCase>{{"\n", ""},
                                                   {"   \t\n", ""},
                                                   {"x\n", ""},
                                                   {"x   \n", ""},
                                                   {"echo hello\n", "hello\n"},
                                                   {"  echo  two   \n", "two\n"}}) {
    ProgramRun run;
    run.standardInput = c.answer;
    ProgramResult result =
        drive("console\t This file format is not supported\npause\nstop\tProgram terminating", run);
    EXPECT_EQ(result.exitCode, 0) << c.answer;
    EXPECT_EQ(visible(result.standardOutput), visible(before + c.between + after)) << c.answer;
  }
}

TEST(Foundation, PauseRunsTheInterpreterNamedByComspec) {
  ProgramRun run;
  run.standardInput = "dir\n";
  run.environment["COMSPEC"] = "/bin/echo";
  ProgramResult result = drive("pause\nstop", run);
  EXPECT_EQ(visible(result.standardOutput),
            visible("Pause - Please enter a blank line (to continue) or a DOS command.\r\n"
                    "/c dir\n" +
                    STOP));
}

TEST(Foundation, ExhaustedStandardInputEndsThePromptAndThePause) {
  for (const std::string& script : {std::string("pause"), std::string("open\t10\t \tOLD")}) {
    ProgramResult result = drive(script);
    EXPECT_EQ(result.exitCode, 1) << script;
    EXPECT_EQ(visible(result.standardError),
              visible("\r\nrun-time error F6501: READ(CON)\r\n- end of file encountered\r\n"));
  }
}

TEST(Foundation, BlankNamesTakeArgumentsThenPrompt) {
  ProgramRun run;
  run.files = {{"A.SPC", "a"}, {"B.SPC", "b"}, {"C.SPC", "c"}};
  run.arguments = {"A.SPC", "  B.SPC  "};
  run.standardInput = "\n   \nC.SPC\n";
  ProgramResult result = drive(
      "console\t Hi\nopen\t10\t   \tOLD\tbinary\nclose\t10\nopen\t10\t\tOLD\nclose\t10\n"
      "open\t10\t \tOLD\nwrite\t10\tnew\nclose\t10\nstop",
      run);
  const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 10? ";
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(visible(result.standardOutput),
            visible("Hi\r\n" + prompt + prompt + prompt + "\r\n" + STOP + "\r\n"));
  EXPECT_EQ(result.files["C.SPC"], "new\r\n");
  EXPECT_EQ(result.files["A.SPC"], "a");
}

TEST(Foundation, NulIsTheNullDevice) {
  ProgramResult result = drive(
      "open\t20\tnul.spc\tUNKNOWN\nwrite\t20\tdata\nclose\t20\nopen\t20\tNUL\tUNKNOWN\n"
      "write\t20\tmore\nstop");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.files.empty());
}

TEST(Foundation, ConAsADeviceWritesLikeTheConsoleWithItsOwnLineEnd) {
  ProgramResult result = drive(
      "open\t20\tcon.txt\tUNKNOWN\nwrite\t20\t one\nwrite\t20\t two\n"
      "close\t20\nconsole\t three");
  EXPECT_EQ(visible(result.standardOutput), visible("one\r\ntwo\r\nthree\r\n"));
  EXPECT_TRUE(result.files.empty());
}

TEST(Foundation, ExistingLongerFileIsCutAtTheFirstRecord) {
  ProgramRun run;
  run.files = {{"out.prn", std::string(100, 'Z')}};
  ProgramResult result =
      drive("open\t20\t out.prn \tUNKNOWN\nwrite\t20\tabc\nwrite\t20\t\nclose\t20", run);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(visible(result.files["out.prn"]), visible("abc\r\n\r\n"));

  ProgramResult opened = drive("open\t20\tout.prn\tUNKNOWN\nclose\t20", run);
  EXPECT_EQ(opened.files["out.prn"], std::string(100, 'Z'));  // opening alone cuts nothing
}

TEST(Foundation, OpenFailuresNameTheTrimmedFile) {
  ProgramResult folder = drive("open\t20\t  missing\\x.prn \tUNKNOWN");
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_EQ(visible(folder.standardError),
            visible("\r\nrun-time error F6416: OPEN(missing\\x.prn)\r\n- file not found\r\n"));

  ProgramRun longName;
  longName.arguments = {std::string(300, 'a')};
  ProgramResult tooLong = drive("open\t10\t\tOLD", longName);
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_EQ(visible(tooLong.standardError),
            visible("\r\nrun-time error F6416: OPEN(" + std::string(259, 'a') +
                    ")\r\n- file not found\r\n"));
}

TEST(Foundation, ReportAfterConsoleRecordsPaysTheOwedLineEnd) {
  ProgramResult result = drive("console\t Input file: x\nopen\t10\tnothere.spc\tOLD\tbinary");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(visible(result.standardOutput), visible("Input file: x\r\n"));
  EXPECT_EQ(visible(result.standardError),
            visible("\r\nrun-time error F6416: OPEN(nothere.spc)\r\n- file not found\r\n"));
}

TEST(Foundation, FloatingPointAndMathReports) {
  struct Case {
    std::string script, report;
  };
  for (const Case& c :
       std::vector<Case>{{"fpe\tinvalid", "M6101: MATH\r\n- floating-point error: invalid"},
                         {"fpe\tdivide", "M6103: MATH\r\n- floating-point error: divide by zero"},
                         {"fpe\toverflow", "M6104: MATH\r\n- floating-point error: overflow"},
                         {"math", "M6203: MATH\r\n- **: OVERFLOW error"}}) {
    ProgramResult result = drive(c.script);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(visible(result.standardError), visible("\r\nrun-time error " + c.report + "\r\n"));
  }
}

TEST(Foundation, EveryEndWritesBufferedOutput) {
  ProgramResult stopped = drive("open\t20\tout.prn\tUNKNOWN\nwrite\t20\tkept\nstop");
  EXPECT_EQ(stopped.files["out.prn"], "kept\r\n");
  ProgramResult failed =
      drive("open\t20\tout.prn\tUNKNOWN\nwrite\t20\tkept\nopen\t10\tgone.dat\tOLD");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_EQ(failed.files["out.prn"], "kept\r\n");
}

}  // namespace
