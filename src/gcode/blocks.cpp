#include "gcode/blocks.h"

#include "core/number_text.h"
#include "gcode/text_conventions.h"

namespace ventaro {

namespace {

// A copied field text becomes part of one program line. A carriage return or
// line feed in it would end that line early and start lines of the text's
// own making (a comment cut open, a stray word or move) that the controller
// would run, so such a text is refused where it would be copied.
const std::string& oneLine(const std::string& text, Field field) {
  if (text.find_first_of("\r\n") != std::string::npos) {
    raiseAbout(ErrorKind::TypeMismatch, field, "holds a line break");
  }
  return text;
}

}  // namespace

void writeHeader(std::string& program, const BladeParameters& p) {
  // Copying the texts converts nothing: a text that is not a number fails
  // later, where the computation first needs its value.
  program.clear();
  program += "( Blade Diameter = ";
  program += oneLine(p.D.text(), Field::D);
  program += "m )";
  AppendLine(program, "( Number of blades = " + oneLine(p.B.text(), Field::B) + " )");
  AppendLine(program, "( Tip Speed Ratio = " + oneLine(p.TSR.text(), Field::TSR) + " )");
  AppendLine(program, "( Angle of Attack = " + oneLine(p.AT.text(), Field::AT) + "\u00b0 )");
  AppendLine(program, "( Coefficient of lift = " + oneLine(p.Cl.text(), Field::Cl) + " )");
}

void appendRoughingToolBlock(std::string& program, const BladeParameters& p, std::string_view roughFeed) {
  AppendLine(program, "( T1:" + oneLine(p.RoughDia, Field::RoughDia) + " )");
  AppendLine(program, "( T2:" + NumberText(p.FinDia) + " )");
  AppendLine(program, "G64");
  AppendLine(program, "T1");
  AppendLine(program, "F" + oneLine(std::string(roughFeed), Field::RoughFeed));
}

void appendFinishingToolBlock(std::string& program, const BladeParameters& p, std::string_view finishFeed) {
  AppendLine(program, "F" + oneLine(std::string(finishFeed), Field::FinishFeed));
  AppendLine(program, "( T2:" + NumberText(p.FinDia) + " ) ");
  AppendLine(program, "T2");
}

}  // namespace ventaro
