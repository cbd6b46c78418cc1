// The writer of output files in process: which outputs name one file.
#include "files/output_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ventaro {
namespace {

namespace fs = std::filesystem;

class OutputFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ventaro-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    put("old.nc", "old");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }
  void put(const std::string& name, const std::string& bytes) const { std::ofstream(file(name)) << bytes; }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

TEST_F(OutputFilesTest, OutputsNamingOneFileAreFoundBeforeAnythingIsWritten) {
  ASSERT_EQ(::link(file("old.nc").c_str(), file("hard.nc").c_str()), 0);
  fs::create_directory_symlink(".", dir_ / "here");
  fs::create_symlink("missing.nc", dir_ / "dangling.nc");
  fs::create_symlink("dangling.nc", dir_ / "chain.nc");
  const std::vector<std::string> before = entries();
  struct Case {
    std::string first, second;
  };
  const std::vector<Case> cases{
      {"old.nc", "hard.nc"},       // one file under two names
      {"here/old.nc", "old.nc"},   // through a linked folder
      {"here/new.nc", "new.nc"},   // a new file through a linked folder
      {"chain.nc", "missing.nc"},  // a chain of links to a file not there yet
      {"new.nc", "./new.nc"},
  };
  for (const auto& c : cases) {
    OutputFiles files;
    files.add(file("fine.nc"), "fine");
    files.add(file(c.first), "first");
    files.add(file(c.second), "second");
    const auto error = files.commit();
    ASSERT_TRUE(error.has_value()) << c.second;
    EXPECT_EQ(error->kind, OutputError::Kind::SameFile);
    EXPECT_EQ(error->text, "two outputs name the same file: \"" + file(c.first) + "\" and \"" + file(c.second) + "\"");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(read("old.nc"), "old");
  }
}

}  // namespace
}  // namespace ventaro
