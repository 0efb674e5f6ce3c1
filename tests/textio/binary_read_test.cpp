// Read statements on binary channels: bytes delivered unchanged across block boundaries, the
// end of the file with and without a branch, read failures, and the cost in file reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "support/fake_platform.h"
#include "textio/binary_read.h"
#include "textio/channels.h"
#include "textio/termination.h"

namespace {

using platform::Failure;
using testsupport::FakeMachine;
using testsupport::FakePlatform;
using testsupport::runUntilEnd;
using testsupport::visible;
using namespace textio;

constexpr UnitNumber UNIT = 10;

std::string ioReport(int number) {
  return "\r\nrun-time error F" + std::to_string(number) + ": READ(data.bin)\r\n- " +
         std::string(ioErrorDescription(number)) + "\r\n";
}

/// Bytes 0, 1, 2, ... 255, 0, 1, ... so that any offset can be told from its contents.
std::string countingBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(k & 0xFF);
  return bytes;
}

TEST(BinaryRead, ItemsTakeTheNextBytesUnchangedAcrossBlocks) {
  FakeMachine machine;
  std::string bytes = countingBytes(2 * BLOCK_SIZE + 10);
  bytes.replace(0, 4, "\r\n\x1a\x00", 4);
  machine.files["data.bin"] = {bytes};
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([&] {
    openChannel(UNIT, "data.bin", "OLD", "binary");
    unsigned char control[3];
    std::uint8_t zero = 0xEE;
    EXPECT_EQ(binaryRead(UNIT, false, {{control, 3}, {&zero, 1}}), ReadOutcome::COMPLETED);
    EXPECT_EQ(std::memcmp(control, "\r\n\x1a", 3), 0);
    EXPECT_EQ(zero, 0);

    // Up to 2 bytes before the first block's end, then a 4-byte item spanning it.
    static unsigned char skip[BLOCK_SIZE];
    EXPECT_EQ(binaryRead(UNIT, false, {{skip, BLOCK_SIZE - 6}}), ReadOutcome::COMPLETED);
    std::uint32_t spanning = 0;
    EXPECT_EQ(binaryRead(UNIT, false, {{&spanning, 4}}), ReadOutcome::COMPLETED);
    EXPECT_EQ(spanning, 0x0100FFFEu);  // bytes FE FF 00 01, least significant first

    // An item larger than a whole block spans three of them.
    static unsigned char large[BLOCK_SIZE + 4];
    EXPECT_EQ(binaryRead(UNIT, false, {{large, sizeof large}}), ReadOutcome::COMPLETED);
    EXPECT_EQ(std::memcmp(large, bytes.data() + BLOCK_SIZE + 2, sizeof large), 0);
    unsigned char rest[4];
    EXPECT_EQ(binaryRead(UNIT, false, {{rest, 4}}), ReadOutcome::COMPLETED);
    EXPECT_EQ(std::memcmp(rest, bytes.data() + 2 * BLOCK_SIZE + 6, 4), 0);
    closeChannel(UNIT);
  });
  EXPECT_FALSE(outcome.ended) << visible(machine.standardError);
}

TEST(BinaryRead, SmallItemsCostOneFileReadPerBlock) {
  FakeMachine machine;
  const std::size_t values = 100000;
  machine.files["data.bin"] = {countingBytes(4 * values)};
  FakePlatform fake(machine);
  std::size_t completed = 0;
  auto outcome = runUntilEnd([&] {
    openChannel(UNIT, "data.bin", "OLD", "binary");
    Channel& channel = channelOf(UNIT);
    std::int32_t value;
    while (binaryReadItem(channel, true, &value, 4) == ReadOutcome::COMPLETED) ++completed;
  });
  EXPECT_FALSE(outcome.ended);
  EXPECT_EQ(completed, values);
  // Every full block, the last partial one, and the read that finds the end.
  EXPECT_EQ(machine.readCalls, static_cast<int>(4 * values / BLOCK_SIZE + 2));
}

TEST(BinaryRead, EndOfFileWithBranchLeavesAMixedItemAndLaterItemsUntouched) {
  FakeMachine machine;
  machine.files["data.bin"] = {std::string("\x11\x22\x33\x44\x55\x66", 6)};
  FakePlatform fake(machine);
  auto outcome = runUntilEnd([&] {
    openChannel(UNIT, "data.bin", "OLD", "binary");
    std::uint32_t first = 0, second = 0xAAAAAAAA, third = 0xBBBBBBBB;
    EXPECT_EQ(binaryRead(UNIT, true, {{&first, 4}}), ReadOutcome::COMPLETED);
    EXPECT_EQ(binaryRead(UNIT, true, {{&second, 4}, {&third, 4}}), ReadOutcome::END_OF_FILE);
    EXPECT_EQ(first, 0x44332211u);
    EXPECT_EQ(second, 0xAAAA6655u);
    EXPECT_EQ(third, 0xBBBBBBBBu);
    // The end stays the end.
    EXPECT_EQ(binaryRead(UNIT, true, {{&first, 1}}), ReadOutcome::END_OF_FILE);
  });
  EXPECT_FALSE(outcome.ended);
}

TEST(BinaryRead, EndOfFileWithoutBranchEndsTheRunAfterFillingWhatItCould) {
  struct Case {
    std::string contents;
    std::size_t firstWidth, secondWidth;
  };
  // A 1-byte file read as two 1-byte items; a file ending 2 bytes into a 4-byte item.
  for (const Case& c : {Case{"\x07", 1, 1}, Case{"\x07\x08", 1, 4}, Case{"", 1, 1}}) {
    FakeMachine machine;
    machine.files["data.bin"] = {c.contents};
    FakePlatform fake(machine);
    std::uint32_t first = 0, second = 0;
    auto outcome = runUntilEnd([&] {
      openChannel(UNIT, "data.bin", "OLD", "binary");
      binaryRead(UNIT, false, {{&first, c.firstWidth}, {&second, c.secondWidth}});
    });
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(visible(machine.standardError), visible(ioReport(6501)));
    EXPECT_EQ(machine.standardOutput, "");
    EXPECT_EQ(first, c.contents.empty() ? 0u : 7u);
  }
}

TEST(BinaryRead, ReadFailureEndsTheRunEvenWithABranch) {
  for (bool branch : {false, true}) {
    FakeMachine machine;
    machine.files["data.bin"] = {countingBytes(BLOCK_SIZE + 4)};
    int reads = 0;
    machine.failWith = [&](const std::string& call, const std::string&) {
      return call == "readFile" && ++reads == 2 ? Failure::OTHER : Failure::NONE;
    };
    FakePlatform fake(machine);
    auto outcome = runUntilEnd([&] {
      openChannel(UNIT, "data.bin", "OLD", "binary");
      static unsigned char bytes[BLOCK_SIZE + 4];
      binaryRead(UNIT, branch, {{bytes, sizeof bytes}});
    });
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(visible(machine.standardError), visible(ioReport(6500)));
  }
}

}  // namespace
