// A build without Qt: the SVG picture is written as in any build (the golden
// files), a PNG picture is refused with a message and nothing is written.
#include <gtest/gtest.h>

#include <string>

#include "cli_process.h"

namespace ventaro::testing {
namespace {

TEST(CliNoPng, PngRefused) {
  for (const char* option : {"--preview", "--check"}) {
    TempDir dir;
    const auto run = runCli({"-o", dir.file("b.nc"), "--stations", dir.file("s.csv"), option, dir.file("p.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "ventaro-gcode: this ventaro-gcode was built without Qt and cannot write PNG pictures; an SVG picture "
              "(--preview FILE.svg, --check FILE.svg) needs no Qt\n");
    EXPECT_TRUE(dir.entries().empty());
  }
}

}  // namespace
}  // namespace ventaro::testing
