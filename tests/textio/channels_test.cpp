// Channels on the in-memory machine: what a real machine run as root cannot show (access
// refused, a full disk, failing closes), block boundaries, and the single end of a run.
#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "textio/channels.h"
#include "textio/termination.h"

namespace {

using platform::Failure;
using testsupport::FakeMachine;
using testsupport::FakePlatform;
using testsupport::runUntilEnd;
using testsupport::visible;
using namespace textio;

std::string report(const std::string& line, const std::string& description) {
  return "\r\nrun-time error " + line + "\r\n- " + description + "\r\n";
}

TEST(Channels, ReadOnlyOutputFileOpensForReadingThenRefusesTheCut) {
  FakeMachine machine;
  machine.files["out.prn"] = {"old contents", true};
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([] {
    openChannel(20, "out.prn", "UNKNOWN");
    writeRecord(20, "new");
  });
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(visible(machine.standardError),
            visible(report("F6421: WRITE(out.prn)", "write refused: no access to file")));
  EXPECT_EQ(machine.files["out.prn"].bytes, "old contents");
  // Read and write, then read only: the third attempt is not needed.
  EXPECT_EQ(machine.calls[1], "openFile(out.prn)");
  EXPECT_EQ(machine.calls[2], "openFile(out.prn)");
}

TEST(Channels, EmptyReadOnlyFileFailsAtTheFirstBufferWrite) {
  FakeMachine machine;
  machine.files["out.prn"] = {"", true};
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([] {
    openChannel(20, "out.prn", "UNKNOWN");
    writeRecord(20, "new");
    closeChannel(20);
  });
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(visible(machine.standardError),
            visible(report("F6421: CLOSE(out.prn)", "write refused: no access to file")));
}

TEST(Channels, OpenFailureNumbersFollowTheReason) {
  struct Case {
    Failure failure;
    int number;
  };
  for (Case c : {Case{Failure::NOT_FOUND, 6416}, Case{Failure::ACCESS_DENIED, 6414},
                 Case{Failure::ALREADY_EXISTS, 6415}, Case{Failure::TOO_MANY_OPEN_FILES, 6417},
                 Case{Failure::INVALID_NAME, 6412}, Case{Failure::DISK_FULL, 6412},
                 Case{Failure::OTHER, 6412}}) {
    FakeMachine machine;
    machine.failWith = [&](const std::string& call, const std::string&) {
      return call == "openFile" ? c.failure : Failure::NONE;
    };
    FakePlatform fake(machine);
    auto outcome = runUntilEnd([] { openChannel(20, "x.prn", "UNKNOWN"); });
    EXPECT_EQ(outcome.exitCode, 1);
    std::string expected = "run-time error F" + std::to_string(c.number) + ": OPEN(x.prn)";
    EXPECT_NE(machine.standardError.find(expected), std::string::npos) << c.number;
    EXPECT_EQ(std::count(machine.calls.begin(), machine.calls.end(), "openFile(x.prn)"), 3);
  }
}

TEST(Channels, FullDiskIsReportedAndWrittenBytesStay) {
  FakeMachine machine;
  machine.diskSpace = 10;
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([] {
    openChannel(20, "out.prn", "UNKNOWN");
    for (int i = 0; i < 20000; ++i) writeRecord(20, "0123456789");
  });
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(visible(machine.standardError),
            visible(report("F6422: WRITE(out.prn)", "write failed: disk full")));
  EXPECT_EQ(machine.files["out.prn"].bytes, "0123456789");
}

TEST(Channels, RecordsStraddlingBlocksArriveWhole) {
  FakeMachine machine;
  FakePlatform fake(machine);
  std::string expected;
  const std::size_t records = 3 * BLOCK_SIZE / 29 + 7;
  auto outcome = runUntilEnd([&] {
    openChannel(20, "out.prn", "UNKNOWN");
    for (std::size_t i = 0; i < records; ++i) {
      std::string record(27, static_cast<char>('a' + i % 26));
      writeRecord(20, record);
      expected += record + "\r\n";
    }
    // A record longer than a whole block.
    std::string huge(BLOCK_SIZE + 5, 'h');
    writeRecord(20, huge);
    expected += huge + "\r\n";
    closeChannel(20);
    stopRun();
  });
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(machine.files["out.prn"].bytes, expected);
  EXPECT_EQ(machine.writeCalls, static_cast<int>((expected.size() + BLOCK_SIZE - 1) / BLOCK_SIZE));
}

TEST(Channels, FailureWhileClosingAtTheEndIsReportedOnceAndTheStopCodeStands) {
  FakeMachine machine;
  machine.failWith = [](const std::string& call, const std::string&) {
    return call == "writeFile" ? Failure::ACCESS_DENIED : Failure::NONE;
  };
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([] {
    writeRecord(CONSOLE_UNIT, " progress");
    openChannel(20, "out.prn", "UNKNOWN");
    writeRecord(20, "line");
    stopRun();
  });
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(visible(machine.standardError),
            visible(report("F6421: CLOSE(out.prn)", "write refused: no access to file")));
  // The owed line end is not paid after a failure during the end.
  EXPECT_EQ(visible(machine.standardOutput), visible("progress\r\nStop - Program terminated.\r\n"));
}

TEST(Channels, FormKeywordIgnoresCaseAndTrailingBlanks) {
  FakeMachine machine;
  machine.files["a.spc"] = {"x"};
  FakePlatform fake(machine);
  for (const char* form : {"binary", "BINARY", "Binary  "}) {
    openChannel(10, "a.spc", "old", form);
    EXPECT_EQ(channelOf(10).form, ChannelForm::BINARY) << form;
    closeChannel(10);
  }
  openChannel(10, "a.spc", "OLD");
  EXPECT_EQ(channelOf(10).form, ChannelForm::FORMATTED);
}

TEST(Channels, DeviceNamesAndTheirExceptions) {
  struct Case {
    const char* name;
    bool device;
  };
  for (Case c : {Case{"NUL", true}, Case{"nul.spc", true}, Case{"CON.spc", true},
                 Case{"PRN.txt", false /* no printer here: not found */}, Case{"LINE.SPC", false},
                 Case{"ERR.txt", false}, Case{"USER.spc", false}, Case{"C:\\CON.spc", false},
                 Case{"NULL", false}}) {
    FakeMachine machine;
    machine.folders = {"C:"};
    FakePlatform fake(machine);
    runUntilEnd([&] { openChannel(20, c.name, "UNKNOWN"); });
    bool deviceCall = false;
    for (const std::string& call : machine.calls) deviceCall |= call.rfind("openDevice", 0) == 0;
    bool fileMade = !machine.files.empty();
    if (std::string(c.name) == "PRN.txt") {
      EXPECT_TRUE(deviceCall);
      EXPECT_NE(machine.standardError.find("F6416: OPEN(PRN)"), std::string::npos);
    } else if (std::string(c.name) == "CON.spc") {
      EXPECT_FALSE(fileMade);
    } else {
      EXPECT_EQ(deviceCall, c.device) << c.name;
      EXPECT_EQ(fileMade, !c.device) << c.name;
    }
  }
}

}  // namespace
