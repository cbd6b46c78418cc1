// The bytes of a saved program: what the window's "Save Gcode" and the
// command line's output both write, so that the two give the same file.
#pragma once

#include <string>
#include <string_view>

namespace ventaro {

// The program text (UTF-8) in Windows-1252, one byte per character (the
// degree sign of the header is 0xB0); a character that Windows-1252 cannot
// hold, or a byte that is not valid UTF-8, is written as "?". The program
// text already has CR LF between its lines; one CR LF follows the last line,
// since some controllers skip a last line that has no line end. An empty
// program gives an empty file.
std::string programFileBytes(std::string_view program);

// The same bytes, converted in the program's own buffer (Windows-1252 never
// takes more bytes than UTF-8), for a caller that no longer needs the text:
// saves a copy of a program that may run to megabytes.
std::string toProgramFileBytes(std::string&& program);

// The text in Windows-1252 alone, without the final line end.
std::string toWindows1252(std::string_view utf8);

}  // namespace ventaro
