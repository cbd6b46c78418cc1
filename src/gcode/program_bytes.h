// The bytes of a saved program: what the window's "Save Gcode" and the
// command line's output both write, so that the two give the same file.
#pragma once

#include <optional>
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

// The character of UTF-8 text that starts at `pos`, which moves past it; an
// invalid sequence gives U+FFFD and moves one byte.
char32_t nextCharacter(std::string_view utf8, std::size_t& pos);

// The Windows-1252 byte of a character; none for one the code page cannot
// hold (which the saved file writes as "?").
std::optional<unsigned char> windows1252Byte(char32_t c);

}  // namespace ventaro
