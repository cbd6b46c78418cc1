// Numbers with a fixed count of decimals, for the tables and reports that sit
// beside the program. Locale-free (std::to_chars), full stop decimals; a
// value that rounds to zero is written without a minus sign.
#pragma once

#include <string>

namespace ventaro {

std::string fixedText(double value, int decimals);

}  // namespace ventaro
