// The bytes of a saved program: Windows-1252, CR LF between lines and after
// the last one.
#include <gtest/gtest.h>

#include "gcode/gcode_writer.h"
#include "gcode/program_bytes.h"
#include "test_support.h"

namespace ventaro {
namespace {

TEST(ProgramBytes, Windows1252WithFinalLineEnd) {
  EXPECT_EQ(programFileBytes(""), "");
  EXPECT_EQ(programFileBytes("T2"), "T2\r\n");
  EXPECT_EQ(programFileBytes("( Angle of Attack = 5\u00b0 )\r\nT2"), "( Angle of Attack = 5\xb0 )\r\nT2\r\n");
  // The euro sign and the other letters of 0x80 to 0x9F, Latin-1 as is.
  EXPECT_EQ(toWindows1252("\u20ac\u201c\u201d\u0160\u0178\u00e9\u00ff\u00a0"), "\x80\x93\x94\x8a\x9f\xe9\xff\xa0");
  // What the code page lacks: a C1 control, CJK, an emoji, broken UTF-8.
  EXPECT_EQ(toWindows1252("a\u0081b\u4e2dc\U0001F600d"), "a?b?c?d");
  EXPECT_EQ(toWindows1252("\xff|\xc3|\xe2\x82|\xc0\xaf|\xed\xa0\x80"), "?|?|??|??|???");
  // The file conversion works in the program's own buffer: the same rules.
  EXPECT_EQ(programFileBytes("G1 X1 Y2 Z3 \u20ac\xff|\xe2\x82|\u00b0\U0001F600."), "G1 X1 Y2 Z3 \x80?|??|\xb0?.\r\n");
}

TEST(ProgramBytes, DefaultProgram) {
  const std::string program = compute(JobFields(), test::table());
  const std::string bytes = programFileBytes(program);
  // One byte fewer for the degree sign, two more for the last line end.
  ASSERT_EQ(bytes.size(), program.size() - 1 + 2);
  const std::string head =
      "( Blade Diameter = 3.36m )\r\n( Number of blades = 3 )\r\n( Tip Speed Ratio = 6 )\r\n"
      "( Angle of Attack = 5\xb0 )\r\n";
  const std::string tail = "\r\nG1 X1678.4 Y203.77 Z4.9285\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

// The command line writes the file's bytes while the program is computed;
// they must be the bytes the window saves from the program's text.
TEST(ProgramBytes, WrittenDirectlyAsSavedFromText) {
  const std::vector<std::vector<std::pair<Field, const char*>>> jobs = {
      // The default blade.
      {},
      // The largest program: megabytes, in a buffer mapped for them.
      {{Field::HubRad, "0"}, {Field::STNfinish, "1000"}, {Field::STNrough, "1000"}, {Field::RoughPassesNo, "5"}},
      // No station at all.
      {{Field::HubRad, "2"}},
  };
  for (const auto& job : jobs) {
    JobFields fields;
    for (const auto& [field, text] : job) fields[field] = text;
    GcodeWriter file(GcodeWriter::Form::File);
    compute(fields, test::table(), file);
    EXPECT_EQ(file.takeFile().view(), programFileBytes(compute(fields, test::table()))) << job.size();
  }
}

TEST(ProgramBytes, FileWriterEncodesCopiedTextsAndGrows) {
  // Without a word of how many lines follow, the buffer grows from the heap
  // into a mapping of its own; copied texts are encoded on the way.
  GcodeWriter text;
  GcodeWriter file(GcodeWriter::Form::File);
  for (GcodeWriter* out : {&text, &file}) {
    out->comment("T2: \u00d8 6 \u20ac \u4e2d", true);
    out->feed(" 1200", Field::FinishFeed);
    for (int i = 0; i < 60000; ++i) {
      out->linearMove(CoordWord(i * 0.25), CoordWord(-1.5f), CoordWord(i * -0.001));
      if (i % 20000 == 0) out->line("(MSG, caf\u00e9)");
    }
  }
  const std::string expected = programFileBytes(text.take());
  ASSERT_GT(expected.size(), std::size_t{1} << 20);
  EXPECT_EQ(file.takeFile().view(), expected);
  EXPECT_EQ(file.takeFile().view(), "");  // the writer is empty afterwards
}

}  // namespace
}  // namespace ventaro
