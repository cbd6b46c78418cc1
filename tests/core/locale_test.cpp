// The program must not follow the regional settings of the machine: under
// a comma-decimal locale the texts still use the full stop, a comma is still
// not a number, and a whole run gives the same bytes.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <string>

#include "core/number_text.h"
#include "core/station_count.h"
#include "gcode/text_conventions.h"
#include "test_support.h"

namespace ventaro {
namespace {

class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    for (const char* name : names) {
      if (std::setlocale(LC_ALL, name)) {
        std::locale::global(std::locale(name));
        active_ = true;
        break;
      }
    }
    if (active_) return;
    const char* ci = std::getenv("CI");
    if (ci && std::strcmp(ci, "true") == 0) {
      FAIL() << "the de_DE.UTF-8 locale is missing; scripts/deps.sh generates it";
    }
    GTEST_SKIP() << "no de_DE.UTF-8 locale here; run scripts/deps.sh to generate it";
  }
  void TearDown() override {
    if (!active_) return;
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, saved_.c_str());
  }

 private:
  std::string saved_;
  bool active_ = false;
};

TEST_F(CommaLocale, ConversionsAndRunIgnoreIt) {
  // The locale is really in force: the C library now writes a comma.
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");

  EXPECT_EQ(parseNumber("1,5").status, ParseStatus::NotANumber);
  EXPECT_EQ(parseNumber("3.36").value, 3.36);
  EXPECT_EQ(NumberText(84.57142857142857), "84.5714285714286");
  EXPECT_EQ(NumberText(4.4000006f), "4.400001");
  EXPECT_EQ(NumberText(2.5e-7), "2.5E-07");
  EXPECT_EQ(CoordText(-12.3456789), "-12.34");
  EXPECT_EQ(stationCountText(test::fieldsWith({{Field::FinStep, "75"}}), Tool::Finishing), "98.6666666666667");

  std::string golden;
  {
    std::FILE* file = std::fopen(VENTARO_GOLDEN_PROGRAM, "rb");
    ASSERT_NE(file, nullptr);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) golden.append(buffer, n);
    std::fclose(file);
  }
  test::Recorder recorder;
  EXPECT_TRUE(compute(JobFields(), test::table(), &recorder) == golden);
  EXPECT_EQ(recorder.figures.back(), "53.60%");
}

}  // namespace
}  // namespace ventaro
