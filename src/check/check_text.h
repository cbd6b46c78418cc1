// The check's figures as text for the person at the machine, one block per
// tool, then the verdict.
#pragma once

#include <string>

#include "check/material_check.h"

namespace ventaro {

// Lines ending in "\n".
std::string checkText(const CheckResult& result);

}  // namespace ventaro
