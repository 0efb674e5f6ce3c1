// Tests of layout parsing (every item form, malformed layouts) and of the walk's record ends as
// a read statement drives it, without any record text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textio/layout.h"

namespace {

using textio::LayoutItem;
using textio::LayoutItemKind;
using textio::RecordLayout;

// A compact picture of a parsed layout: "@reversion" then the items.
std::string describe(const RecordLayout& layout) {
  std::string text = "@" + std::to_string(layout.reversionPoint);
  for (int i = 0; i < layout.itemCount; ++i) {
    const LayoutItem& item = layout.items[i];
    std::string numbers =
        std::to_string(item.w) + "." + std::to_string(item.d) + "e" + std::to_string(item.e);
    std::string count = item.count == 1 ? "" : std::to_string(item.count);
    text += " ";
    switch (item.kind) {
      case LayoutItemKind::LITERAL:
        text += "'" + std::string(item.text) + "'";
        break;
      case LayoutItemKind::BLANKS:
        text += std::to_string(item.count) + "X";
        break;
      case LayoutItemKind::RECORD_BREAK:
        text += std::to_string(item.count) + "/";
        break;
      case LayoutItemKind::TEXT_FIELD:
        text += count + "A" + std::to_string(item.w);
        break;
      case LayoutItemKind::INTEGER_FIELD:
        text += count + "I" + numbers;
        break;
      case LayoutItemKind::FIXED_FIELD:
        text += count + "F" + numbers;
        break;
      case LayoutItemKind::EXPONENT_FIELD:
        text += count + "E" + numbers;
        break;
      case LayoutItemKind::SCALE:
        text += std::to_string(item.count) + "P";
        break;
      case LayoutItemKind::GROUP_START:
        text += count + "(";
        break;
      case LayoutItemKind::GROUP_END:
        text += ")";
        break;
      case LayoutItemKind::LAYOUT_END:
        text += "end";
        break;
    }
  }
  return text;
}

TEST(LayoutParse, EveryItemForm) {
  struct Case {
    const char* layout;
    const char* items;
  } cases[] = {
      {"(0P,F10.4,2X,1P,E15.7)", "@0 0P F10.4e2 2X 1P E15.7e2 end"},
      {"(1PE15.7,-2P,+3P F10.4)", "@0 1P E15.7e2 -2P 3P F10.4e2 end"},
      {" ( 1 p , e 1 5 . 7 e 3 , 1 2 x ) ", "@0 1P E15.7e3 12X end"},
      {"(A,A50,I7,I8.3,2F10.4,E15.7E3,F10)",
       "@0 A0 A50 I7.1e2 I8.3e2 2F10.4e2 E15.7e3 F10.1e2 end"},
      {"(/,2/,X,3X/)", "@0 1/ 2/ 1X 3X 1/ end"},
      {"(' Input file: ',A)", "@0 ' Input file: ' A0 end"},
      {"('don''t',\"say \"\"hi\"\"\",'')", "@0 'don''t' 'say \"\"hi\"\"' '' end"},
      {"('a,b)c'I3)", "@0 'a,b)c' I3.1e2 end"},
      // Reversion goes to the last group opened directly in the outer parentheses.
      {"(I1,2(I2,3(A)),'x',(F5.1),'y')", "@8 I1.1e2 2( I2.1e2 3( A0 ) ) 'x' ( F5.1e2 ) 'y' end"},
      {"(I1,2(I2,3(A)),'x')", "@1 I1.1e2 2( I2.1e2 3( A0 ) ) 'x' end"},
  };
  for (const Case& c : cases) {
    RecordLayout layout;
    textio::LayoutCheck check = textio::tryParseLayout(c.layout, layout);
    ASSERT_TRUE(check.ok) << c.layout << ": " << check.problem << " at " << check.column;
    EXPECT_EQ(describe(layout), c.items) << c.layout;
  }
}

TEST(LayoutParse, GroupsAreLinkedBothWays) {
  RecordLayout layout;
  textio::parseLayout("(I1,2(I2,3(A)))", layout);
  // items: I1 2( I2 3( A ) ) end
  EXPECT_EQ(layout.items[1].link, 6);
  EXPECT_EQ(layout.items[6].link, 1);
  EXPECT_EQ(layout.items[3].link, 5);
  EXPECT_EQ(layout.items[5].link, 3);
}

TEST(LayoutParse, MalformedLayoutsAreRefusedWithoutHarm) {
  std::string tooMany = "(";
  for (int i = 0; i < textio::MAX_LAYOUT_ITEMS; ++i) tooMany += "X,";
  tooMany += ")";
  std::string tooDeep(textio::MAX_GROUP_DEPTH + 1, '(');
  tooDeep = "(" + tooDeep + "A" + std::string(textio::MAX_GROUP_DEPTH + 2, ')');
  const std::string cases[] = {
      "",        "   ",      "(",      "F10.4",  "(F10.4",   "(F10.4))", "(A)x",
      "('abc)",  "('abc'')", "(Q)",    "(F10.)", "(E15.7E)", "(-F10.4)", "(+)",
      "(P)",     "(0X)",     "(0(A))", "(0/)",   "(0I5)",    "(32768X)", "(2'a')",
      "(A,(I2)", "(I99999)", "(1P",    "(2",     tooMany,    tooDeep,    std::string("(A\0)", 4),
  };
  for (const std::string& text : cases) {
    RecordLayout layout;
    textio::LayoutCheck check = textio::tryParseLayout(text, layout);
    EXPECT_FALSE(check.ok) << text;
    EXPECT_NE(check.problem, nullptr) << text;
    EXPECT_LE(check.column, text.size()) << text;
  }
}

TEST(LayoutParseDeathTest, ProgramLayoutFaultNamesLayoutAndColumn) {
  RecordLayout layout;
  EXPECT_DEATH(textio::parseLayout("(I7,Q)", layout), "malformed layout \\(I7,Q\\) at column 5");
}

// A read statement's walk: no record text, a record end at every break and reversion.
struct ReadWalk {
  RecordLayout layout;
  textio::LayoutWalk walk;
  int recordEnds = 0;

  explicit ReadWalk(const char* text) {
    textio::parseLayout(text, layout);
    textio::startWalk(walk, layout, text, nullptr, {countEnd, this});
  }
  static void countEnd(void* context, std::string_view text) {
    EXPECT_TRUE(text.empty());
    ++static_cast<ReadWalk*>(context)->recordEnds;
  }
};

TEST(LayoutWalk, ReadStatementRecordEnds) {
  {
    ReadWalk read("(F10.4)");
    const LayoutItem& first = textio::nextField(read.walk);
    EXPECT_EQ(first.kind, LayoutItemKind::FIXED_FIELD);
    EXPECT_EQ(first.w, 10);
    EXPECT_EQ(first.d, 4);
    EXPECT_EQ(read.recordEnds, 0);
    textio::nextField(read.walk);  // reversion: the next line
    EXPECT_EQ(read.recordEnds, 1);
    textio::finishWalk(read.walk);
    EXPECT_EQ(read.recordEnds, 2);
  }
  {
    ReadWalk read("(A)");  // no items: one line consumed
    textio::finishWalk(read.walk);
    EXPECT_EQ(read.recordEnds, 1);
  }
  {
    ReadWalk read("(2/,2A,3P,A,/)");
    EXPECT_EQ(textio::nextField(read.walk).kind, LayoutItemKind::TEXT_FIELD);
    EXPECT_EQ(read.recordEnds, 2);
    textio::nextField(read.walk);
    EXPECT_EQ(read.walk.scale, 0);
    textio::nextField(read.walk);
    EXPECT_EQ(read.walk.scale, 3);
    EXPECT_EQ(read.recordEnds, 2);
    textio::finishWalk(read.walk);  // the trailing "/" still ends a record, then the last one
    EXPECT_EQ(read.recordEnds, 4);
  }
}

}  // namespace
