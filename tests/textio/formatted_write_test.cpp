// Tests of write statements: the records of the program's own layouts, the walk's rules for
// blanks, breaks, scale and reversion, the integer and text fields, and the hand-over to channels.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "textio/channels.h"
#include "textio/formatted_write.h"
#include "textio/text_fields.h"

namespace {

using textio::WriteValue;
using Records = std::vector<std::string>;

void collect(void* context, std::string_view text) {
  static_cast<Records*>(context)->emplace_back(text);
}

Records write(std::string_view layout, std::initializer_list<WriteValue> values) {
  Records records;
  textio::formattedWriteTo({collect, &records}, layout, values.begin(), values.size());
  return records;
}

Records writePairs(std::string_view layout, const std::vector<double>& first,
                   const std::vector<double>& second) {
  Records records;
  textio::formattedWritePairsTo({collect, &records}, layout, first.data(), second.data(),
                                static_cast<std::int32_t>(first.size()));
  return records;
}

const char PRN[] = "(0P,F10.4,2X,1P,E15.7)";

// A 50-character path as the converter holds it: blank-filled on the right.
std::string path50(const std::string& path) {
  return path + std::string(50 - path.size(), ' ');
}

TEST(FormattedWrite, ConsoleLayoutsOfTheProgram) {
  const std::string t = path50("C:\\a.spc");
  EXPECT_EQ(write("(/,' Input file: ',A)", {std::string_view(t)}),
            (Records{"", " Input file: " + t}));
  EXPECT_EQ(write("(1X,I7,' points read from ',F10.4,' to ',F10.4,/,' Output file: ',A)",
                  {1868, 4000.0, 399.8, std::string_view(t)}),
            (Records{"    1868 points read from  4000.0000 to   399.8000", " Output file: " + t}));
  EXPECT_EQ(write("(' This file format is not supported')", {}),
            (Records{" This file format is not supported"}));
  EXPECT_EQ(write("(' new format(GRAMS) with MSB first',/,' this format is not presently "
                  "supported in this program',/,' execution is terminating')",
                  {}),
            (Records{" new format(GRAMS) with MSB first",
                     " this format is not presently supported in this program",
                     " execution is terminating"}));
  EXPECT_EQ(write("(/,/,' Error in READSC --- Data requested exceeds array size',/,' Array size "
                  "= ',I8,/,' Required size = ',I8)",
                  {100000, 123456}),
            (Records{"", "", " Error in READSC --- Data requested exceeds array size",
                     " Array size =   100000", " Required size =   123456"}));
}

TEST(FormattedWrite, PrnRecordsByReversion) {
  // Each reversion starts again at 0P, so x never shows under the scale 1 of the y field.
  EXPECT_EQ(writePairs(PRN, {400.0, 401.0}, {0.1234567, -2.0}),
            (Records{"  400.0000    1.2345670E-01", "  401.0000   -2.0000000E+00"}));
  // Without the 0P the scale stays 1 across the reversion: the second x is shown times ten.
  EXPECT_EQ(write("(F10.4,2X,1P,E15.7)", {1.0, 1.0, 2.0, 2.0}),
            (Records{"    1.0000    1.0000000E+00", "   20.0000    2.0000000E+00"}));
  EXPECT_EQ(writePairs(PRN, {}, {}), (Records{""}));
  // An odd number of values: the last record holds only x, and the 2X is lost.
  EXPECT_EQ(write(PRN, {1.0, 2.0, 3.0}), (Records{"    1.0000    2.0000000E+00", "    3.0000"}));
}

TEST(FormattedWrite, BlanksBreaksGroupsAndRepeats) {
  struct Case {
    const char* layout;
    std::initializer_list<WriteValue> values;
    Records records;
  } cases[] = {
      // Pending blanks reach the record only when more text follows in it.
      {"(I1,3X)", {1}, {"1"}},
      {"(I1,3X,'a',2X,I1)", {1, 2}, {"1   a  2"}},
      {"(I1,2X,/,'a')", {1}, {"1", "a"}},
      {"(3X)", {}, {""}},
      // Items after the last value run up to the next field.
      {"(I1,'a',/,'b',I1,'c')", {1}, {"1a", "b"}},
      {"('don''t',\"say \"\"hi\"\"\",'''')", {}, {"don'tsay \"hi\"'"}},
      {"(2/)", {}, {"", "", ""}},
      {"(2I2)", {1, 2, 3}, {" 1 2", " 3"}},
      // Reversion to the last outer group, with its repeat count.
      {"('h',I1,2(I2,';'),'e')", {1, 2, 3, 4, 5, 6, 7}, {"h1 2; 3;e", " 4; 5;e", " 6; 7;e"}},
      {"(2(I1,2('-',I1)),'|')", {1, 2, 3, 4, 5, 6, 7}, {"1-2-34-5-6|", "7-"}},
      // Blanks before the layout end are dropped with the record; a scale set there carries on.
      {"(2X,I1,3X)", {1, 2}, {"  1", "  2"}},
      {"(F6.1,2P)", {1.0, 1.0}, {"   1.0", " 100.0"}},
  };
  for (const Case& c : cases) EXPECT_EQ(write(c.layout, c.values), c.records) << c.layout;
}

TEST(FormattedWrite, TextFields) {
  const std::string t = path50("C:\\a.spc");
  EXPECT_EQ(write("(A)", {std::string_view(t)}), (Records{t}));  // trailing blanks kept
  EXPECT_EQ(write("(A4,'|',A8,'|',a3)",
                  {std::string_view("abcdef"), std::string_view("abc"), std::string_view("")}),
            (Records{"abcd|     abc|   "}));
}

TEST(FormattedWrite, IntegerFields) {
  struct Case {
    std::int32_t value;
    int w, m;
    const char* text;
    bool plusSign = false;
  } cases[] = {
      {100000, 7, 1, " 100000"},
      {0, 7, 1, "      0"},
      {-5, 7, 1, "     -5"},
      {12345678, 7, 1, "*******"},
      {9999999, 7, 1, "9999999"},
      {-999999, 7, 1, "-999999"},
      {-1000000, 7, 1, "*******"},
      {-9999999, 8, 1, "-9999999"},
      {99999999, 8, 1, "99999999"},
      {INT32_MIN, 11, 1, "-2147483648"},
      {INT32_MIN, 10, 1, "**********"},
      {0, 3, 0, "   "},
      {7, 5, 3, "  007"},
      {-7, 4, 3, "-007"},
      {-7, 3, 3, "***"},
      {5, 3, 1, " +5", true},
      {5, 0, 1, ""},
  };
  for (const Case& c : cases) {
    std::string text(static_cast<std::size_t>(c.w), '?');
    textio::renderInteger(text.data(), c.value, c.w, c.m, c.plusSign);
    EXPECT_EQ(text, c.text) << c.value << " I" << c.w << "." << c.m;
  }
  EXPECT_EQ(write("(I7,I3.2)", {-5, 0}), (Records{"     -5 00"}));
}

TEST(FormattedWrite, OverlongRecordsAreCut) {
  std::string huge(textio::MAX_RECORD_LENGTH + 100, 'a');
  Records records = write("(A)", {std::string_view(huge)});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], huge.substr(0, textio::MAX_RECORD_LENGTH));
  records = write("(32767X,I32767,2(32767X,'b'))", {1});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].size(), textio::MAX_RECORD_LENGTH);
  EXPECT_EQ(records[0].find_first_not_of(' '), std::string::npos);
}

TEST(FormattedWriteDeathTest, MisusedLayoutsAbort) {
  EXPECT_DEATH(write("('no field')", {1}), "a value has no field");
  EXPECT_DEATH(write("(I5,('x'))", {1, 2}), "a value has no field");
  EXPECT_DEATH(write("(I5)", {1.0}), "another kind");
  EXPECT_DEATH(write("(F5.1)", {std::string_view("x")}), "another kind");
}

TEST(FormattedWrite, RecordsReachChannels) {
  testsupport::FakeMachine machine;
  testsupport::FakePlatform platform(machine);
  const double x[] = {400.0, 401.0};
  const double y[] = {0.1234567, -2.0};
  textio::openChannel(20, "out.prn", "UNKNOWN");
  textio::formattedWritePairs(20, PRN, x, y, 2);
  textio::closeChannel(20);
  EXPECT_EQ(testsupport::visible(machine.files["out.prn"].bytes),
            testsupport::visible("  400.0000    1.2345670E-01\r\n  401.0000   -2.0000000E+00\r\n"));
  const std::string t = path50("C:\\S\\A.SPC");
  textio::formattedWrite(textio::CONSOLE_UNIT, "(/,' Input file: ',A)", {std::string_view(t)});
  EXPECT_EQ(testsupport::visible(machine.standardOutput),
            testsupport::visible("\r\nInput file: " + t));
}

}  // namespace
