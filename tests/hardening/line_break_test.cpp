// Field texts copied into the program must not carry a line break: it would
// split a program line and let the text write lines of its own.
#include <gtest/gtest.h>

#include "gcode/compute.h"

namespace ventaro {
namespace {

class LineBreaks : public ::testing::Test {
 protected:
  LineBreaks() { table.fill(); }

  // The error of a run with the changed fields; fails the test when the run
  // succeeds.
  RunError failure(std::initializer_list<std::pair<Field, const char*>> changes) {
    JobFields fields;
    for (const auto& [field, text] : changes) fields[field] = text;
    try {
      compute(fields, table);
    } catch (const RunError& e) {
      return e;
    }
    ADD_FAILURE() << "the run succeeded";
    return RunError(ErrorKind::Overflow, std::nullopt, "none");
  }
  SectionTable table;
};

TEST_F(LineBreaks, EveryCopiedTextIsRefusedAsTypeMismatchNamingItsField) {
  for (const Field field :
       {Field::D, Field::B, Field::TSR, Field::AT, Field::Cl, Field::RoughDia, Field::RoughFeed, Field::FinishFeed}) {
    for (const char* text : {"12\r\n00", "1200\n", "\r1200", "1200\nG0 Z-50"}) {
      const RunError e = failure({{field, text}});
      EXPECT_EQ(e.kind(), ErrorKind::TypeMismatch) << fieldLabel(field);
      EXPECT_EQ(e.field(), field) << fieldLabel(field);
      EXPECT_EQ(e.report(), "Type mismatch: \u201c" + std::string(fieldLabel(field)) + "\u201d holds a line break.");
    }
  }
}

TEST_F(LineBreaks, ReportsNameTheFieldAsTheClientDoes) {
  const auto control = [](Field field) { return std::string(fieldInfo(field).control); };
  EXPECT_EQ(failure({{Field::RoughFeed, "1200\n"}}).report(control), "Type mismatch: txtRoughFeed holds a line break.");
}

TEST_F(LineBreaks, AreFoundWhereTheTextIsCopied) {
  // The fields read while the record is filled, the stock allowance and the
  // progress step all come before the header.
  EXPECT_EQ(failure({{Field::RoughFeed, "1\n"}, {Field::HubRad, ""}}).field(), Field::HubRad);
  EXPECT_EQ(failure({{Field::TSR, "6\n"}, {Field::RoughDepth, "x"}}).field(), Field::RoughDepth);
  EXPECT_EQ(failure({{Field::D, "3.36\n"}, {Field::STNfinish, "0"}, {Field::STNrough, "0"}}).kind(),
            ErrorKind::DivisionByZero);
  // Header lines in their order, then the roughing tool block.
  EXPECT_EQ(failure({{Field::Cl, "\n"}, {Field::B, "\n"}}).field(), Field::B);
  EXPECT_EQ(failure({{Field::RoughFeed, "\n"}, {Field::AT, "\n"}}).field(), Field::AT);
  EXPECT_EQ(failure({{Field::RoughFeed, "\n"}, {Field::RoughDia, "\n"}}).field(), Field::RoughDia);
  // The finishing feed is copied after the roughing passes, so a pass
  // count too large for the pass texts fails first.
  const RunError passes = failure({{Field::FinishFeed, "600\n"}, {Field::RoughPassesNo, "6"}});
  EXPECT_EQ(passes.kind(), ErrorKind::SubscriptOutOfRange);
}

TEST_F(LineBreaks, AreRefusedEvenWhereTheTextIsNeverConverted) {
  // Beyond the tip no station is computed, so the tip speed ratio is only
  // ever copied; before the check it split the header's comment.
  const RunError e = failure({{Field::HubRad, "2"}, {Field::TSR, "6\n"}});
  EXPECT_EQ(e.field(), Field::TSR);
}

TEST_F(LineBreaks, BlanksAndTabsAreStillCopiedAsTyped) {
  JobFields fields;
  fields[Field::RoughFeed] = " 1200\t";
  fields[Field::RoughDia] = "37 ";
  const std::string program = compute(fields, table);
  EXPECT_NE(program.find("\r\nF 1200\t\r\n"), std::string::npos);
  EXPECT_NE(program.find("\r\n( T1:37  )\r\n"), std::string::npos);
}

}  // namespace
}  // namespace ventaro
