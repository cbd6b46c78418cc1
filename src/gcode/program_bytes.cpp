#include "gcode/program_bytes.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace ventaro {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page leaves a byte
// undefined.
constexpr std::array<char32_t, 32> kHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char encode(char32_t c) {
  const std::optional<unsigned char> byte = windows1252Byte(c);
  return byte ? static_cast<char>(*byte) : '?';
}

// Decodes one UTF-8 sequence at `pos`; an invalid one (stray continuation,
// overlong form, surrogate, beyond U+10FFFF, cut short) yields 0xFFFD and
// consumes one byte.
char32_t decode(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const std::uint8_t b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int length = 0;
  char32_t c = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    length = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (pos + static_cast<std::size_t>(length) > s.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i < length; ++i) {
    const std::uint8_t b = byte(pos + static_cast<std::size_t>(i));
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += static_cast<std::size_t>(length);
  return c;
}

// The index of the first byte that is not ASCII, or the size. A program is
// ASCII but for its degree sign, so this looks at eight bytes at a time.
std::size_t firstNonAscii(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, s.data() + i, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) break;
  }
  while (i < s.size() && static_cast<std::uint8_t>(s[i]) < 0x80) ++i;
  return i;
}

}  // namespace

std::optional<unsigned char> windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] != 0 && kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

char32_t nextCharacter(std::string_view utf8, std::size_t& pos) { return decode(utf8, pos); }

std::string toWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    // Most of a program is ASCII: copy runs of it as they are.
    if (static_cast<std::uint8_t>(utf8[pos]) < 0x80) {
      std::size_t end = pos;
      while (end < utf8.size() && static_cast<std::uint8_t>(utf8[end]) < 0x80) ++end;
      out.append(utf8.substr(pos, end - pos));
      pos = end;
      continue;
    }
    out += encode(decode(utf8, pos));
  }
  return out;
}

std::string programFileBytes(std::string_view program) {
  std::string copy;
  copy.reserve(program.size() + 2);
  copy.append(program);
  return toProgramFileBytes(std::move(copy));
}

std::string toProgramFileBytes(std::string&& program) {
  if (program.empty()) return {};
  // Past the ASCII start, each character is decoded before its one byte is
  // written, and the write position never passes the read position.
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < program.size()) {
    const std::size_t ascii = firstNonAscii(std::string_view(program).substr(read));
    if (write != read) std::memmove(program.data() + write, program.data() + read, ascii);
    read += ascii;
    write += ascii;
    if (read < program.size()) program[write++] = encode(decode(program, read));
  }
  program.resize(write);
  program += "\r\n";
  return std::move(program);
}

}  // namespace ventaro
