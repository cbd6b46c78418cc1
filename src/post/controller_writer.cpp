#include "post/controller_writer.h"

#include <cmath>

#include "core/number_text.h"
#include "gcode/program_bytes.h"
#include "machine/machine_limits.h"
#include "post/controller_words.h"
#include "post/grbl_text.h"

namespace ventaro {

namespace {

// Parentheses inside a comment would end it early or nest it; control
// characters would break the line.
std::string cleanComment(std::string_view text, bool grbl) {
  std::string out(text);
  for (char& c : out) {
    if (c == '(') c = '[';
    if (c == ')') c = ']';
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return grbl ? grblSafeText(out) : out;
}

// Drops the last UTF-8 character of `text`: its lead byte and the
// continuation bytes after it.
void dropLastChar(std::string& text) {
  if (text.empty()) return;
  std::size_t n = text.size() - 1;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
}

// The comment text cut so that its line, with "..." after it, fits `limit`.
std::string shortened(std::string text, bool trailingBlank, std::size_t limit) {
  const std::size_t frame = trailingBlank ? 5 : 4;  // "( " and " )" or " ) "
  // Every character of the saved file comes from at most four bytes here,
  // so a text beyond four times the limit is shortened in any case.
  if (text.size() > 4 * limit) text.resize(4 * limit);
  while (!text.empty() && savedLength(text) + 3 + frame > limit) dropLastChar(text);
  return text + "...";
}

}  // namespace

ControllerWriter::ControllerWriter(Controller controller, GcodeWriter& out, const ShopSettings& settings)
    : controller_(controller), out_(out), settings_(settings) {}

void ControllerWriter::words(const std::string& line) {
  if (std::string problem = lineTooLong(controller_, line); !problem.empty()) throw ControllerError(problem);
  out_.line(line);
}

void ControllerWriter::comment(std::string_view text, bool trailingBlank) {
  std::string clean = cleanComment(text, grbl());
  if (savedLength(clean) + (trailingBlank ? 5 : 4) > lineLimit()) {
    clean = shortened(std::move(clean), trailingBlank, lineLimit());
  }
  out_.comment(clean, trailingBlank);
}

void ControllerWriter::programStart() {
  words("G21 G90");
  if (!grbl()) out_.programStart();
}

void ControllerWriter::toolCall(int tool) {
  if (spindleOn_) {
    retract();
    spindleOff();
  }
  words(toolChange(controller_, tool));
  words(spindleStart(tool == 1 ? settings_.roughRpm : settings_.finRpm));
  spindleOn_ = true;
}

void ControllerWriter::feed(std::string_view text, Field field) {
  const ParsedNumber n = parseNumber(text);
  const std::string plain = n.status == ParseStatus::Ok ? NumberText(n.value) : std::string();
  const bool exact = plain.find('E') == std::string::npos && parseNumber(plain).value == n.value;
  if (n.status != ParseStatus::Ok || !std::isfinite(n.value) || !(n.value > 0) || !exact) {
    throw ControllerError("the " + std::string(controllerName(controller_)) +
                              " program needs feeds that are positive numbers written as plain decimals: the feed "
                              "line \u201cF" +
                              std::string(text) + "\u201d from ",
                          field, " would be rejected by the controller");
  }
  words("F" + plain);
}

void ControllerWriter::linearMove(const CoordWord& x, const CoordWord& y, const CoordWord& z) {
  reached(z.value());
  out_.linearMove(x, y, z);
}

void ControllerWriter::rapidMove(float x, const CoordWord& z) {
  reached(z.value());
  out_.rapidMove(x, z);
}

void ControllerWriter::retract() {
  if (!highestZ_) return;  // nothing has moved yet
  const std::string height = NumberText(std::ceil(*highestZ_ + settings_.clearance));
  if (height.find_first_of("En") != std::string::npos) {
    throw ControllerError("the safe height " + height + " above the program cannot be written as a plain decimal");
  }
  words("G0 Z" + height);
}

void ControllerWriter::spindleOff() {
  if (!spindleOn_) return;
  words(std::string(kSpindleStop));
  spindleOn_ = false;
}

void ControllerWriter::pause(int tool, std::string_view diameter) {
  retract();
  spindleOff();
  const std::string which = tool == 1 ? "roughing" : "finishing";
  const std::string fit = "fit " + which + " tool T" + std::to_string(tool) + ", " + std::string(diameter) + " mm";
  if (grbl()) {
    comment("Pause: " + fit + ", then resume", false);
  } else {
    words("(MSG,F" + fit.substr(1) + ", then press Cycle Start)");
  }
  words(std::string(kProgramStop));
}

void ControllerWriter::programEnd() {
  retract();
  spindleOff();
  words(std::string(kProgramEnd));
}

}  // namespace ventaro
