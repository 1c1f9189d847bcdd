// What "Whole word" means in the search in all notes: a match is a whole word
// when the characters on either side of it are not word characters. Letters,
// digits, the underscore and combining marks are word characters, in every
// script; a character beyond U+FFFF (a surrogate pair) is read as one
// character: rare CJK ideographs and other letters are word characters, emoji
// and pictographs are not.
#pragma once

#include <string>

namespace WordRule {

// Whether the code point `c` is a word character.
bool IsWordChar(char32_t c);

// Whether text[start, end) has no word character right before or after it.
bool IsWholeWord(const std::wstring& text, std::size_t start, std::size_t end);

}  // namespace WordRule
