// Tests of reading a control file: lines across blocks, the A and F fields, the read statements
// with a layout and in the free form, and the exact report of every field error.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "textio/control_read.h"
#include "textio/termination.h"

namespace {

using testsupport::FakeMachine;
using testsupport::FakePlatform;
using testsupport::runUntilEnd;
using testsupport::visible;
using textio::formattedRead;
using textio::freeFormRead;

using Text = textio::FixedText<50>;

constexpr std::int32_t UNTOUCHED = 12345;

// A fresh machine whose convert.dat holds `bytes`, open on channel 10.
struct ControlFile {
  explicit ControlFile(const std::string& bytes) {
    machine.files["convert.dat"].bytes = bytes;
    textio::openChannel(10, "convert.dat", "OLD");
  }
  FakeMachine machine;
  FakePlatform fake{machine};
};

std::string padded(const std::string& text) {
  return text + std::string(50 - text.size(), ' ');
}

// The line the channel stands at, read as a text: shows where a statement left off.
std::string nextLine() {
  Text text;
  formattedRead(10, "(A)", {text.item()});
  std::string line(text.view());
  return line.erase(line.find_last_not_of(' ') + 1);
}

// The statement must end the run with the report of `number` on standard error.
void expectReport(ControlFile& file, int number, const std::function<void()>& statement) {
  auto outcome = runUntilEnd(statement);
  EXPECT_TRUE(outcome.ended);
  EXPECT_EQ(outcome.exitCode, 1);
  std::string expected = "\r\nrun-time error F" + std::to_string(number) +
                         ": READ(convert.dat)\r\n- " +
                         std::string(textio::ioErrorDescription(number)) + "\r\n";
  EXPECT_EQ(visible(file.machine.standardError), visible(expected));
}

TEST(ControlRead, EndOfFileReportHasItsExactBytes) {
  ControlFile file("");
  auto outcome = runUntilEnd([] {
    std::int32_t count = 0;
    freeFormRead(10, {&count});
  });
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(
      visible(file.machine.standardError),
      visible("\r\nrun-time error F6501: READ(convert.dat)\r\n- end of file encountered\r\n"));
}

TEST(ControlRead, TextFieldTakesTheLineAsItStands) {
  struct Case {
    std::string line;
    std::string text;  // before blank-filling to 50
  };
  const std::string sixty = std::string(50, 'p') + "0123456789";
  const Case cases[] = {
      {sixty, std::string(50, 'p')},
      {"abc", "abc"},
      {"", ""},
      {"a\tb", "a\tb"},
      {"C:\\a.spc\r", "C:\\a.spc"},
      {"C:\\a\rb.spc", "C:\\a"},
      {"  lead", "  lead"},
      {std::string("n\0z\x1a\xe9", 5), std::string("n\0z\x1a\xe9", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(visible(c.line));
    ControlFile file(c.line + "\nNEXT\n");
    // By reversion the second text comes from the next line.
    Text first, second;
    formattedRead(10, "(A)", {first.item(), second.item()});
    EXPECT_EQ(visible(std::string(first.view())), visible(padded(c.text)));
    EXPECT_EQ(std::string(second.view()), padded("NEXT"));
  }
}

TEST(ControlRead, StatementWithoutItemsConsumesOneLine) {
  ControlFile file("ignored\n\nkept\n");
  formattedRead(10, "(A)", {});
  EXPECT_EQ(nextLine(), "");
  EXPECT_EQ(nextLine(), "kept");
}

TEST(ControlRead, TextListReadsOneLinePerPath) {
  ControlFile file("a.spc\r\nb.spc\nc.spc\nout\n");
  Text paths[2];
  textio::TextItem items[2] = {paths[0].item(), paths[1].item()};
  formattedRead(10, "(A)", std::span<const textio::TextItem>(items));
  EXPECT_EQ(std::string(paths[0].view()), padded("a.spc"));
  EXPECT_EQ(std::string(paths[1].view()), padded("b.spc"));
  EXPECT_EQ(nextLine(), "c.spc");
}

// Lines straddle the block, and a last line without LF ends exactly at, before or after it.
TEST(ControlRead, LastLineWithoutLineEndIsReadAtAnySize) {
  for (std::size_t size : {textio::BLOCK_SIZE - 1, textio::BLOCK_SIZE, textio::BLOCK_SIZE + 1,
                           2 * textio::BLOCK_SIZE + 7}) {
    SCOPED_TRACE(size);
    ControlFile file(std::string(size - 5, 'x') + "\nLAST");
    EXPECT_EQ(nextLine(), std::string(50, 'x'));
    EXPECT_EQ(nextLine(), "LAST");
    expectReport(file, 6501, [] { formattedRead(10, "(A)", {}); });
  }
}

TEST(ControlRead, ReadFailureIsReported) {
  ControlFile file("1\n");
  file.machine.failWith = [](const std::string& call, const std::string&) {
    return call == "readFile" ? platform::Failure::OTHER : platform::Failure::NONE;
  };
  expectReport(file, 6500, [] {
    std::int32_t count = 0;
    freeFormRead(10, {&count});
  });
}

TEST(ControlRead, RealFieldValues) {
  struct Case {
    const char* layout;
    std::string line;
    double value;
  };
  const Case cases[] = {
      {"(F10.4)", "4000", 0.4},
      {"(F10.4)", "   4000.0", 4000},
      {"(F10.4)", "      4000", 0.4},
      {"(F10.4)", "4000.", 4000},
      {"(F10.4)", "-1.5E3", -1500},
      {"(F10.4)", "1.5D+02", 150},
      {"(F10.4)", "1.5d2", 150},
      {"(F10.4)", "1.5-1", 0.15},
      {"(F10.4)", "1.5+1", 15},
      {"(F10.4)", "12345E2", 123.45},
      {"(F10.4)", "", 0},
      {"(F10.4)", "          ", 0},
      {"(F10.4)", "12,5", 0.0012},
      {"(F10.4)", "1234.5678901", 1234.56789},
      {"(F10.4)", "12345.678901", 12345.6789},
      {"(F10.4)", "1 2 3", 0.0123},
      {"(F10.4)", "\t2.5\r", 2.5},
      {"(F10.4)", "2.5\r9", 2.5},
      {"(F10.4)", "-", 0},
      {"(F10.4)", ".", 0},
      {"(F10.4)", "+.", 0},
      {"(F10.4)", ".5", 0.5},
      {"(F10.4)", "-.5", -0.5},
      {"(F10.4)", "-E5", 0},
      {"(F10.4)", "0.1", 0.1},
      {"(F10.4)", "1.0E-320", 1e-320},
      {"(F10.4)", "1E-400", 0},
      {"(F10.4)", "0E999999", 0},
      {"(F30.0)", "1.7976931348623158E308", DBL_MAX},
      {"(F30.0)", "2.2250738585072011E-308", 2.2250738585072011e-308},
      {"(F30.0)", "9007199254740993", 9007199254740992.0},  // halfway: to even
      {"(F30.0)", "9007199254740993.0000001", 9007199254740994.0},
      // Digits far beyond those kept still decide the rounding.
      {"(F1000.0)", "9007199254740993." + std::string(900, '0') + "1", 9007199254740994.0},
      {"(F1000.0)", "9007199254740993." + std::string(900, '0'), 9007199254740992.0},
      {"(F1000.0)", "0." + std::string(900, '0') + "1E905", 1e4},
      {"(1P,F10.4)", "15", 0.00015},
      {"(1P,F10.4)", "1.5E1", 15},
      {"(E15.7)", "  1.2345670E-01", 0.123456700},
      {"(3X,F4.1)", "abc12345", 123.4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout + (" " + visible(c.line)));
    ControlFile file(c.line + "\nNEXT\n");
    double value = -999;
    formattedRead(10, c.layout, {&value});
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(nextLine(), "NEXT");
  }
}

// Any decimal text must give the double glibc's correctly rounded strtod gives.
TEST(ControlRead, RealFieldMatchesStrtodOnRandomTexts) {
  std::mt19937_64 random(20240611);
  std::vector<std::string> texts;
  std::string file;
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 2 ? "-" : "";
    int digits = 1 + static_cast<int>(random() % 25);
    int point = static_cast<int>(random() % (digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (point == digits) text += '.';
    text += "E" + std::to_string(static_cast<int>(random() % 660) - 340);
    if (std::isinf(std::strtod(text.c_str(), nullptr))) continue;  // the overflow report
    texts.push_back(text);
    file += text + "\n";
  }
  ControlFile control(file);
  for (const std::string& text : texts) {
    double expected = std::strtod(text.c_str(), nullptr);
    double value = -999;
    formattedRead(10, "(F40.0)", {&value});
    ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << text;
  }
}

TEST(ControlRead, TwoBoundsComeFromTwoLines) {
  ControlFile file("4000.0    garbage\n   399.8\nNEXT\n");
  double x1 = 0, x2 = 0;
  formattedRead(10, "(F10.4)", {&x1, &x2});
  EXPECT_EQ(x1, 4000.0);
  EXPECT_EQ(x2, 399.8);
  EXPECT_EQ(nextLine(), "NEXT");
}

TEST(ControlRead, RealFieldErrors) {
  struct Case {
    std::string file;
    int number;
    const char* layout = "(F10.4)";
  };
  const Case cases[] = {
      {"1.2.3\n", 6103},
      {"12a\n", 6103},
      {"1E\n", 6103},
      {"1E+\n", 6103},
      {"10.0 20.0\n", 6103},
      {"E5\n", 6103},
      {"1.5\x1a\n", 6501},
      {"a\x1a\n", 6501},
      {"1.E309\n", 6102},
      {"-1.E309\n", 6102},
      {"4000\n", 6501},
      {"", 6501},
      {std::string("1\0", 2) + "\n", 6103},
      // Just above the halfway point between the largest double and the next power of two.
      {"1.797693134862315808E308\n", 6102, "(F30.0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(visible(c.file));
    ControlFile file(c.file);
    expectReport(file, c.number, [&c] {
      double x1 = 0, x2 = 0;
      formattedRead(10, c.layout, {&x1, &x2});
    });
  }
}

TEST(ControlRead, FreeFormCount) {
  struct Case {
    std::string lines;
    std::int32_t count;
  };
  const Case cases[] = {
      {"  7", 7},
      {"7,8,9", 7},
      {"3 files", 3},
      {"3,9", 3},
      {"\n7", 7},
      {" \t\n\r\n  \n7", 7},
      {"7\r", 7},
      {"\t7\t", 7},
      {"2*7", 7},
      {",7", UNTOUCHED},
      {" , 7", UNTOUCHED},
      {"/", UNTOUCHED},
      {"/7", UNTOUCHED},
      {"7/", 7},
      {"+7", 7},
      {"-7", -7},
      {"-", 0},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"-0002147483648", INT32_MIN},
      {"16#1A", 26},
      {"-2*7", 7},  // a negative repeat count owes nothing more
      {"#ff", 255},
      {"2#101", 5},
      {"36#zZ", 35 * 36 + 35},
      {"10#2147483647", 2147483647},
      {"16#FFFFFFFF", -1},
      {"16#80000000", INT32_MIN},
      {"-16#1", -1},
      {"16#", 0},
      {std::string("7\0x", 3), 7},
      {"7\x1a.x", 7},
      {"16#1F\x1a#", 31},
      {std::string(258, '0') + "7", 7},
      {"7\x1a" + std::string(300, '9'), 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(visible(c.lines));
    ControlFile file(c.lines + "\nNEXT\n");
    std::int32_t count = UNTOUCHED;
    freeFormRead(10, {&count});
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(nextLine(), "NEXT");
  }
}

TEST(ControlRead, FreeFormSeveralValues) {
  struct Case {
    std::string lines;
    std::int32_t a, b, c;
  };
  const Case cases[] = {
      {"1 2 3", 1, 2, 3},
      {"1\n2\n3", 1, 2, 3},
      {"1,,3", 1, UNTOUCHED, 3},
      {"1 , 2 , 3", 1, 2, 3},
      {"1 ,, 3", 1, UNTOUCHED, 3},
      {"1,\n\n2,3", 1, 2, 3},
      {"2*5 7", 5, 5, 7},
      {"3*5", 5, 5, 5},
      {"2* 7", UNTOUCHED, UNTOUCHED, 7},
      {"2*,7", UNTOUCHED, UNTOUCHED, 7},
      {"1/ 9", 1, UNTOUCHED, UNTOUCHED},
      {"1 2/", 1, 2, UNTOUCHED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(visible(c.lines));
    ControlFile file(c.lines + "\nNEXT\n");
    std::int32_t a = UNTOUCHED, b = UNTOUCHED, third = UNTOUCHED;
    freeFormRead(10, {&a, &b, &third});
    EXPECT_EQ(a, c.a);
    EXPECT_EQ(b, c.b);
    EXPECT_EQ(third, c.c);
    EXPECT_EQ(nextLine(), "NEXT");
  }
}

TEST(ControlRead, FreeFormErrors) {
  struct Case {
    std::string file;
    int number;
  };
  const Case cases[] = {
      {"7.0\n", 6101},
      {"seven\n", 6101},
      {"1E3\n", 6101},
      {"+-7\n", 6101},
      {"8#9\n", 6101},
      {"16#1G\n", 6101},
      {"16#1.\n", 6101},
      {"2147483648\n", 6100},
      {"-2147483649\n", 6100},
      {"10#2147483648\n", 6100},
      {"16#100000000\n", 6100},
      {"99999999999999999999\n", 6100},
      {std::string(259, '0') + "7\n", 6100},
      {"37#1\n", 6303},
      {"1#1\n", 6303},
      {"0#1\n", 6303},
      {"99999999999#1\n", 6303},
      {"16#1#2\n", 6302},
      {"0*7\n", 6502},
      {"*7\n", 6502},
      {"2*3*4\n", 6503},
      {"'7'\n", 6504},
      {"\"7\"\n", 6504},
      {"(1,2)\n", 6504},
      {"2*'a'\n", 6504},
      {"", 6501},
      {"\n\r\n  \n", 6501},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(visible(c.file));
    ControlFile file(c.file);
    expectReport(file, c.number, [] {
      std::int32_t count = 0;
      freeFormRead(10, {&count});
    });
  }
}

}  // namespace
