// GRBL acts on some bytes the moment they arrive, wherever they stand in a
// line, comments included: "!" holds the feed, "~" resumes, "?" asks for a
// status report, Ctrl-X resets, and the bytes 0x84, 0x85, 0x90 to 0x9E, 0xA0
// and 0xA1 change overrides, stop the spindle or toggle the coolant. In a
// Windows-1252 file those bytes are what ’ “ ” – … and the no-break space
// become, so a typed text could stop or change a running job.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// The text (UTF-8) with every such character replaced by a plain stand-in
// (’ by ', “ ” by ", – by -, … by ..., the no-break space by a blank, "!" and
// "?" by ".", "~" by "-"), control characters by blanks, and characters
// Windows-1252 cannot hold by "_", since the saved file would write them as
// "?".
std::string grblSafeText(std::string_view utf8);

}  // namespace ventaro
