#include "check/program_moves.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

namespace ventaro {

void AxisRange::add(double v) {
  lo = lo ? std::min(*lo, v) : v;
  hi = hi ? std::max(*hi, v) : v;
}

void Box::add(const std::optional<double>& px, const std::optional<double>& py, const std::optional<double>& pz) {
  if (px) x.add(*px);
  if (py) y.add(*py);
  if (pz) z.add(*pz);
}

void Box::add(const Box& other) {
  for (auto [to, from] : {std::pair{&x, &other.x}, std::pair{&y, &other.y}, std::pair{&z, &other.z}}) {
    if (from->lo) to->add(*from->lo);
    if (from->hi) to->add(*from->hi);
  }
}

namespace {

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::optional<int> wholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  int n = 0;
  for (char c : text) n = n * 10 + (c - '0');
  return n;
}

class Reader {
 public:
  void line(std::string_view text) {
    ++moves_.lines;
    const auto w = words(text);
    if (w.empty()) return;
    if (text.starts_with("( Roughing Pass no.")) {
      std::string_view rest = text.substr(19);
      const auto close = rest.find(' ');
      if (const auto k = wholeNumber(rest.substr(0, close))) {
        open(tool_, *k);
        return;
      }
    }
    if (w[0].size() > 1 && w[0][0] == 'T') {
      if (const auto t = wholeNumber(w[0].substr(1))) {
        tool_ = *t;
        open(tool_, 0);
        return;
      }
    }
    if (w[0][0] == 'F') {
      feed_ = std::string(text.substr(1));
      feedSeen_ = true;
      moves_.feedTexts.push_back(feed_);
      return;
    }
    if (w[0] == "G1" || w[0] == "G0") move(w[0] == "G0", w);
  }

  ProgramMoves finish() {
    closeSection();
    return std::move(moves_);
  }

 private:
  void open(int tool, int pass) {
    closeSection();
    current_ = ProgramSection{};
    current_->tool = tool;
    current_->pass = pass;
  }

  void closeSection() {
    if (!current_) return;
    if (!current_->feedSeen) {
      current_->feedText = feed_;
      current_->feedSeen = feedSeen_;
    }
    moves_.sections.push_back(std::move(*current_));
    current_.reset();
  }

  void move(bool rapid, const std::vector<std::string_view>& w) {
    if (!current_) open(tool_, 0);
    ProgramSection& s = *current_;
    // The feed in force when the section's first move is made.
    if (s.moves.empty()) {
      s.feedText = feed_;
      s.feedSeen = feedSeen_;
    }
    std::optional<double> nx = x_, ny = y_, nz = z_;
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (w[i].size() < 2) continue;
      const ParsedNumber n = parseNumber(w[i].substr(1));
      if (n.status != ParseStatus::Ok) continue;
      if (w[i][0] == 'X') nx = n.value;
      if (w[i][0] == 'Y') ny = n.value;
      if (w[i][0] == 'Z') nz = n.value;
    }
    if (x_ && y_ && z_ && nx && ny && nz) {
      const double dx = *nx - *x_, dy = *ny - *y_, dz = *nz - *z_;
      const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
      (rapid ? s.rapidLength : s.cutLength) += len;
    }
    x_ = nx, y_ = ny, z_ = nz;
    s.moves.push_back(Move{rapid, nx, ny, nz});
    s.box.add(nx, ny, nz);
    if (rapid) {
      ++s.rapidMoves;
    } else {
      ++s.cutMoves;
      s.cutBox.add(nx, ny, nz);
    }
  }

  ProgramMoves moves_;
  std::optional<ProgramSection> current_;
  int tool_ = 0;
  std::string feed_;
  bool feedSeen_ = false;
  std::optional<double> x_, y_, z_;
};

}  // namespace

ProgramMoves readProgramMoves(std::string_view program) {
  Reader reader;
  std::size_t start = 0;
  while (start < program.size()) {
    std::size_t lf = program.find('\n', start);
    if (lf == std::string_view::npos) lf = program.size();
    std::string_view line = program.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.line(line);
    start = lf + 1;
  }
  return reader.finish();
}

}  // namespace ventaro
