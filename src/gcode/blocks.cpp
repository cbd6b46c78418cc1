#include "gcode/blocks.h"

#include "core/number_text.h"

namespace ventaro {

namespace {

// A copied field text becomes part of one program line. A carriage return or
// line feed in it would end that line early and start lines of the text's
// own making (a comment cut open, a stray word or move) that the controller
// would run, so such a text is refused where it would be copied.
std::string_view oneLine(std::string_view text, Field field) {
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    raiseAbout(ErrorKind::TypeMismatch, field, "holds a line break");
  }
  return text;
}

// A parenthesis inside a comment would close it early (and what follows it
// would be run as words) or open a nested one; it is written as a square
// bracket.
std::string commentText(std::string_view text, Field field) {
  std::string out(oneLine(text, field));
  for (char& c : out) {
    if (c == '(') c = '[';
    if (c == ')') c = ']';
  }
  return out;
}

// A feed line holds the feed field's text as typed. A text that is not a
// number would put its own words on the line ("1200 G0 Z-300" a rapid
// plunge), so only the empty text, which leaves a bare "F" that the
// controller refuses before any motion, and a number are written.
void writeFeed(ProgramWriter& out, std::string_view text, Field field) {
  oneLine(text, field);
  if (!text.empty() && parseNumber(text).status == ParseStatus::NotANumber) {
    raiseAbout(ErrorKind::TypeMismatch, field, "is not a number");
  }
  out.feed(text, field);
}

}  // namespace

void writeHeader(ProgramWriter& out, const BladeParameters& p) {
  // Copying the texts converts nothing: a text that is not a number fails
  // later, where the computation first needs its value.
  out.comment("Blade Diameter = " + commentText(p.D.text(), Field::D) + "m", false);
  out.comment("Number of blades = " + commentText(p.B.text(), Field::B), false);
  out.comment("Tip Speed Ratio = " + commentText(p.TSR.text(), Field::TSR), false);
  out.comment("Angle of Attack = " + commentText(p.AT.text(), Field::AT) + "\u00b0", false);
  out.comment("Coefficient of lift = " + commentText(p.Cl.text(), Field::Cl), false);
}

void writeRoughingToolBlock(ProgramWriter& out, const BladeParameters& p, std::string_view roughFeed) {
  out.comment("T1:" + commentText(p.RoughDia, Field::RoughDia), false);
  out.comment("T2:" + NumberText(p.FinDia), false);
  out.programStart();
  out.toolCall(1);
  writeFeed(out, roughFeed, Field::RoughFeed);
}

void writeFinishingToolBlock(ProgramWriter& out, const BladeParameters& p, std::string_view finishFeed) {
  const std::string diameter = NumberText(p.FinDia);
  out.pause(2, diameter);
  writeFeed(out, finishFeed, Field::FinishFeed);
  out.comment("T2:" + diameter, true);
  out.toolCall(2);
}

}  // namespace ventaro
