#include "machining/toolpath.h"

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

[[noreturn]] void refuse(int line, const std::string& why) {
  throw ToolpathError("line " + std::to_string(line) + ": " + why);
}

// The words of one line, comments left out: "( ... )" anywhere and ";" to
// the end of the line.
std::vector<Word> wordsOf(std::string_view text, int line) {
  std::vector<Word> words;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == '(') {
      const auto close = text.find(')', i);
      if (close == std::string_view::npos) refuse(line, "a comment is not closed");
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
    for (const Word& w : wordsOf(text, number)) {
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
