// The design file: what is written is read back as it was, the default
// design's whole text, and every kind of broken file refused with its problem.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "files/design_file.h"

namespace ventaro {
namespace {

void expectSame(const Design& a, const Design& b) {
  for (int i = 0; i < kFieldCount; ++i) {
    EXPECT_EQ(a.fields[static_cast<Field>(i)], b.fields[static_cast<Field>(i)]) << designKey(static_cast<Field>(i));
  }
  EXPECT_EQ(a.machine, b.machine);
}

Design unusualDesign() {
  Design design;
  design.fields[Field::D] = "3.360";
  design.fields[Field::HubRad] = " 0,2 ";
  design.fields[Field::STNfinish] = "98.6666666666667";
  design.fields[Field::AT] = "5\u00b0 \"quoted\" \\ \t";
  design.fields[Field::Cl] = "";
  design.machine.controller = Controller::Grbl;
  design.machine.job = Job::Shop;
  design.machine.shop.roughShape = ToolShape::Ball;
  design.machine.shop.finShape = ToolShape::Flat;
  design.machine.shop.finRpm = 20000;
  design.machine.shop.tolerance = 0.1 + 0.2;  // every digit of a double comes back
  design.machine.shop.blockTop = -12.5;
  return design;
}

TEST(DesignFile, RoundTrip) {
  for (const Design& design : {Design{}, unusualDesign()}) {
    const std::string text = designText(design, "d.json");
    expectSame(parseDesign(text, "d.json"), design);
    EXPECT_EQ(designText(parseDesign(text, "d.json"), "d.json"), text);
  }
}

TEST(DesignFile, DefaultDesignText) {
  EXPECT_EQ(designText(Design{}, "d.json"), R"({
  "format": "ventaro-design",
  "version": 1,
  "fields": {
    "tsr": "6",
    "diameter": "3.36",
    "hub-radius": "0.2",
    "blades": "3",
    "attack": "5",
    "lift": "0.8",
    "max-chord": "0.3",
    "stations-finish": "100",
    "stations-rough": "50",
    "passes": "3",
    "rough-depth": "5",
    "finish-depth": "2",
    "finish-feed": "600",
    "rough-feed": "1200",
    "rough-dia": "37",
    "rough-step": "80",
    "fin-dia": "20",
    "fin-step": "74"
  },
  "machine": {
    "controller": "plain",
    "job": "plain",
    "shop": {
      "rough-shape": "flat",
      "fin-shape": "ball",
      "rough-rpm": 12000.0,
      "fin-rpm": 18000.0,
      "plunge-feed": 300.0,
      "clearance": 10.0,
      "tolerance": 0.01,
      "block-top": null,
      "scallop": 0.2,
      "rough-flutes": 2.0,
      "fin-flutes": 2.0,
      "rough-chip-load": 0.3,
      "fin-chip-load": 0.3,
      "rough-holder": 40.0,
      "fin-holder": 40.0,
      "rough-reach": null,
      "fin-reach": null,
      "z-travel": null,
      "rough-stickout": null,
      "fin-stickout": null
    }
  }
}
)");
}

TEST(DesignFile, UnknownKeysAreIgnored) {
  std::string text = designText(unusualDesign(), "d.json");
  text.replace(text.find("\"version\""), 0, "\"comment\": [1, {\"x\": null}],\n  ");
  text.replace(text.find("\"tsr\""), 0, "\"colour\": \"red\", ");
  expectSame(parseDesign(text, "d.json"), unusualDesign());
}

// The default design's text with `from` replaced by `to`.
std::string edited(std::string_view from, std::string_view to) {
  std::string text = designText(Design{}, "d.json");
  const auto at = text.find(from);
  if (at == std::string::npos) ADD_FAILURE() << "no " << from;
  return text.replace(at, from.size(), to);
}

struct Broken {
  const char* name;
  std::string text;
  std::string problem;
  bool prefix = false;  // the problem begins with `problem`
};

TEST(DesignFile, BrokenFilesAreRefused) {
  const Broken cases[] = {
      // The parser's own words follow the place; only the place is ours to check.
      {"empty", "", "it is not JSON text: parse error at line 1, column 1: ", true},
      {"not json", "diameter = 3.36", "it is not JSON text: parse error at line 1, column 1: ", true},
      {"cut short", designText(Design{}, "d.json").substr(0, 40),
       "it is not JSON text: parse error at line 3, column 9: ", true},
      {"array", "[1, 2]", "it is not a design: the text is not a JSON object"},
      {"other format", edited("ventaro-design", "blade"), "the field \"format\" is not \"ventaro-design\""},
      {"no version", edited("\"version\": 1,", ""), "the field \"version\" is missing"},
      {"version text", edited("\"version\": 1", "\"version\": \"1\""), "the field \"version\" is not a whole number"},
      {"version 3", edited("\"version\": 1", "\"version\": 3"),
       "unknown format version 3; this Ventaro reads versions 1 to 2"},
      {"no fields", edited("\"fields\"", "\"felds\""), "the field \"fields\" is missing"},
      {"missing field", edited("\"lift\": \"0.8\",", ""), "the field \"fields.lift\" is missing"},
      {"number field", edited("\"3.36\"", "3.36"), "the field \"fields.diameter\" is not a text"},
      {"null field", edited("\"37\"", "null"), "the field \"fields.rough-dia\" is not a text"},
      {"line break", edited("\"0.8\"", "\"0.8\\n\""), "the text of \"fields.lift\" holds a line break"},
      {"carriage return", edited("\"600\"", "\"6\\r00\""), "the text of \"fields.finish-feed\" holds a line break"},
      {"machine text", edited("\"machine\": {", "\"machine\": \"plain\", \"x\": {"),
       "the field \"machine\" is not an object"},
      {"controller", edited("\"controller\": \"plain\"", "\"controller\": \"fanuc\""),
       "the field \"machine.controller\" is \"fanuc\"; it must be plain, linuxcnc or grbl"},
      {"job", edited("\"job\": \"plain\"", "\"job\": \"Shop\""),
       "the field \"machine.job\" is \"Shop\"; it must be plain, shop or two-sided"},
      {"no shop", edited("\"shop\": {", "\"workshop\": {"), "the field \"machine.shop\" is missing"},
      {"shape", edited("\"fin-shape\": \"ball\"", "\"fin-shape\": \"bull\""),
       "the field \"machine.shop.fin-shape\" is \"bull\"; it must be ball or flat"},
      {"rpm text", edited("\"fin-rpm\": 18000.0", "\"fin-rpm\": \"18000\""),
       "the field \"machine.shop.fin-rpm\" is not a number"},
      {"clearance zero", edited("\"clearance\": 10.0", "\"clearance\": 0"),
       "the field \"machine.shop.clearance\" is not a positive number"},
      {"fine tolerance", edited("\"tolerance\": 0.01", "\"tolerance\": 0.0005"),
       "the field \"machine.shop.tolerance\" is below 0.001 mm, the finest the program can keep"},
      {"no tolerance", edited("\"tolerance\": 0.01,", ""), "the field \"machine.shop.tolerance\" is missing"},
      {"block top text", edited("\"block-top\": null", "\"block-top\": \"300\""),
       "the field \"machine.shop.block-top\" is neither a number nor null"},
  };
  for (const Broken& c : cases) {
    try {
      parseDesign(c.text, "/tmp/my design.json");
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const DesignError& error) {
      EXPECT_EQ(error.file(), "/tmp/my design.json") << c.name;
      const std::string problem = c.prefix ? error.problem().substr(0, c.problem.size()) : error.problem();
      EXPECT_EQ(problem, c.problem) << c.name;
      EXPECT_EQ(std::string(error.what()), "cannot read the design \"/tmp/my design.json\": " + error.problem())
          << c.name;
    }
  }
}

TEST(DesignFile, ReadsAFileAndNamesAMissingOne) {
  const std::string path = testing::TempDir() + "design_file_test.json";
  {
    std::ofstream out(path, std::ios::binary);
    out << designText(unusualDesign(), path);
  }
  expectSame(readDesignFile(path), unusualDesign());
  std::remove(path.c_str());
  try {
    readDesignFile(path);
    ADD_FAILURE() << "a missing file was read";
  } catch (const DesignError& error) {
    EXPECT_EQ(std::string(error.what()),
              "cannot read the design \"" + path + "\": the file cannot be opened: No such file or directory");
  }
}

TEST(DesignFile, TextsTheFileCouldNotHoldAreNotWritten) {
  Design design;
  design.fields[Field::B] = "3\n";
  EXPECT_THROW(designText(design, "d.json"), DesignError);
  design.fields[Field::B] = "\xff";
  try {
    designText(design, "d.json");
    ADD_FAILURE() << "invalid UTF-8 written";
  } catch (const DesignError& error) {
    EXPECT_EQ(std::string(error.what()), "cannot write the design \"d.json\": a text is not valid UTF-8");
  }
}

}  // namespace
}  // namespace ventaro
