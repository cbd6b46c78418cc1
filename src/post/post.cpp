#include "post/post.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/number_text.h"
#include "machine/machine_limits.h"
#include "post/controller_words.h"

namespace ventaro {

namespace {

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

// Appends the value with four decimals, "-0.0000" written as zero.
void appendCoord(std::string& out, double value) {
  std::array<char, 400> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 4);
  const char* begin = buf.data();
  if (*begin == '-' && std::string_view(begin + 1, res.ptr).find_first_not_of("0.") == std::string_view::npos) ++begin;
  out.append(begin, static_cast<std::size_t>(res.ptr - begin));
}

}  // namespace

void Post::words(const std::string& line) {
  if (std::string problem = lineTooLong(controller_, line); !problem.empty()) throw ControllerError(problem);
  out_.line(line);
}

void Post::comment(std::string_view text, bool trailingBlank) {
  // Parentheses inside a comment would end it early or nest it; control
  // characters would break the line.
  std::string clean(text);
  for (char& c : clean) {
    if (c == '(') c = '[';
    if (c == ')') c = ']';
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  clean = safeText(std::move(clean));
  if (savedLength(clean) + (trailingBlank ? 5 : 4) > lineLimit(controller_)) {
    clean = shortened(std::move(clean), trailingBlank, lineLimit(controller_));
  }
  out_.comment(clean, trailingBlank);
}

void Post::spindleOn(double rpm) { words(spindleStart(rpm)); }

void Post::spindleOff() { words(std::string(kSpindleStop)); }

void Post::feedText(std::string_view text, Field field) {
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

void Post::feedRate(double feed) { words("F" + machineNumber(feed)); }

void Post::moveWords(const CoordWord& x, const CoordWord& y, const CoordWord& z) {
  reached(z.value());
  out_.linearMove(x, y, z);
}

void Post::rapidWords(float x, const CoordWord& z) {
  reached(z.value());
  out_.rapidMove(x, z);
}

void Post::move(bool rapid, const Vec3& to) {
  reached(to.z);
  scratch_.assign(rapid ? "G0 X" : "G1 X");
  appendCoord(scratch_, to.x);
  scratch_ += " Y";
  appendCoord(scratch_, to.y);
  scratch_ += " Z";
  appendCoord(scratch_, to.z);
  words(scratch_);
}

void Post::rapidZ(double z) {
  reached(z);
  scratch_.assign("G0 Z");
  appendCoord(scratch_, z);
  words(scratch_);
}

void Post::retractAbove(double clearance) {
  if (!highestZ_) return;  // nothing has moved yet
  const std::string height = NumberText(std::ceil(*highestZ_ + clearance));
  if (height.find_first_of("En") != std::string::npos) {
    throw ControllerError("the safe height " + height + " above the program cannot be written as a plain decimal");
  }
  words("G0 Z" + height);
}

void Post::end() { words(std::string(kProgramEnd)); }

void Post::dwell(double seconds) { words("G4 P" + machineNumber(seconds)); }

void Post::write(const Toolpath& path) {
  double feed = -1;
  const Vec3& o = path.setup.origin;
  const auto at = [&o](const Vec3& p) { return Vec3{p.x - o.x, p.y - o.y, p.z - o.z}; };
  for (const ToolpathOp& op : path.ops) {
    switch (op.kind) {
      case ToolpathOpKind::Comment:
        comment(op.text);
        break;
      case ToolpathOpKind::Start:
        start(true, op.value);
        break;
      case ToolpathOpKind::ToolChange:
        toolChange(op.tool, op.text, op.note);
        break;
      case ToolpathOpKind::ToolReady:
        toolReady(op.tool, op.text, op.note);
        break;
      case ToolpathOpKind::SpindleOn:
        spindleOn(op.value);
        break;
      case ToolpathOpKind::SpindleOff:
        spindleOff();
        break;
      case ToolpathOpKind::Rapid:
        move(true, at(op.to));
        break;
      case ToolpathOpKind::RapidZ:
        rapidZ(op.to.z - o.z);
        break;
      case ToolpathOpKind::Feed:
        if (op.value != feed) {
          feed = op.value;
          feedRate(feed);
        }
        move(false, at(op.to));
        break;
      case ToolpathOpKind::Pause:
        pause(op.text);
        break;
      case ToolpathOpKind::Dwell:
        dwell(op.value);
        break;
      case ToolpathOpKind::End:
        end();
        break;
    }
  }
}

std::unique_ptr<Post> makeLinuxCncPost(GcodeWriter& out);
std::unique_ptr<Post> makeGrblPost(GcodeWriter& out);

std::unique_ptr<Post> makePost(Controller controller, GcodeWriter& out) {
  switch (controller) {
    case Controller::LinuxCnc:
      return makeLinuxCncPost(out);
    case Controller::Grbl:
      return makeGrblPost(out);
    case Controller::Plain:
      break;
  }
  throw ControllerError("the plain program is written without a post");
}

}  // namespace ventaro
