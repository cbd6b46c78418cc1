#include "machine/shop_settings.h"

namespace ventaro {

std::optional<Job> jobByName(std::string_view name) {
  if (name == "plain") return Job::Plain;
  if (name == "shop") return Job::Shop;
  if (name == "two-sided") return Job::TwoSided;
  return std::nullopt;
}

std::string_view jobName(Job job) {
  switch (job) {
    case Job::Shop:
      return "shop";
    case Job::TwoSided:
      return "two-sided";
    case Job::Plain:
      break;
  }
  return "plain";
}

std::optional<ToolShape> toolShapeByName(std::string_view name) {
  if (name == "flat") return ToolShape::Flat;
  if (name == "ball") return ToolShape::Ball;
  return std::nullopt;
}

std::string_view toolShapeName(ToolShape shape) { return shape == ToolShape::Ball ? "ball" : "flat"; }

}  // namespace ventaro
