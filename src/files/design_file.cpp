#include "files/design_file.h"

#include "files/small_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>

namespace ventaro {

namespace {

constexpr std::string_view kFormatName = "ventaro-design";

// The file's words for the job fields, indexed by Field. They are part of
// the file format: once written they never change.
constexpr std::array<std::string_view, kFieldCount> kFieldKeys{
    "tsr",         "diameter",        "hub-radius",     "blades",     "attack",      "lift",
    "max-chord",   "stations-finish", "stations-rough", "passes",     "rough-depth", "finish-depth",
    "finish-feed", "rough-feed",      "rough-dia",      "rough-step", "fin-dia",     "fin-step",
};

// The shop settings that are numbers, with their keys; each must be
// positive.
struct ShopNumber {
  std::string_view key;
  double ShopSettings::*member;
};
constexpr ShopNumber kShopNumbers[] = {
    {"rough-rpm", &ShopSettings::roughRpm},     {"fin-rpm", &ShopSettings::finRpm},
    {"plunge-feed", &ShopSettings::plungeFeed}, {"clearance", &ShopSettings::clearance},
    {"tolerance", &ShopSettings::tolerance},
};

// Settings added after the first designs were saved: a design without them
// takes their defaults.
constexpr ShopNumber kLaterShopNumbers[] = {
    {"scallop", &ShopSettings::scallop},           {"rough-flutes", &ShopSettings::roughFlutes},
    {"fin-flutes", &ShopSettings::finFlutes},      {"rough-chip-load", &ShopSettings::roughChipLoad},
    {"fin-chip-load", &ShopSettings::finChipLoad}, {"rough-holder", &ShopSettings::roughHolder},
    {"fin-holder", &ShopSettings::finHolder},
};
// The same that may be null (not given).
struct ShopLength {
  std::string_view key;
  std::optional<double> ShopSettings::*member;
};
constexpr ShopLength kLaterShopLengths[] = {
    {"rough-reach", &ShopSettings::roughReach},   {"fin-reach", &ShopSettings::finReach},
    {"z-travel", &ShopSettings::zTravel},         {"rough-stickout", &ShopSettings::roughStickout},
    {"fin-stickout", &ShopSettings::finStickout},
};

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string quotedKey(std::string_view path) { return "\"" + std::string(path) + "\""; }

// Walks the parsed text, raising the first problem found as a DesignError.
class Reader {
 public:
  explicit Reader(const std::string& file) : file_(file) {}

  [[noreturn]] void fail(std::string problem) const { throw DesignError(file_, std::move(problem)); }

  const nlohmann::json& member(const nlohmann::json& object, std::string_view key, const std::string& path) const {
    const auto it = object.find(key);
    if (it == object.end()) fail("the field " + quotedKey(path) + " is missing");
    return *it;
  }

  const nlohmann::json& object(const nlohmann::json& parent, std::string_view key, const std::string& path) const {
    const nlohmann::json& value = member(parent, key, path);
    if (!value.is_object()) fail("the field " + quotedKey(path) + " is not an object");
    return value;
  }

  std::string text(const nlohmann::json& value, const std::string& path) const {
    if (!value.is_string()) fail("the field " + quotedKey(path) + " is not a text");
    std::string result = value.get<std::string>();
    if (hasLineBreak(result)) fail("the text of " + quotedKey(path) + " holds a line break");
    return result;
  }

  std::string text(const nlohmann::json& parent, std::string_view key, const std::string& path) const {
    return text(member(parent, key, path), path);
  }

  double number(const nlohmann::json& value, const std::string& path) const {
    if (!value.is_number()) fail("the field " + quotedKey(path) + " is not a number");
    return value.get<double>();
  }

  double positive(const nlohmann::json& parent, std::string_view key, const std::string& path) const {
    const double value = number(member(parent, key, path), path);
    if (!std::isfinite(value) || !(value > 0)) fail("the field " + quotedKey(path) + " is not a positive number");
    return value;
  }

  double positiveOr(const nlohmann::json& parent, std::string_view key, const std::string& path,
                    double fallback) const {
    return parent.contains(key) ? positive(parent, key, path) : fallback;
  }

  std::optional<double> numberOrNull(const nlohmann::json& parent, std::string_view key,
                                     const std::string& path) const {
    const nlohmann::json& value = member(parent, key, path);
    if (value.is_null()) return std::nullopt;
    if (!value.is_number() || !std::isfinite(value.get<double>())) {
      fail("the field " + quotedKey(path) + " is neither a number nor null");
    }
    return value.get<double>();
  }

  // One of the words a setting may take.
  std::string word(const nlohmann::json& parent, std::string_view key, const std::string& path,
                   std::initializer_list<std::string_view> words) const {
    std::string value = text(parent, key, path);
    for (std::string_view w : words) {
      if (value == w) return value;
    }
    std::string list;
    std::size_t i = 0;
    for (std::string_view w : words) {
      if (i > 0) list += i + 1 == words.size() ? " or " : ", ";
      list += w;
      ++i;
    }
    fail("the field " + quotedKey(path) + " is \"" + value + "\"; it must be " + list);
  }

 private:
  const std::string& file_;
};

void readVersion(const Reader& reader, const nlohmann::json& root) {
  if (reader.text(root, "format", "format") != kFormatName) {
    reader.fail("the field \"format\" is not \"" + std::string(kFormatName) + "\"");
  }
  const nlohmann::json& version = reader.member(root, "version", "version");
  if (!version.is_number_integer()) reader.fail("the field \"version\" is not a whole number");
  if (version.get<long long>() < 1 || version.get<long long>() > kDesignFormatVersion) {
    reader.fail("unknown format version " + version.dump() + "; this Ventaro reads versions 1 to " +
                std::to_string(kDesignFormatVersion));
  }
}

MachineSettings readMachine(const Reader& reader, const nlohmann::json& root) {
  const nlohmann::json& machine = reader.object(root, "machine", "machine");
  MachineSettings settings;
  settings.controller =
      *controllerByName(reader.word(machine, "controller", "machine.controller", {"plain", "linuxcnc", "grbl"}));
  settings.job = *jobByName(reader.word(machine, "job", "machine.job", {"plain", "shop", "two-sided"}));
  // The shop job is written for a machine; no client could run this pair.
  if (forMachine(settings.job) && settings.controller == Controller::Plain) {
    reader.fail("the job \"" + std::string(jobName(settings.job)) +
                "\" is written for a machine, but the controller is \"plain\"; it must be linuxcnc or grbl");
  }
  const nlohmann::json& shop = reader.object(machine, "shop", "machine.shop");
  settings.shop.roughShape =
      *toolShapeByName(reader.word(shop, "rough-shape", "machine.shop.rough-shape", {"flat", "ball"}));
  settings.shop.finShape = *toolShapeByName(reader.word(shop, "fin-shape", "machine.shop.fin-shape", {"ball", "flat"}));
  for (const ShopNumber& entry : kShopNumbers) {
    settings.shop.*entry.member = reader.positive(shop, entry.key, "machine.shop." + std::string(entry.key));
  }
  for (const ShopNumber& entry : kLaterShopNumbers) {
    settings.shop.*entry.member =
        reader.positiveOr(shop, entry.key, "machine.shop." + std::string(entry.key), ShopSettings{}.*entry.member);
  }
  for (const ShopLength& entry : kLaterShopLengths) {
    if (shop.contains(entry.key)) {
      settings.shop.*entry.member = reader.numberOrNull(shop, entry.key, "machine.shop." + std::string(entry.key));
    }
  }
  settings.shop.blockTop = reader.numberOrNull(shop, "block-top", "machine.shop.block-top");
  // The coordinates carry four decimals: a finer tolerance could not be kept.
  if (settings.shop.tolerance < kFinestTolerance) {
    reader.fail("the field \"machine.shop.tolerance\" is below 0.001 mm, the finest the program can keep");
  }
  return settings;
}

// The library's message without its "[json.exception.parse_error.101] " tag.
std::string libraryProblem(const nlohmann::json::exception& error) {
  std::string_view message = error.what();
  if (const auto close = message.find("] "); message.starts_with('[') && close != std::string_view::npos) {
    message.remove_prefix(close + 2);
  }
  return std::string(message);
}

// A design is a few kilobytes; anything near this is not one, and reading
// on (from /dev/zero, say) would only fill the memory.
constexpr std::size_t kMaxDesignBytes = std::size_t{1} << 20;

// Reads at most kMaxDesignBytes from a regular file or a pipe.
std::string readDesignBytes(const std::string& path) {
  try {
    return readSmallFile(path, kMaxDesignBytes, "the file is larger than 1 MiB; a design is a few kilobytes");
  } catch (const SmallFileError& error) {
    throw DesignError(path, error.what());
  }
}

}  // namespace

DesignError::DesignError(std::string file, std::string problem, bool reading)
    : std::runtime_error((reading ? "cannot read the design \"" : "cannot write the design \"") + file +
                         "\": " + problem),
      file_(std::move(file)),
      problem_(std::move(problem)) {}

std::string_view designKey(Field field) { return kFieldKeys[static_cast<std::size_t>(field)]; }

namespace {

Design readDesign(const Reader& reader, const nlohmann::json& root) {
  if (!root.is_object()) reader.fail("it is not a design: the text is not a JSON object");
  readVersion(reader, root);

  Design design;
  const nlohmann::json& fields = reader.object(root, "fields", "fields");
  for (int i = 0; i < kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    design.fields[field] = reader.text(fields, designKey(field), "fields." + std::string(designKey(field)));
  }
  design.machine = readMachine(reader, root);
  if (root.contains("blade")) {
    const nlohmann::json& blade = reader.object(root, "blade", "blade");
    DesignSettings& d = design.machine.design;
    d.method = *designMethodByName(reader.word(blade, "method", "blade.method", {"classic", "schmitz"}));
    d.liftFromPolar = reader.word(blade, "design-lift", "blade.design-lift", {"typed", "polar"}) == "polar";
    d.chordCap = reader.numberOrNull(blade, "chord-cap", "blade.chord-cap");
    if (d.chordCap && !(*d.chordCap > 0)) reader.fail("the field \"blade.chord-cap\" is not a positive number");
    if (blade.contains("airfoil")) d.airfoil = reader.text(blade, "airfoil", "blade.airfoil");
    const nlohmann::json& straight = reader.member(blade, "straight", "blade.straight");
    if (!straight.is_null()) {
      if (!straight.is_array() || straight.size() != 2 || !straight[0].is_number() || !straight[1].is_number() ||
          !(straight[0].get<double>() >= 0 && straight[0].get<double>() < straight[1].get<double>() &&
            straight[1].get<double>() <= 1)) {
        reader.fail("the field \"blade.straight\" is neither null nor two rising fractions of the tip radius");
      }
      d.straight = std::pair{straight[0].get<double>(), straight[1].get<double>()};
    }
    // Designs written before the plank's settings existed do without them.
    if (blade.contains("blank-thickness")) {
      d.blankThickness = reader.numberOrNull(blade, "blank-thickness", "blade.blank-thickness");
      if (d.blankThickness && !(*d.blankThickness > 0)) {
        reader.fail("the field \"blade.blank-thickness\" is not a positive number");
      }
    }
    if (blade.contains("root-block")) {
      const nlohmann::json& block = reader.member(blade, "root-block", "blade.root-block");
      if (!block.is_null()) {
        if (!block.is_array() || block.size() != 2 || !block[0].is_number() || !block[1].is_number() ||
            !(block[0].get<double>() >= 0 && block[1].get<double>() > 0)) {
          reader.fail("the field \"blade.root-block\" is neither null nor a length and a transition longer than 0");
        }
        d.rootBlock = std::pair{block[0].get<double>(), block[1].get<double>()};
      }
    }
  }
  if (root.contains("performance")) {
    const nlohmann::json& performance = reader.object(root, "performance", "performance");
    design.machine.performance.wind = reader.positive(performance, "wind", "performance.wind");
    if (design.machine.performance.wind > kMaxWind) reader.fail("the field \"performance.wind\" is above 100 m/s");
    const nlohmann::json& polars = reader.member(performance, "polars", "performance.polars");
    if (!polars.is_array()) reader.fail("the field \"performance.polars\" is not a list of file names");
    for (const nlohmann::json& polar : polars) {
      if (!polar.is_string() || polar.get<std::string>().empty()) {
        reader.fail("the field \"performance.polars\" holds what is no file name");
      }
      design.machine.performance.polarFiles.push_back(polar.get<std::string>());
    }
    if (performance.contains("polar-source")) {
      design.machine.performance.xfoil =
          reader.word(performance, "polar-source", "performance.polar-source", {"files", "xfoil"}) == "xfoil";
    }
  }
  return design;
}

}  // namespace

Design parseDesign(std::string_view text, const std::string& file) {
  const Reader reader(file);
  // Whatever the library raises (a syntax error, a number too large for a
  // double) is a design that cannot be read, never the end of the program.
  try {
    return readDesign(reader, nlohmann::json::parse(text));
  } catch (const nlohmann::json::parse_error& error) {
    reader.fail("it is not JSON text: " + libraryProblem(error));
  } catch (const nlohmann::json::exception& error) {
    reader.fail("it holds what cannot be read: " + libraryProblem(error));
  }
}

Design readDesignFile(const std::string& path) { return parseDesign(readDesignBytes(path), path); }

std::string designText(const Design& design, const std::string& file) {
  const auto checked = [&](const std::string& text, std::string_view key) -> const std::string& {
    if (hasLineBreak(text))
      throw DesignError(file, "the text of \"" + std::string(key) + "\" holds a line break", false);
    return text;
  };
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  for (int i = 0; i < kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    fields[std::string(designKey(field))] = checked(design.fields[field], designKey(field));
  }
  const ShopSettings& settings = design.machine.shop;
  nlohmann::ordered_json shop = nlohmann::ordered_json::object();
  shop["rough-shape"] = std::string(toolShapeName(settings.roughShape));
  shop["fin-shape"] = std::string(toolShapeName(settings.finShape));
  for (const ShopNumber& entry : kShopNumbers) shop[std::string(entry.key)] = settings.*entry.member;
  shop["block-top"] = settings.blockTop ? nlohmann::ordered_json(*settings.blockTop) : nullptr;
  for (const ShopNumber& entry : kLaterShopNumbers) shop[std::string(entry.key)] = settings.*entry.member;
  for (const ShopLength& entry : kLaterShopLengths) {
    const auto& value = settings.*entry.member;
    shop[std::string(entry.key)] = value ? nlohmann::ordered_json(*value) : nullptr;
  }
  nlohmann::ordered_json root = nlohmann::ordered_json::object();
  root["format"] = std::string(kFormatName);
  const bool later = design.machine.design != DesignSettings{} || design.machine.performance != PerformanceSettings{};
  root["version"] = later ? kDesignFormatVersion : 1;
  root["fields"] = std::move(fields);
  root["machine"] = {{"controller", std::string(controllerName(design.machine.controller))},
                     {"job", std::string(jobName(design.machine.job))},
                     {"shop", std::move(shop)}};
  if (later) {
    const DesignSettings& d = design.machine.design;
    root["blade"] = {
        {"method", std::string(designMethodName(d.method))},
        {"design-lift", d.liftFromPolar ? "polar" : "typed"},
        {"chord-cap", d.chordCap ? nlohmann::ordered_json(*d.chordCap) : nullptr},
        {"straight", d.straight ? nlohmann::ordered_json::array({d.straight->first, d.straight->second}) : nullptr},
        {"airfoil", checked(d.airfoil, "airfoil")},
        {"blank-thickness", d.blankThickness ? nlohmann::ordered_json(*d.blankThickness) : nullptr},
        {"root-block",
         d.rootBlock ? nlohmann::ordered_json::array({d.rootBlock->first, d.rootBlock->second}) : nullptr}};
    nlohmann::ordered_json polars = nlohmann::ordered_json::array();
    for (const std::string& polar : design.machine.performance.polarFiles) polars.push_back(checked(polar, "polars"));
    root["performance"] = {{"wind", design.machine.performance.wind},
                           {"polars", std::move(polars)},
                           {"polar-source", design.machine.performance.xfoil ? "xfoil" : "files"}};
  }
  try {
    return root.dump(2) + "\n";
  } catch (const nlohmann::json::type_error&) {
    throw DesignError(file, "a text is not valid UTF-8", false);
  }
}

}  // namespace ventaro
