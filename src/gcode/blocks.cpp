#include "gcode/blocks.h"

#include "core/number_text.h"
#include "gcode/text_conventions.h"

namespace ventaro {

void writeHeader(std::string& program, const BladeParameters& p) {
  // Copying the texts converts nothing: a text that is not a number fails
  // later, where the computation first needs its value.
  program.clear();
  program += "( Blade Diameter = ";
  program += p.D.text();
  program += "m )";
  AppendLine(program, "( Number of blades = " + p.B.text() + " )");
  AppendLine(program, "( Tip Speed Ratio = " + p.TSR.text() + " )");
  AppendLine(program, "( Angle of Attack = " + p.AT.text() + "\u00b0 )");
  AppendLine(program, "( Coefficient of lift = " + p.Cl.text() + " )");
}

void appendRoughingToolBlock(std::string& program, const BladeParameters& p, std::string_view roughFeed) {
  AppendLine(program, "( T1:" + p.RoughDia + " )");
  AppendLine(program, "( T2:" + NumberText(p.FinDia) + " )");
  AppendLine(program, "G64");
  AppendLine(program, "T1");
  AppendLine(program, "F" + std::string(roughFeed));
}

void appendFinishingToolBlock(std::string& program, const BladeParameters& p, std::string_view finishFeed) {
  AppendLine(program, "F" + std::string(finishFeed));
  AppendLine(program, "( T2:" + NumberText(p.FinDia) + " ) ");
  AppendLine(program, "T2");
}

}  // namespace ventaro
