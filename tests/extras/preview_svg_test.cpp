// The preview picture as SVG text: its data in the drawing's own units for
// known stations and moves, the labels as text, and unusual rotors.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "extras_support.h"
#include "picture/preview_svg.h"
#include "picture/svg_text.h"

namespace ventaro {
namespace {

using testing::DesignRun;

std::string svgOf(const DesignRun& run) {
  const ProgramMoves moves = readProgramMoves(run.program);
  return previewSvg(previewInput(run.record(), moves, readParameters(run.fields)));
}

// The element that starts with `head` (e.g. `<polyline id="chord"`), up to
// its end.
std::string element(const std::string& svg, const std::string& head) {
  const auto at = svg.find(head);
  if (at == std::string::npos) return {};
  return svg.substr(at, svg.find('>', at) + 1 - at);
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(Preview, FormatFromTheFileName) {
  EXPECT_EQ(previewFormat("blade.svg"), PreviewFormat::Svg);
  EXPECT_EQ(previewFormat("out/Blade.PNG"), PreviewFormat::Png);
  EXPECT_THROW(previewFormat("blade.jpg"), PreviewError);
  EXPECT_THROW(previewFormat("svg"), PreviewError);
}

TEST(SvgText, Numbers) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {{488.83579, 3, "488.836"}, {200.0, 3, "200"},          {200.0001, 4, "200.0001"},
               {-75.5, 2, "-75.5"},       {-0.0004, 3, "0"},          {0.1234, 4, "0.1234"},
               {1700, 0, "1700"},         {-0.651316, 6, "-0.651316"}};
  for (const auto& c : cases) EXPECT_EQ(svgNumber(c.value, c.decimals), c.text) << c.value;
}

TEST(SvgText, EscapedForXml) {
  EXPECT_EQ(xmlEscaped("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
  EXPECT_EQ(xmlEscaped(std::string("x\x01y\tz\x1f") + "\xc2\xb0"), "xy\tz\xc2\xb0");
}

TEST(Preview, PlanformOfKnownStations) {
  const std::string svg = svgOf(DesignRun());
  // Station 0 of the finishing sweep: radius 200 mm, chord 488.836 mm, twist
  // 38.0251 degrees; station 88 at 1678.4 mm with a chord of 107.661 mm.
  const std::string chord = element(svg, "<polyline id=\"chord\"");
  EXPECT_TRUE(chord.starts_with("<polyline id=\"chord\" points=\"200,488.836 216.8,484.564 ")) << chord;
  EXPECT_NE(chord.find(" 1678.4,107.661\""), std::string::npos) << chord;
  EXPECT_EQ(count(chord, ","), 89u);
  EXPECT_TRUE(element(svg, "<polyline id=\"twist\"").starts_with("<polyline id=\"twist\" points=\"200,38.0251 "));
  // The stock width across the whole panel, 20 mm beyond hub and tip.
  EXPECT_TRUE(element(svg, "<polyline id=\"stock-width\"")
                  .starts_with("<polyline id=\"stock-width\" points=\"180,300 1700,300\""));
  // 180 to 1700 mm onto pixels 120 to 1110, chord 0 to 600 mm onto 440 to 60.
  EXPECT_EQ(element(svg, "<g id=\"planform\""),
            "<g id=\"planform\" transform=\"matrix(0.651316,0,0,-0.633333,2.763,440)\">");
}

TEST(Preview, ToolpathsFromTheProgramsMoves) {
  const DesignRun run;
  const std::string svg = svgOf(run);
  EXPECT_TRUE(element(svg, "<polygon id=\"block\"")
                  .starts_with("<polygon id=\"block\" points=\"200,0 1680,0 1680,300 200,300\""));
  // The first finishing move, "G1 X200.00 Y-74.37 Z-58.16", seen from above.
  const auto top = svg.find("<g id=\"finishing-toolpath\">");
  ASSERT_NE(top, std::string::npos);
  EXPECT_TRUE(std::string_view(svg).substr(top).starts_with(
      "<g id=\"finishing-toolpath\">\n<polyline points=\"200,-74.37 200,-76.91 "))
      << svg.substr(top, 80);
  // The finished surface of station 0 from its highest point (the trailing
  // edge, Z 243.464) round to its lowest (the leading edge, Z -58.162).
  const std::string band = element(svg, "<polygon id=\"finished-surface\"");
  EXPECT_TRUE(band.starts_with("<polygon id=\"finished-surface\" points=\"200,243.464 ")) << band.substr(0, 80);
  EXPECT_NE(band.find(" 200,-58.162\""), std::string::npos);
  // Each pass ends in its rapid move, dashed: "G0 X200.0001 Z265.46" after
  // pass 1, 5 mm lower after each further pass.
  EXPECT_EQ(element(svg, "<polyline points=\"1678.4,19.259 200.0001,"),
            "<polyline points=\"1678.4,19.259 200.0001,265.46\" fill=\"none\" stroke=\"#d67814\" stroke-width=\"1\" "
            "stroke-dasharray=\"6,4\" vector-effect=\"non-scaling-stroke\"/>");
  for (const char* rapid : {" 200.0001,260.46\"", " 200.0001,255.46\""}) {
    const auto at = svg.find(rapid);
    ASSERT_NE(at, std::string::npos) << rapid;
    EXPECT_NE(svg.substr(at, svg.find('>', at) - at).find(" stroke-dasharray=\"6,4\""), std::string::npos);
  }
}

TEST(Preview, LabelsAsText) {
  const std::string svg = svgOf(DesignRun());
  ASSERT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
  ASSERT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_NE(svg.find("width=\"1200\" height=\"1560\" viewBox=\"0 0 1200 1560\""), std::string::npos);
  EXPECT_NE(svg.find("<g font-family=\"DejaVu Sans, Liberation Sans, sans-serif\">"), std::string::npos);
  for (const char* label :
       {">radius X / mm<", ">chord / mm<", ">twist / degrees<", ">across the stock Y / mm<", ">height Z / mm<",
        ">roughing pass 3<", ">stock width 300.0 mm<", ">Top view: finishing toolpath (T2) over the block<",
        ">Millimetres, machine axes. Toolpaths drawn from the program&apos;s own move lines; rapid moves dashed.<"}) {
    EXPECT_NE(svg.find(label), std::string::npos) << label;
  }
  EXPECT_EQ(svg.find("roughing pass 4"), std::string::npos);
  EXPECT_EQ(count(svg, "<g"), count(svg, "</g>"));
}

TEST(Preview, UnusualRotors) {
  const std::string narrow = svgOf(DesignRun(testing::narrowStock()));
  EXPECT_NE(narrow.find(">roughing pass 5<"), std::string::npos);
  EXPECT_NE(narrow.find(">stock width 50.0 mm<"), std::string::npos);
  EXPECT_TRUE(element(narrow, "<polyline id=\"chord\"").starts_with("<polyline id=\"chord\" points=\"100,393.75 "));
  // No station at all and no pass: axes and block only, no failure.
  const std::string empty = svgOf(DesignRun({{Field::HubRad, "2"}, {Field::RoughPassesNo, "0"}}));
  EXPECT_TRUE(empty.ends_with("</svg>\n"));
  EXPECT_EQ(empty.find("id=\"chord\""), std::string::npos);
  EXPECT_EQ(empty.find("roughing-pass-"), std::string::npos);
  EXPECT_EQ(empty.find(">roughing pass 1<"), std::string::npos);
  EXPECT_NE(empty.find("<polygon id=\"block\""), std::string::npos);
}

}  // namespace
}  // namespace ventaro
