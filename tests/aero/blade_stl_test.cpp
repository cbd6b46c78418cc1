// The outputs for the maker. The blade as a closed solid: Debian's admesh finds one part with no open
// edge and nothing to mend, and the solid's volume is the integral of the
// section areas along the span.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "blade/blade_model.h"
#include "cli_process.h"
#include "core/fields.h"
#include "core/job_parameters.h"
#include "core/section_table.h"

namespace ventaro {
namespace {

using testing::runCli;
using testing::TempDir;

std::string outputOf(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

double figure(const std::string& report, const std::string& name) {
  std::smatch m;
  if (!std::regex_search(report, m, std::regex(name + R"(\s*:\s*([-0-9.]+))"))) return -1;
  return std::stod(m[1]);
}

// The area of a section between its surfaces, by the shoelace formula over
// the upper surface out and the lower one back.
double sectionArea(const BladeModel& blade, double x) {
  const Section upper = blade.section(x), lower = blade.lowerSection(x);
  std::vector<SectionPoint> loop(upper.begin(), upper.end());
  for (std::size_t j = lower.size() - 1; j >= 1; --j) loop.push_back(lower[j]);
  double twice = 0;
  for (std::size_t k = 0; k < loop.size(); ++k) {
    const SectionPoint &a = loop[k], &b = loop[(k + 1) % loop.size()];
    twice += a.y * b.z - b.y * a.z;
  }
  return std::abs(twice) / 2;
}

TEST(BladeStl, ClosedSolidOfTheBladesVolume) {
  for (const std::vector<std::string>& rotor :
       {std::vector<std::string>{},
        {"--design-lift", "polar", "--straight", "0.5,0.9", "--chord-cap", "300"},
        {"--diameter", "2.4", "--blades", "2", "--method", "schmitz"},
        {"--airfoil", "naca0012"},
        {"--chord-cap", "150", "--blank-thickness", "40", "--root-block", "60,80"}}) {
    TempDir dir;
    std::vector<std::string> args{"-o", dir.file("blade.nc"), "--quiet", "--stl", dir.file("blade.stl")};
    args.insert(args.end(), rotor.begin(), rotor.end());
    ASSERT_EQ(runCli(args).status, 0);
    const std::string report = outputOf("admesh '" + dir.file("blade.stl") + "'");
    ASSERT_NE(report.find("Results produced by ADMesh"), std::string::npos) << "admesh is needed: " << report;
    EXPECT_EQ(figure(report, "Number of parts"), 1) << report;
    for (const char* mend : {"Total disconnected facets", "Degenerate facets", "Edges fixed", "Facets removed",
                             "Facets added", "Facets reversed", "Backwards edges", "Normals fixed"}) {
      EXPECT_NE(report.find(mend), std::string::npos) << mend;
      EXPECT_EQ(figure(report, mend), 0) << mend << "\n" << report;
    }
    // The volume against the section areas, taken every millimetre.
    JobFields fields;
    MachineSettings machine;
    for (std::size_t k = 0; k + 1 < rotor.size(); k += 2) {
      if (rotor[k] == "--diameter") fields[Field::D] = rotor[k + 1];
      if (rotor[k] == "--blades") fields[Field::B] = rotor[k + 1];
      if (rotor[k] == "--method") machine.design.method = DesignMethod::Schmitz;
    }
    // The lift from the polars, another airfoil, a plank: the blade is not
    // the rule's, and only its closedness is measured.
    if (!rotor.empty() && rotor[0] != "--diameter") continue;
    SectionTable table;
    table.fill();
    const BladeModel blade(readParameters(fields), table, machine.design);
    double volume = 0;
    for (double x = blade.hubX(); x < blade.tipX(); x += 1) {
      volume += (sectionArea(blade, x) + sectionArea(blade, std::min(x + 1, blade.tipX()))) / 2 *
                (std::min(x + 1, blade.tipX()) - x);
    }
    EXPECT_NEAR(figure(report, "Volume"), volume, 0.01 * volume);
  }
}

}  // namespace
}  // namespace ventaro

namespace ventaro {
namespace {

double attribute(const std::string& svg, const std::string& id, const std::string& name) {
  const std::size_t at = svg.find("id=\"" + id + "\"");
  if (at == std::string::npos) return -1;
  const std::size_t value = svg.find(name + "=\"", at) + name.size() + 2;
  return std::stod(svg.substr(value, svg.find('"', value) - value));
}

// Full size on A4: every page is 210 by 297 of the file's millimetres, its
// calibration bar 100 of them, each template's chord line its chord.
TEST(BladeTemplates, FullSizeOnA4Pages) {
  TempDir dir;
  ASSERT_EQ(runCli({"-o", dir.file("blade.nc"), "--quiet", "--templates", dir.file("t.svg"), "--template-at",
                    "300,700,1100,1500"})
                .status,
            0);
  const std::vector<std::string> files = dir.entries();
  // The root's chord (about 420 mm) takes three pages across, the four
  // templates two down.
  EXPECT_EQ(files,
            (std::vector<std::string>{"blade.nc", "t-1.svg", "t-2.svg", "t-3.svg", "t-4.svg", "t-5.svg", "t-6.svg"}));
  for (std::size_t k = 1; k < files.size(); ++k) {
    const std::string page = testing::readFile(dir.file(files[k]));
    EXPECT_NE(page.find("width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\""), std::string::npos);
    EXPECT_EQ(attribute(page, "calibration", "x2") - attribute(page, "calibration", "x1"), 100);
  }
  SectionTable table;
  table.fill();
  const BladeModel blade(readParameters(JobFields{}), table);
  const std::string first = testing::readFile(dir.file("t-1.svg"));
  const double radii[] = {300, 700, 1100, 1500};
  for (int k = 0; k < 4; ++k) {
    const std::string id = "chord-" + std::to_string(k);
    EXPECT_NEAR(attribute(first, id, "x2") - attribute(first, id, "x1"), blade.planformAt(radii[k]).chord * 1000, 0.2)
        << k;
  }
  EXPECT_NE(first.find("r 700.0 mm, chord "), std::string::npos);
}

// The same templates as one PDF: six A4 pages that a PDF reader opens,
// drawn in millimetres (the page's scale 72/25.4 points to the mm) with the
// calibration bar 100 of them long, the labels as text.
TEST(BladeTemplates, OnePdfOfA4Pages) {
  TempDir dir;
  ASSERT_EQ(runCli({"-o", dir.file("blade.nc"), "--quiet", "--templates", dir.file("t.pdf"), "--template-at",
                    "300,700,1100,1500"})
                .status,
            0);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"blade.nc", "t.pdf"}));
  const std::string pdf = testing::readFile(dir.file("t.pdf"));
  const std::string info = outputOf("pdfinfo '" + dir.file("t.pdf") + "'");
  ASSERT_NE(info.find("Pages:"), std::string::npos) << "pdfinfo (poppler-utils) is needed: " << info;
  EXPECT_NE(info.find("Pages:           6\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Page size:       595.276 x 841.89 pts (A4)"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_NE(pdf.find("2.834646 0 0 -2.834646 0 841.89 cm"), std::string::npos);
  // The bar: the only stroke 0.6 wide, from x 10 to x 110 on every page.
  std::size_t bars = 0;
  for (std::size_t at = pdf.find(" 0.6 w "); at != std::string::npos; at = pdf.find(" 0.6 w ", at + 1)) {
    std::smatch m;
    const std::string after = pdf.substr(at, 80);
    ASSERT_TRUE(std::regex_search(after, m, std::regex(R"(\n([0-9.]+) ([0-9.]+) m\n([0-9.]+) ([0-9.]+) l\n)")));
    EXPECT_EQ(std::stod(m[3]) - std::stod(m[1]), 100);
    EXPECT_EQ(m[2], m[4]);
    ++bars;
  }
  EXPECT_EQ(bars, 6u);
  const std::string words = outputOf("pdftotext '" + dir.file("t.pdf") + "' -");
  for (const char* label : {"r 700.0 mm, chord 243.98 mm, twist 9.93\u00b0", "row 2 of 2, column 3 of 3",
                            "100 mm: print at 100 % (no fitting to the page) and measure this bar"}) {
    EXPECT_NE(words.find(label), std::string::npos) << label << "\n" << words;
  }
}

}  // namespace
}  // namespace ventaro
