// UTF-8 text, the way the game keeps the players' names: reading one letter at
// a time (broken bytes read as U+FFFD, one byte each, so a damaged name can
// never stall a loop), writing letters, and cutting a text without splitting a
// letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

constexpr uint32_t kReplacementLetter = 0xFFFD;

// The letter starting at `*pos`; `*pos` moves past it (at least one byte).
uint32_t NextUtf8Letter(std::string_view text, size_t* pos);
// Appends the letter's UTF-8 bytes (nothing for surrogates or beyond U+10FFFF).
void AppendUtf8(std::string& text, uint32_t letter);
// Single-byte Latin-1 text as UTF-8.
std::string Latin1ToUtf8(std::string_view text);
// The longest start of `text` of at most `maxBytes` bytes that ends on a
// whole letter.
std::string CutUtf8(std::string_view text, size_t maxBytes);
// Removes the last letter (all of its bytes).
void RemoveLastUtf8Letter(std::string& text);
// The plain ASCII letter nearest a Latin letter with marks (U+017B Z with dot
// above gives 'Z'), for drawing a letter the font lacks; 0 when there is none.
uint32_t PlainLetter(uint32_t letter);

}  // namespace tav
