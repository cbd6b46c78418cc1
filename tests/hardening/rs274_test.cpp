// Our programs through a real controller's interpreter: LinuxCNC's
// stand-alone rs274 reads a program and prints the canonical machining
// calls it makes of it. Every G1 line must become exactly one straight feed
// and every G0 line one straight traverse, at the coordinates written, and
// the interpreter's only complaint may be the missing program end (our
// programs carry no M2 or M30 on purpose: the user ends the job).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/number_text.h"
#include "gcode/compute.h"
#include "gcode/program_bytes.h"
#include "program_grammar.h"
#include "rs274.h"

namespace ventaro {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One canonical call: "   19 N..... STRAIGHT_FEED(200.0000, 310.3000, ...)".
struct Call {
  std::string name;
  std::vector<std::string> args;
};

std::vector<Call> parseCanon(const std::string& text) {
  std::vector<Call> calls;
  for (const std::string& line : linesOf(text)) {
    const std::size_t start = line.find("N..... ");
    const std::size_t open = line.find('(', start);
    if (start == std::string::npos || open == std::string::npos || line.back() != ')') {
      ADD_FAILURE() << "unexpected interpreter output: " << line;
      continue;
    }
    Call call{line.substr(start + 7, open - start - 7), {}};
    const std::string args = line.substr(open + 1, line.size() - open - 2);
    for (std::size_t pos = 0; !args.empty() && pos <= args.size();) {
      const std::size_t comma = args.find(", ", pos);
      call.args.push_back(args.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
      if (comma == std::string::npos) break;
      pos = comma + 2;
    }
    calls.push_back(std::move(call));
  }
  return calls;
}

// The interpreter prints lengths with four decimals. A word with at most
// four decimals must come back as its own digits padded with zeros
// ("200.00" as "200.0000", "12345." as "12345.0000"); only the rapid move's
// whole X can hold more, and must then come back within half a unit of the
// last place.
::testing::AssertionResult sameLength(std::string_view written, const std::string& canon) {
  std::string padded(written);
  const std::size_t point = padded.find('.');
  const std::size_t decimals = point == std::string::npos ? 0 : padded.size() - point - 1;
  if (decimals <= 4) {
    if (point == std::string::npos) padded += '.';
    padded.append(4 - decimals, '0');
    if (padded == canon) return ::testing::AssertionSuccess();
  } else {
    const ParsedNumber w = parseNumber(written);
    const ParsedNumber c = parseNumber(canon);
    if (w.status == ParseStatus::Ok && c.status == ParseStatus::Ok && std::abs(w.value - c.value) <= 0.0000501) {
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "written " << written << ", interpreted " << canon;
}

struct Case {
  const char* name;
  std::vector<std::pair<Field, const char*>> changes;
};

class Rs274 : public ::testing::TestWithParam<Case> {};

TEST_P(Rs274, MovesComeBackAtTheCoordinatesWritten) {
  const auto rs274 = test::findRs274();
  if (!rs274) {
    if (const char* ci = std::getenv("CI"); ci && std::string_view(ci) == "true") {
      FAIL() << "rs274 (Debian package linuxcnc-uspace) is missing on CI";
    }
    GTEST_SKIP() << "rs274 is not installed (Debian package linuxcnc-uspace)";
  }

  JobFields fields;
  for (const auto& [field, text] : GetParam().changes) fields[field] = text;
  SectionTable table;
  table.fill();
  const std::string program = compute(fields, table);
  ASSERT_EQ(grammar::programProblem(program), "");

  const test::Rs274Output out = test::runRs274(*rs274, programFileBytes(program), GetParam().name);
  const std::vector<Call> calls = parseCanon(out.canon);
  const std::vector<std::string> complaints = linesOf(out.complaints);

  const std::vector<std::string_view> lines = grammar::programLines(program);
  const std::vector<std::string> expectedComplaints{"executing", "File ended with no percent sign or program end",
                                                    std::string(lines.back())};
  EXPECT_EQ(complaints, expectedComplaints);

  // Millimetres, no offsets: the coordinates are taken as written.
  std::size_t units = 0;
  for (const Call& call : calls) {
    if (call.name == "USE_LENGTH_UNITS") {
      ++units;
      EXPECT_EQ(call.args, std::vector<std::string>{"CANON_UNITS_MM"});
    }
    if (call.name == "SET_G5X_OFFSET" || call.name == "SET_G92_OFFSET") {
      for (std::size_t i = call.name == "SET_G5X_OFFSET" ? 1 : 0; i < call.args.size(); ++i) {
        EXPECT_EQ(call.args[i], "0.0000") << call.name;
      }
    }
  }
  EXPECT_EQ(units, 1u);

  // Walk the program and the calls side by side.
  std::vector<const Call*> motions, feeds, tools, comments;
  for (const Call& call : calls) {
    if (call.name.starts_with("STRAIGHT_") || call.name.starts_with("ARC_") || call.name.starts_with("NURBS")) {
      motions.push_back(&call);
    } else if (call.name == "SET_FEED_RATE") {
      feeds.push_back(&call);
    } else if (call.name == "SELECT_TOOL") {
      tools.push_back(&call);
    } else if (call.name == "COMMENT") {
      comments.push_back(&call);
    }
  }
  std::size_t motion = 0, feed = 0, tool = 0, comment = 0;
  std::string y = "0.0000";  // Y is modal: a rapid move keeps the last one
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + std::string(line));
    if (const auto move = grammar::parseMove(line)) {
      ASSERT_LT(motion, motions.size()) << "no motion left for this move";
      const Call& call = *motions[motion++];
      ASSERT_EQ(call.name, move->rapid ? "STRAIGHT_TRAVERSE" : "STRAIGHT_FEED");
      ASSERT_EQ(call.args.size(), 6u);
      EXPECT_TRUE(sameLength(move->x, call.args[0]));
      if (move->rapid) {
        EXPECT_EQ(call.args[1], y);
      } else {
        EXPECT_TRUE(sameLength(move->y, call.args[1]));
        y = call.args[1];
      }
      EXPECT_TRUE(sameLength(move->z, call.args[2]));
      EXPECT_EQ(call.args[3], "0.0000");
    } else if (line.starts_with("F")) {
      ASSERT_LT(feed, feeds.size());
      EXPECT_TRUE(sameLength(line.substr(1), feeds[feed++]->args.at(0)));
    } else if (line == "T1" || line == "T2") {
      ASSERT_LT(tool, tools.size());
      EXPECT_EQ(tools[tool++]->args, std::vector<std::string>{std::string(line.substr(1))});
    } else if (line.starts_with("( ")) {
      ASSERT_LT(comment, comments.size());
      ++comment;
    }
  }
  EXPECT_EQ(motion, motions.size()) << "motions the program did not write";
  EXPECT_EQ(feed, feeds.size());
  EXPECT_EQ(tool, tools.size());
  EXPECT_EQ(comment, comments.size()) << "a comment was split or lost";
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, Rs274,
    ::testing::Values(Case{"default", {}}, Case{"no_passes", {{Field::RoughPassesNo, "0"}}},
                      Case{"five_passes", {{Field::RoughPassesNo, "5"}}}, Case{"hub_radius_0", {{Field::HubRad, "0"}}},
                      Case{"thousand_finishing_stations", {{Field::HubRad, "0"}, {Field::STNfinish, "999"}}},
                      Case{"small_slow_rotor",
                           {{Field::TSR, "1.5"},
                            {Field::D, "0.8"},
                            {Field::HubRad, "0.05"},
                            {Field::B, "2"},
                            {Field::AT, "12"},
                            {Field::Cl, "1.4"},
                            {Field::Max, "0.08"},
                            {Field::FinDia, "6.0"},
                            {Field::STNfinish, "84.5714285714286"},
                            {Field::STNrough, "12.5"},
                            {Field::RoughDepth, "2.5"},
                            {Field::FinishDepth, "0.5"},
                            {Field::RoughFeed, "800.5"},
                            {Field::FinishFeed, "300"}}},
                      Case{"large_fast_rotor",
                           {{Field::TSR, "10"},
                            {Field::D, "6"},
                            {Field::HubRad, "0.4"},
                            {Field::B, "5"},
                            {Field::AT, "0"},
                            {Field::Cl, "0.5"},
                            {Field::Max, "0.5"},
                            {Field::RoughPassesNo, "1"},
                            {Field::STNfinish, "150"},
                            {Field::STNrough, "20"}}},
                      Case{"negative_attack",
                           {{Field::TSR, "4"},
                            {Field::D, "1.2"},
                            {Field::HubRad, "0.1"},
                            {Field::AT, "-3"},
                            {Field::Cl, "1.2"},
                            {Field::RoughPassesNo, "2"},
                            {Field::RoughDepth, "7.5"}}},
                      Case{"hub_beyond_tip", {{Field::HubRad, "2"}, {Field::RoughPassesNo, "2"}}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ventaro
