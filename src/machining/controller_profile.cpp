#include "machining/controller_profile.h"

#include <cmath>
#include <vector>

#include "core/number_text.h"
#include "gcode/program_bytes.h"
#include "gcode/text_conventions.h"

namespace ventaro {

namespace {

std::vector<std::string> splitLines(std::string_view program) {
  std::vector<std::string> lines;
  if (program.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t br = program.find(kLineBreak, start);
    lines.emplace_back(program.substr(start, br == std::string_view::npos ? std::string_view::npos : br - start));
    if (br == std::string_view::npos) break;
    start = br + kLineBreak.size();
  }
  return lines;
}

bool isComment(std::string_view line) { return line.starts_with('(') && line.find(')') != std::string_view::npos; }

bool isToolCall(std::string_view line) {
  return line.size() > 1 && line[0] == 'T' && line.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

// Splits "( body )" / "( body ) " into "(", body and the closing part.
struct CommentParts {
  std::string body, close;
};

CommentParts commentParts(std::string_view line) {
  std::size_t closeAt = line.rfind(')');
  if (closeAt > 1 && line[closeAt - 1] == ' ') --closeAt;
  return CommentParts{std::string(line.substr(1, closeAt - 1)), std::string(line.substr(closeAt))};
}

// Parentheses inside a comment would end it early or nest it; control
// characters would break the line.
std::string cleanBody(std::string_view body) {
  std::string out(body);
  for (char& c : out) {
    if (c == '(') c = '[';
    if (c == ')') c = ']';
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

// Drops the last UTF-8 character of `text`: its lead byte and the
// continuation bytes after it.
void dropLastChar(std::string& text) {
  if (text.empty()) return;
  std::size_t n = text.size() - 1;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
}

std::string shortenComment(const CommentParts& parts) {
  std::string body = parts.body;
  // Every character of the saved file comes from at most four bytes here,
  // so a body beyond four times the limit is shortened in any case.
  if (body.size() > 4 * kGrblLineLimit) {
    body.resize(4 * kGrblLineLimit);
  }
  for (;;) {
    const std::string line = "(" + body + "..." + parts.close;
    if (savedLength(line) <= kGrblLineLimit || body.empty()) return line;
    dropLastChar(body);
  }
}

std::string_view feedField(int feedLine) { return feedLine == 0 ? "Rough Feedrate" : "Finish Feedrate"; }
std::string_view feedOption(int feedLine) { return feedLine == 0 ? "--rough-feed" : "--finish-feed"; }

void checkFeed(std::string_view line, int feedLine, Controller controller) {
  const ParsedNumber n = parseNumber(line.substr(1));
  if (n.status == ParseStatus::Ok && std::isfinite(n.value) && n.value > 0) return;
  throw ControllerError("the " + std::string(controllerName(controller)) +
                        " program needs feeds that are positive numbers: the feed line \u201c" + std::string(line) +
                        "\u201d from \u201c" + std::string(feedField(feedLine)) + "\u201d (" +
                        std::string(feedOption(feedLine)) + ") would be rejected by the controller");
}

// "20" from the finishing tool's comment "( T2:20 ) ".
std::string finishingDiameter(std::string_view comment) {
  std::string_view rest = comment.substr(5);
  const std::size_t end = rest.find(" )");
  return std::string(rest.substr(0, end));
}

}  // namespace

std::optional<Controller> controllerByName(std::string_view name) {
  if (name == "plain") return Controller::Plain;
  if (name == "linuxcnc") return Controller::LinuxCnc;
  if (name == "grbl") return Controller::Grbl;
  return std::nullopt;
}

std::string_view controllerName(Controller controller) {
  switch (controller) {
    case Controller::Plain:
      return "plain";
    case Controller::LinuxCnc:
      return "linuxcnc";
    case Controller::Grbl:
      return "grbl";
  }
  return "plain";
}

std::size_t savedLength(std::string_view line) { return toWindows1252(line).size(); }

std::string forController(std::string program, Controller controller) {
  if (controller == Controller::Plain) return program;
  const bool grbl = controller == Controller::Grbl;
  const std::vector<std::string> in = splitLines(program);

  // The finishing block: its feed line, the "( T2:" comment and "T2".
  std::size_t finishingFeed = in.size();
  for (std::size_t i = 2; i < in.size(); ++i) {
    if (in[i] == "T2" && in[i - 1].starts_with("( T2:") && in[i - 2].starts_with('F')) finishingFeed = i - 2;
  }
  if (finishingFeed == in.size()) throw ControllerError("the program has no finishing tool block");

  std::vector<std::string> out;
  out.reserve(in.size() + 8);
  int feedLine = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const std::string& line = in[i];
    if (i == finishingFeed) {
      const std::string dia = finishingDiameter(in[i + 1]);
      if (grbl) {
        out.push_back("( Pause: fit finishing tool T2, " + dia + " mm, then resume )");
      } else {
        out.push_back("(MSG,Fit finishing tool T2, " + dia + " mm, then press Cycle Start)");
      }
      out.push_back("M0");
    }
    if (isComment(line)) {
      CommentParts parts = commentParts(line);
      parts.body = cleanBody(parts.body);
      std::string cleaned = "(" + parts.body + parts.close;
      if (grbl && savedLength(cleaned) > kGrblLineLimit) cleaned = shortenComment(parts);
      out.push_back(std::move(cleaned));
    } else if (line == "G64") {
      out.push_back("G21 G90");
      if (!grbl) out.push_back(line);
    } else if (isToolCall(line)) {
      out.push_back(grbl ? line : line + " M6");
    } else {
      if (line.starts_with('F')) checkFeed(line, feedLine++, controller);
      out.push_back(line);
    }
    if (grbl && savedLength(out.back()) > kGrblLineLimit) {
      throw ControllerError("the grbl program cannot hold the line \u201c" + out.back() +
                            "\u201d: GRBL takes at most " + std::to_string(kGrblLineLimit) + " characters per line");
    }
  }
  out.push_back("M2");

  std::string text;
  text.reserve(program.size() + 256);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i > 0) text += kLineBreak;
    text += out[i];
  }
  return text;
}

}  // namespace ventaro
