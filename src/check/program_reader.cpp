#include "check/program_reader.h"

#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "core/number_text.h"

namespace ventaro {

namespace {

// G words that set units, plane, distance mode, feed mode, path blending,
// tool length or cancel modes: nothing the check must follow beyond the
// millimetre and absolute modes it already assumes.
constexpr int kSetupG[] = {17, 21, 40, 43, 49, 54, 64, 80, 90, 94};

bool isSetupG(double code) {
  for (int g : kSetupG) {
    if (code == g) return true;
  }
  return false;
}

struct Word {
  char letter;
  double value;
};

// The tool an operator message asks to fit ("( Pause: fit T1, ... )",
// "(MSG,Fit finishing tool T2, ...)"): where a controller has no tool
// changer, the pause names the tool, and no T word may follow.
std::optional<int> toolFittedIn(std::string_view comment) {
  std::size_t at = std::string_view::npos;
  for (std::size_t i = 0; i + 3 <= comment.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(comment[i])) == 'f' && comment.substr(i + 1, 2) == "it") {
      at = i + 3;
      break;
    }
  }
  if (at == std::string_view::npos) return std::nullopt;
  for (std::size_t i = at; i + 1 < comment.size(); ++i) {
    if (comment[i] != 'T' || comment[i - 1] != ' ' || !std::isdigit(static_cast<unsigned char>(comment[i + 1])))
      continue;
    int tool = 0;
    for (std::size_t k = i + 1; k < comment.size() && std::isdigit(static_cast<unsigned char>(comment[k])); ++k) {
      tool = tool * 10 + (comment[k] - '0');
      if (tool > 99) return std::nullopt;
    }
    return tool;
  }
  return std::nullopt;
}

[[noreturn]] void refuse(int line, const std::string& why) {
  throw ToolpathError("line " + std::to_string(line) + ": " + why);
}

// The words of one line, comments left out: "( ... )" anywhere and ";" to
// the end of the line. The texts of the parenthesised comments go to
// `comments`.
std::vector<Word> wordsOf(std::string_view text, int line, std::vector<std::string_view>& comments) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '(') {
      const auto close = text.find(')', i);
      if (close == std::string_view::npos) refuse(line, "a comment is not closed");
      comments.push_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else if (c == ';') {
      break;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      std::size_t end = i + 1;
      while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.' ||
                                   text[end] == '-' || text[end] == '+')) {
        ++end;
      }
      const ParsedNumber n = parseNumber(text.substr(i + 1, end - i - 1));
      if (n.status != ParseStatus::Ok)
        refuse(line, "the word \"" + std::string(text.substr(i, end - i)) + "\" has no number");
      words.push_back(Word{static_cast<char>(std::toupper(static_cast<unsigned char>(c))), n.value});
      i = end;
    } else {
      refuse(line, std::string("unexpected character '") + c + "'");
    }
  }
  return words;
}

class Reader {
 public:
  void line(std::string_view text, int number) {
    std::optional<double> nx, ny, nz;
    std::vector<std::string_view> comments;
    const std::vector<Word> words = wordsOf(text, number, comments);
    for (std::string_view comment : comments) {
      if (const auto fitted = toolFittedIn(comment)) tool_ = *fitted;
    }
    for (const Word& w : words) {
      switch (w.letter) {
        case 'G':
          gWord(w.value, number);
          break;
        case 'X':
          nx = w.value;
          break;
        case 'Y':
          ny = w.value;
          break;
        case 'Z':
          nz = w.value;
          break;
        case 'T':
          tool_ = static_cast<int>(w.value);
          break;
        case 'F':
        case 'S':
        case 'M':
        case 'H':
        case 'P':
        case 'N':
        case 'D':
          break;
        default:
          refuse(number, std::string("the word ") + w.letter + " is not followed by the check");
      }
    }
    if (nx || ny || nz) move(text, number, nx, ny, nz);
  }

  std::vector<ToolpathMove> finish() { return std::move(moves_); }

 private:
  void gWord(double code, int number) {
    if (code == 0 || code == 1) {
      rapid_ = code == 0;
    } else if (!isSetupG(code)) {
      std::string g = "G";
      appendNumberText(g, code);
      refuse(number, g + " is not followed by the check (only G0 and G1 moves)");
    }
  }

  void move(std::string_view text, int number, std::optional<double> nx, std::optional<double> ny,
            std::optional<double> nz) {
    if (!rapid_) refuse(number, "a move before any G0 or G1");
    const bool wasKnown = x_ && y_ && z_;
    const Point3 from{x_.value_or(0), y_.value_or(0), z_.value_or(0)};
    if (nx) x_ = nx;
    if (ny) y_ = ny;
    if (nz) z_ = nz;
    if (!(x_ && y_ && z_)) return;
    // Nothing says which tool makes this move: the check would have to
    // guess its shape, and a guess could pass a program that gouges.
    if (tool_ == 0) refuse(number, "a move before any tool call (T word or a pause that names the tool to fit)");
    moves_.push_back(ToolpathMove{number, text, *rapid_, tool_, wasKnown, from, Point3{*x_, *y_, *z_}});
  }

  std::vector<ToolpathMove> moves_;
  std::optional<bool> rapid_;  // the motion mode in force
  int tool_ = 0;
  std::optional<double> x_, y_, z_;
};

}  // namespace

std::vector<ToolpathMove> readToolpath(std::string_view program) {
  Reader reader;
  std::size_t start = 0;
  int number = 0;
  while (start < program.size()) {
    std::size_t lf = program.find('\n', start);
    if (lf == std::string_view::npos) lf = program.size();
    std::string_view line = program.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.line(line, ++number);
    start = lf + 1;
  }
  return reader.finish();
}

}  // namespace ventaro
