// Replays the checked-in fuzz corpus through the fuzz targets' checks, so
// that every build (the sanitizer build too) holds the same invariants on
// the realistic and hostile field texts kept there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_invariants.h"

namespace ventaro {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpus(const char* target) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(VENTARO_FUZZ_CORPUS) / target)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(FuzzCorpus, EveryComputeSeedKeepsTheInvariants) {
  const auto files = corpus("compute");
  ASSERT_GE(files.size(), 30u);
  for (const auto& file : files) {
    EXPECT_EQ(fuzzing::computeRunProblem(bytesOf(file)), "") << file.filename();
  }
}

TEST(FuzzCorpus, EveryStationCountSeedKeepsTheInvariants) {
  const auto files = corpus("station_count");
  ASSERT_GE(files.size(), 10u);
  for (const auto& file : files) {
    EXPECT_EQ(fuzzing::stationCountProblem(bytesOf(file)), "") << file.filename();
  }
}

TEST(FuzzInput, FieldsFollowTheWindowsRowsAndKeepTheirDefaults) {
  const JobFields fields = fuzzing::fieldsFromInput("7\n\n0.1");
  EXPECT_EQ(fields[Field::TSR], "7");
  EXPECT_EQ(fields[Field::D], "");
  EXPECT_EQ(fields[Field::HubRad], "0.1");
  EXPECT_EQ(fields[Field::B], "3");
  EXPECT_EQ(fields[Field::FinStep], "74");

  // A first byte 0 makes 0 the separator, so a text can hold a line feed.
  const JobFields zero = fuzzing::fieldsFromInput(std::string("\0a\nb\0c", 6));
  EXPECT_EQ(zero[Field::TSR], "a\nb");
  EXPECT_EQ(zero[Field::D], "c");
  EXPECT_EQ(zero[Field::HubRad], "0.2");
}

}  // namespace
}  // namespace ventaro
