// UTF-8 reading and writing for names typed by players and read from files.
#include "base/utf8.h"

namespace tav {

namespace {

// The plain letter under each Latin letter with marks, by code; a blank where
// there is none. Made from the letters' Unicode names ("LATIN CAPITAL LETTER Z
// WITH DOT ABOVE" gives 'Z'), so strokes and dotless letters are covered too.
// U+00C0 to U+024F.
const char kLatinPlain[] =
    "AAAAAA CEEEEIIII NOOOOO OUUUUY saaaaaa ceeeeiiii nooooo ouuuuy y"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi  JjKk LlLlLlL"
    "lLlNnNnNnn  OoOoOo  RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs"
    "bBBb  OCc DDd E EFfG   IKkl MNnOOo  Pp     tTtTUu VYyZz         "
    "     D  L  N AaIiOoUuUuUuUuUueAaAa  GgGgKkOoOo  j D Gg  NnAa  Oo"
    "AaAaEeEeIiIiOoOoRrRrUuUuSsTt  HhNd  ZzAaEeOoOoOoOoYylntj  ACcLTs"
    "z  BUVEeJj qRrYy";

// U+1E00 to U+1EFF.
const char kLatinAdditionalPlain[] =
    "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
    "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
    "WwWwWwWwWwXxXxYyZzZzZzhtwyasssS AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
    "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy    Yy";

}  // namespace

uint32_t NextUtf8Letter(std::string_view text, size_t* pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(*pos);
  size_t length = 0;
  uint32_t letter = 0;
  uint32_t smallest = 0;
  if (lead < 0x80) {
    ++*pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, letter = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, letter = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, letter = lead & 0x07, smallest = 0x10000;
  } else {
    ++*pos;
    return kReplacementLetter;
  }
  if (*pos + length > text.size()) {
    ++*pos;
    return kReplacementLetter;
  }
  for (size_t i = 1; i < length; ++i) {
    if ((byte(*pos + i) & 0xC0) != 0x80) {
      ++*pos;
      return kReplacementLetter;
    }
    letter = (letter << 6) | (byte(*pos + i) & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not letters.
  if (letter < smallest || (letter >= 0xD800 && letter <= 0xDFFF) || letter > 0x10FFFF) {
    ++*pos;
    return kReplacementLetter;
  }
  *pos += length;
  return letter;
}

void AppendUtf8(std::string& text, uint32_t letter) {
  if (letter < 0x80) {
    text.push_back(static_cast<char>(letter));
  } else if (letter < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (letter >> 6)));
    text.push_back(static_cast<char>(0x80 | (letter & 0x3F)));
  } else if (letter < 0x10000) {
    if (letter >= 0xD800 && letter <= 0xDFFF) return;
    text.push_back(static_cast<char>(0xE0 | (letter >> 12)));
    text.push_back(static_cast<char>(0x80 | ((letter >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (letter & 0x3F)));
  } else if (letter <= 0x10FFFF) {
    text.push_back(static_cast<char>(0xF0 | (letter >> 18)));
    text.push_back(static_cast<char>(0x80 | ((letter >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((letter >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (letter & 0x3F)));
  }
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  for (char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string CutUtf8(std::string_view text, size_t maxBytes) {
  size_t pos = 0;
  size_t end = 0;
  while (pos < text.size()) {
    NextUtf8Letter(text, &pos);
    if (pos > maxBytes) break;
    end = pos;
  }
  return std::string(text.substr(0, end));
}

void RemoveLastUtf8Letter(std::string& text) {
  size_t pos = 0;
  size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    NextUtf8Letter(text, &pos);
  }
  text.resize(last);
}

uint32_t PlainLetter(uint32_t letter) {
  auto from = [letter](const char* table, uint32_t first, size_t count) -> uint32_t {
    if (letter < first || letter >= first + count) return 0;
    const char plain = table[letter - first];
    return plain == ' ' ? 0 : static_cast<unsigned char>(plain);
  };
  if (uint32_t plain = from(kLatinPlain, 0xC0, sizeof kLatinPlain - 1)) return plain;
  return from(kLatinAdditionalPlain, 0x1E00, sizeof kLatinAdditionalPlain - 1);
}

}  // namespace tav
