#include "machining/machine_settings.h"

namespace ventaro {

std::optional<Job> jobByName(std::string_view name) {
  if (name == "plain") return Job::Plain;
  if (name == "shop") return Job::Shop;
  return std::nullopt;
}

std::string_view jobName(Job job) { return job == Job::Shop ? "shop" : "plain"; }

}  // namespace ventaro
