// Output names and SQUEEZE on their own, for the cases a real folder cannot show end to end.
#include <gtest/gtest.h>

#include <string>

#include "conversion/output_name.h"

namespace {

using conversion::OUTPUT_NAME;
using conversion::Path;
using conversion::SQUEEZE;

std::string trimmed(const Path& path) {
  std::string text(path.view());
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

TEST(OutputName, DerivedNames) {
  struct Case {
    const char *infile, *outdir, *outname;
  };
  for (Case c :
       {Case{"C:\\spectra\\run5.spc", "", "\\run5.prn"}, Case{"", "C:\\out", "C:\\out\\.prn"},
        Case{"   C:\\s\\a b.spc", "C:\\o", "C:\\o\\ab.prn"}, Case{"run.", "out", "out\\run.prn"},
        Case{"x\\.spc", "out", "out\\.prn"},
        Case{"abcdefghijabcdefghijabcdefghijabcdefghijabcdef.spc", "o",
             "o\\abcdefghijabcdefghijabcdefghijabcdefghijabcdef.p"}}) {
    EXPECT_EQ(trimmed(OUTPUT_NAME(Path(c.infile), Path(c.outdir))), c.outname) << c.infile;
  }
}

TEST(OutputName, SqueezeKeepsWhatLiesAfterTheLastNonEmptyCharacter) {
  char text[] = {' ', 'a', '\0', 'b', '\t', 'c', ' ', '\0', ' '};
  SQUEEZE(text, sizeof text);
  EXPECT_EQ(std::string(text, sizeof text), std::string("ab\tc   \0 ", 9));

  char blank[] = {' ', '\0', ' '};
  SQUEEZE(blank, sizeof blank);
  EXPECT_EQ(std::string(blank, 3), std::string(" \0 ", 3));
  SQUEEZE(blank, 0);
}

}  // namespace
