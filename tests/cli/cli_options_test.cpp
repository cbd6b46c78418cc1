// The option parser in process, and the help text.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli_process.h"

namespace ventaro {
namespace {

using cli::ParseResult;

ParseResult parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"ventaro-gcode"};
  argv.insert(argv.end(), args);
  return cli::parseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(CliOptions, EveryFieldHasItsOptionAndDefault) {
  const ParseResult none = parse({});
  ASSERT_FALSE(none.usageError);
  EXPECT_FALSE(none.options.output);
  EXPECT_FALSE(none.options.quiet);
  for (Field field : cli::fieldOptionOrder()) {
    EXPECT_EQ(none.options.fields[field], JobFields::defaultText(field));
    EXPECT_FALSE(none.options.isGiven(field));
  }
  // The eighteen options of the fields, each setting its own field only.
  std::vector<std::string> names;
  for (Field field : cli::fieldOptionOrder()) {
    const std::string arg = std::string(cli::optionName(field)) + "=v";
    const ParseResult one = parse({arg.c_str()});
    ASSERT_FALSE(one.usageError) << arg;
    for (Field other : cli::fieldOptionOrder()) {
      EXPECT_EQ(one.options.isGiven(other), other == field) << arg;
      EXPECT_EQ(one.options.fields[other], other == field ? "v" : JobFields::defaultText(other)) << arg;
    }
    names.emplace_back(cli::optionName(field));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"--tsr", "--diameter", "--hub-radius", "--blades", "--attack", "--lift",
                                             "--max-chord", "--passes", "--rough-depth", "--finish-depth",
                                             "--finish-feed", "--rough-feed", "--rough-dia", "--rough-step",
                                             "--fin-dia", "--fin-step", "--stations-finish", "--stations-rough"}));
}

TEST(CliOptions, ValueFormsAndRepeats) {
  const ParseResult r = parse({"--hub-radius", "-1", "--tsr=", "--blades", "--lift", "--attack=a=b", "-o", "-",
                               "--passes", "2", "--passes=4", "--output", "x.nc", "--quiet", "--quiet"});
  ASSERT_FALSE(r.usageError) << *r.usageError;
  EXPECT_EQ(r.options.fields[Field::HubRad], "-1");
  EXPECT_EQ(r.options.fields[Field::TSR], "");
  EXPECT_TRUE(r.options.isGiven(Field::TSR));
  EXPECT_EQ(r.options.fields[Field::B], "--lift");  // the next argument, whatever it is
  EXPECT_FALSE(r.options.isGiven(Field::Cl));
  EXPECT_EQ(r.options.fields[Field::AT], "a=b");
  EXPECT_EQ(r.options.fields[Field::RoughPassesNo], "4");
  EXPECT_EQ(r.options.output, "x.nc");
  EXPECT_TRUE(r.options.quiet);
  EXPECT_FALSE(r.options.help);
}

TEST(CliOptions, FirstBadArgumentStopsTheParse) {
  const ParseResult r = parse({"--tsr", "7", "--nope", "--help"});
  EXPECT_EQ(r.usageError, "unknown option '--nope'");
  EXPECT_FALSE(r.options.help);
  EXPECT_EQ(parse({"--help=1"}).usageError, "option '--help' takes no value");
  EXPECT_EQ(parse({"--fin-step", "7\n4"}).usageError, "the value of '--fin-step' holds a line break");
}

TEST(CliHelp, ListsEveryOptionWithLabelUnitAndDefault) {
  const auto run = testing::runCli({"--tsr", "7", "--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::string& help = run.out;
  EXPECT_TRUE(help.starts_with("Usage: ventaro-gcode [OPTION...] [-o FILE]\n"));
  EXPECT_NE(help.find("the last one\nwins"), std::string::npos);
  EXPECT_NE(help.find("\n  --tsr TEXT              Tip Speed Ratio; no unit; default 6\n"), std::string::npos);
  EXPECT_NE(help.find("\n  --attack TEXT           Angle attack / \u00b0; degrees; default 5\n"), std::string::npos);
  EXPECT_NE(help.find("\n  --max-chord TEXT        Max. Chord  /meter; m; default 0.3\n"), std::string::npos);
  EXPECT_NE(help.find("\n  --rough-step TEXT       Roughing Tool: Stepover / %:; % of diameter; default 80\n"),
            std::string::npos);
  EXPECT_NE(help.find("\n  --stations-finish TEXT  Stations (Finish); steps over the rotor radius;\n"
                      "                          default worked out from --diameter, --hub-radius,\n"
                      "                          --fin-dia and --fin-step (100 with the defaults)\n"),
            std::string::npos);
  for (Field field : cli::fieldOptionOrder()) {
    const std::string head = "\n  " + std::string(cli::optionName(field)) + " TEXT ";
    const auto at = help.find(head);
    ASSERT_NE(at, std::string::npos) << head;
    const std::string line = help.substr(at + 1, help.find('\n', at + 1) - at - 1);
    EXPECT_NE(line.find(std::string(fieldLabel(field)) + "; " + std::string(fieldInfo(field).unit)), std::string::npos)
        << line;
    if (field != Field::STNfinish && field != Field::STNrough) {
      EXPECT_TRUE(line.ends_with("; default " + std::string(JobFields::defaultText(field)))) << line;
    }
  }
  EXPECT_NE(help.find("\n  -o, --output FILE       write the program to FILE"), std::string::npos);
  EXPECT_NE(help.find("\n  --quiet                 do not print"), std::string::npos);
  EXPECT_NE(help.find("\n  -h, --help              print this help and exit\n"), std::string::npos);
  EXPECT_EQ(testing::runCli({"-h"}).out, help);
}

// The machine settings that serve more than the shop job say so, with the
// defaults the programs use.
TEST(CliHelp, MachineSettingsSayWhereTheyApply) {
  const std::string help = testing::runCli({"--help"}).out;
  const std::string pad = "\n                          ";
  for (const std::string& row :
       {"  --rough-rpm RPM         roughing spindle speed (linuxcnc, grbl);" + pad + "default 12000\n",
        "  --fin-rpm RPM           finishing spindle speed (linuxcnc, grbl);" + pad + "default 18000\n",
        "  --clearance MM          rapid moves this far above the block top (shop" + pad +
            "job) or the program's highest Z (linuxcnc, grbl);" + pad + "default 10\n",
        "  --rough-shape SHAPE     roughing tool flat or ball (shop job, --check);" + pad + "default flat\n",
        "  --check-grid MM         the check's cell size, at most a quarter of the" + pad +
            "smaller tool's radius; default 0.5," + pad + "or that quarter where finer\n"}) {
    EXPECT_NE(help.find("\n" + row), std::string::npos) << row;
  }
}

}  // namespace
}  // namespace ventaro
