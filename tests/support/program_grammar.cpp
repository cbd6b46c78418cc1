#include "program_grammar.h"

#include <array>

namespace ventaro::grammar {

namespace {

constexpr std::size_t kCoordWidth = 6;
constexpr int kPointsPerStation = 18;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool endsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Reads a general number text from the start of `s`. With `cut`, `s` may
// also stop anywhere inside a longer number text (it is then the first six
// characters of one). Returns whether all of `s` is such a text.
bool numberShape(std::string_view s, bool cut) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  const bool negative = n > 0 && s[0] == '-';
  if (negative) ++i;
  if (i == n) return false;

  // Integer digits: a single 0, or no leading zero.
  const std::size_t intBegin = i;
  if (s[i] == '0') {
    ++i;
  } else if (isDigit(s[i])) {
    while (i < n && isDigit(s[i])) ++i;
  } else {
    return false;
  }
  const std::size_t intDigits = i - intBegin;
  const bool zeroInteger = s[intBegin] == '0';
  if (i == n) return !(zeroInteger && negative);  // "0" yes, "-0" never written

  // Fraction: at least one digit, no trailing zero, unless the cut ends it.
  bool hasFraction = false;
  if (s[i] == '.') {
    ++i;
    const std::size_t fracBegin = i;
    while (i < n && isDigit(s[i])) ++i;
    hasFraction = true;
    if (i == n) {
      if (cut) return true;
      return i > fracBegin && s[i - 1] != '0';
    }
    if (i == fracBegin || s[i - 1] == '0') return false;  // "1.E", "1.50E"
  }
  if (s[i] != 'E') return false;

  // Exponent form: one leading digit that is not 0, then E, sign and at
  // least two digits.
  if (intDigits != 1 || zeroInteger) return false;
  (void)hasFraction;
  ++i;
  if (i == n) return cut;
  if (s[i] != '+' && s[i] != '-') return false;
  ++i;
  const std::size_t expBegin = i;
  while (i < n && isDigit(s[i])) ++i;
  if (i != n) return false;
  return cut || i - expBegin >= 2;
}

std::string at(std::size_t lineIndex, std::string_view what, std::string_view line) {
  std::string text = "line ";
  text += std::to_string(lineIndex + 1);
  text += ": ";
  text += what;
  text += " in \"";
  text += line.substr(0, 80);
  if (line.size() > 80) text += "...";
  text += '"';
  return text;
}

std::string_view kindName(LineKind kind) {
  switch (kind) {
    case LineKind::Comment:
      return "a comment";
    case LineKind::PathMode:
      return "the path mode";
    case LineKind::ToolCall:
      return "a tool call";
    case LineKind::Feed:
      return "a feed line";
    case LineKind::LinearMove:
      return "a linear move";
    case LineKind::RapidMove:
      return "a rapid move";
  }
  return "a line";
}

}  // namespace

bool isNumberText(std::string_view word) { return numberShape(word, false); }

bool isCoordText(std::string_view word) {
  if (word.size() < kCoordWidth) return numberShape(word, false);
  return word.size() == kCoordWidth && numberShape(word, true);
}

std::optional<Move> parseMove(std::string_view line) {
  // The words are separated by exactly one blank, and no word holds one.
  std::array<std::string_view, 5> words{};
  std::size_t count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t blank = line.find(' ', start);
    const std::string_view word = line.substr(start, blank == std::string_view::npos ? blank : blank - start);
    if (word.empty() || count == words.size()) return std::nullopt;
    words[count++] = word;
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  Move move;
  if (count == 4 && words[0] == "G1" && words[1][0] == 'X' && words[2][0] == 'Y' && words[3][0] == 'Z') {
    move.x = words[1].substr(1), move.y = words[2].substr(1), move.z = words[3].substr(1);
    if (isCoordText(move.x) && isCoordText(move.y) && isCoordText(move.z)) return move;
  }
  if (count == 3 && words[0] == "G0" && words[1][0] == 'X' && words[2][0] == 'Z') {
    move.rapid = true;
    move.x = words[1].substr(1), move.z = words[2].substr(1);
    if (isNumberText(move.x) && isCoordText(move.z)) return move;
  }
  return std::nullopt;
}

std::optional<LineKind> lineKind(std::string_view line) {
  if (line.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  if (line.size() >= 4 && startsWith(line, "( ") && (endsWith(line, " )") || endsWith(line, " ) "))) {
    return LineKind::Comment;
  }
  if (line == "G64") return LineKind::PathMode;
  if (line == "T1" || line == "T2") return LineKind::ToolCall;
  if (startsWith(line, "F")) return LineKind::Feed;
  if (const auto move = parseMove(line)) return move->rapid ? LineKind::RapidMove : LineKind::LinearMove;
  return std::nullopt;
}

std::vector<std::string_view> programLines(std::string_view program) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t brk = program.find("\r\n", start);
    if (brk == std::string_view::npos) {
      lines.push_back(program.substr(start));
      return lines;
    }
    lines.push_back(program.substr(start, brk - start));
    start = brk + 2;
  }
}

std::string programProblem(std::string_view program) {
  if (program.empty()) return "the program is empty";
  if (startsWith(program, "\r\n")) return "the program begins with a line break";
  if (endsWith(program, "\r\n")) return "the program ends with a line break";
  const std::vector<std::string_view> lines = programLines(program);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find_first_of("\r\n") != std::string_view::npos) {
      return at(i, "a carriage return or line feed that is not a line join", lines[i]);
    }
    if (!lineKind(lines[i])) return at(i, "not a line of any kind", lines[i]);
  }
  return "";
}

std::size_t expectedLineCount(const ProgramShape& s) {
  const auto passes = static_cast<std::size_t>(s.passes);
  const auto rough = static_cast<std::size_t>(s.roughStations);
  const auto finish = static_cast<std::size_t>(s.finishStations);
  return 10 + passes * (2 + kPointsPerStation * rough) + 3 + kPointsPerStation * finish;
}

namespace {

// Walks the lines of a program in their expected order.
class Reader {
 public:
  explicit Reader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

  std::size_t index() const { return next_; }
  std::string_view line(std::size_t i) const { return lines_[i]; }

  // The next line, which must be of `kind`; sets `problem` otherwise.
  std::optional<std::string_view> take(LineKind kind, std::string& problem) {
    if (!problem.empty()) return std::nullopt;
    if (next_ >= lines_.size()) {
      problem = "the program ends early, where ";
      problem += kindName(kind);
      problem += " was due";
      return std::nullopt;
    }
    const std::string_view line = lines_[next_];
    if (lineKind(line) != kind) {
      problem = at(next_, std::string(kindName(kind)) + " was due", line);
      return std::nullopt;
    }
    ++next_;
    return line;
  }

  bool exact(std::string_view text, std::string& problem) {
    const std::size_t i = next_;
    const auto kind = lineKind(text);
    if (!kind) return false;
    const auto line = take(*kind, problem);
    if (line && *line != text) problem = at(i, "\"" + std::string(text) + "\" was due", *line);
    return problem.empty();
  }

  // A station's 18 linear moves, all with the same X.
  bool station(std::string& problem) {
    std::string_view x;
    for (int j = 0; j < kPointsPerStation; ++j) {
      const std::size_t i = next_;
      const auto line = take(LineKind::LinearMove, problem);
      if (!line) return false;
      const std::string_view thisX = parseMove(*line)->x;
      if (j == 0) x = thisX;
      if (thisX != x) {
        problem = at(i, "another X than the station's first move", *line);
        return false;
      }
    }
    return true;
  }

  std::size_t size() const { return lines_.size(); }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

bool headerComment(Reader& r, std::string_view prefix, std::string_view suffix, std::string& problem) {
  const std::size_t i = r.index();
  const auto line = r.take(LineKind::Comment, problem);
  if (!line) return false;
  if (!startsWith(*line, prefix) || !endsWith(*line, suffix) || line->size() < prefix.size() + suffix.size()) {
    problem = at(i, "\"" + std::string(prefix) + "...\" comment was due", *line);
    return false;
  }
  return true;
}

}  // namespace

std::string programProblem(std::string_view program, const ProgramShape& shape) {
  std::string problem = programProblem(program);
  if (!problem.empty()) return problem;
  Reader r(programLines(program));
  const std::size_t expected = expectedLineCount(shape);
  if (r.size() != expected) {
    problem = std::to_string(r.size()) + " lines where " + std::to_string(expected) + " were due";
    // Go on: the walk below usually says where the difference lies.
  }
  std::string walk;
  if (!headerComment(r, "( Blade Diameter = ", "m )", walk)) return walk;
  if (!headerComment(r, "( Number of blades = ", " )", walk)) return walk;
  if (!headerComment(r, "( Tip Speed Ratio = ", " )", walk)) return walk;
  if (!headerComment(r, "( Angle of Attack = ", "\u00b0 )", walk)) return walk;
  if (!headerComment(r, "( Coefficient of lift = ", " )", walk)) return walk;
  if (!headerComment(r, "( T1:", " )", walk)) return walk;
  const std::size_t t2Index = r.index();
  if (!headerComment(r, "( T2:", " )", walk)) return walk;
  const std::string_view t2 = r.line(t2Index);
  if (!isNumberText(t2.substr(5, t2.size() - 7))) return at(t2Index, "a finishing diameter that is no number text", t2);
  if (!r.exact("G64", walk) || !r.exact("T1", walk) || !r.take(LineKind::Feed, walk)) return walk;

  const std::size_t firstPass = r.index() + 1;
  for (int k = 1; k <= shape.passes; ++k) {
    if (!r.exact("( Roughing Pass no." + std::to_string(k) + " )", walk)) return walk;
    const std::size_t begin = r.index();
    for (int s = 0; s < shape.roughStations; ++s) {
      if (!r.station(walk)) return walk;
    }
    // Every pass runs over the same points as the first, lower down.
    for (std::size_t i = begin; k > 1 && i < r.index(); ++i) {
      const Move mine = *parseMove(r.line(i));
      const Move first = *parseMove(r.line(firstPass + (i - begin)));
      if (mine.x != first.x || mine.y != first.y) return at(i, "another point than pass 1's", r.line(i));
    }
    if (!r.take(LineKind::RapidMove, walk)) return walk;
  }
  if (!r.take(LineKind::Feed, walk)) return walk;
  if (!r.exact(std::string(t2) + " ", walk) || !r.exact("T2", walk)) return walk;
  for (int s = 0; s < shape.finishStations; ++s) {
    if (!r.station(walk)) return walk;
  }
  if (r.index() != r.size()) return at(r.index(), "a line after the last finishing move", r.line(r.index()));
  return problem;
}

}  // namespace ventaro::grammar
