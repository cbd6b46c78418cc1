// The report of the shop job: the block, the layers of the roughing and how
// deep the roughing tool must reach, the spacing of the finishing lines and
// the scallop they leave, and per tool its moves, path and time.
#pragma once

#include <string>
#include <string_view>

#include "post/controller_profile.h"
#include "toolpath/shop_job.h"

namespace ventaro {

// The whole report, lines ending in "\n". `program` is the program text
// written from the plan (for its line count).
std::string shopReport(const ShopPlan& plan, Controller controller, std::string_view program);

}  // namespace ventaro
