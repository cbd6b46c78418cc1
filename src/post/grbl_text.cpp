#include "post/grbl_text.h"

#include <optional>

#include "gcode/program_bytes.h"

namespace ventaro {

namespace {

// The stand-in for a character GRBL would act on, or none for one it reads
// as text.
std::optional<std::string_view> standIn(char32_t c, unsigned char byte) {
  if (c < 0x20 || c == 0x7F) return " ";
  switch (c) {
    case '!':
    case '?':
      return ".";
    case '~':
      return "-";
    default:
      break;
  }
  switch (byte) {
    case 0x84:  // „
    case 0x93:  // “
    case 0x94:  // ”
      return "\"";
    case 0x85:  // …
      return "...";
    case 0x91:  // ‘
    case 0x92:  // ’
      return "'";
    case 0x95:  // •
      return "*";
    case 0x96:  // –
    case 0x97:  // —
    case 0x98:  // ˜
      return "-";
    case 0x99:  // ™
      return "TM";
    case 0x9A:  // š
      return "s";
    case 0x9B:  // ›
      return ">";
    case 0x9C:  // œ
      return "oe";
    case 0x9E:  // ž
      return "z";
    case 0xA0:  // no-break space
      return " ";
    case 0xA1:  // ¡
      return "i";
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string grblSafeText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const char32_t c = nextCharacter(utf8, pos);
    const std::optional<unsigned char> byte = windows1252Byte(c);
    if (!byte) {
      out += '_';
    } else if (const auto replacement = standIn(c, *byte)) {
      out += *replacement;
    } else {
      out.append(utf8.substr(start, pos - start));
    }
  }
  return out;
}

}  // namespace ventaro
