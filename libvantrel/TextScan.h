#pragma once
// UTF-8 text read character by character, as the model text's reader and writer see it: which
// characters are blanks, where a piece of text starts and ends without them, a character's
// column. Every function is linear in the bytes it looks at.

#include <cstddef>
#include <string>
#include <string_view>

namespace textscan {

// A character at a place in UTF-8 text: its code point and its length in bytes. A byte that
// starts no well-formed character (an overlong form, a stray continuation, an encoded
// surrogate, a code point beyond U+10FFFF) is one of length 1, not valid; an encoded
// surrogate also tells which half it is (code) and its 3 bytes.
struct Character {
    char32_t code = 0;
    std::size_t length = 1;
    bool valid = true;
    bool surrogate = false;
};
Character CharacterAt(std::string_view text, std::size_t at);

// The byte of the first character that is not well-formed UTF-8; npos when every one is.
std::size_t FirstNotUtf8(std::string_view text);

// A blank: a space, a tab, a line end, U+0085, U+00A0 or a space or separator beyond them
// (U+2000 to U+200A, U+3000, ...).
bool IsBlank(char32_t code);
// The length of the blank that starts at `at`, or that ends just before `end`; 0 for none.
std::size_t BlankAt(std::string_view text, std::size_t at);
std::size_t BlankBefore(std::string_view text, std::size_t end);

// The first byte from `from` on that starts no blank (text.size() when none).
std::size_t FirstNonBlank(std::string_view text, std::size_t from = 0);
// The end of text[0, end) without its last blanks.
std::size_t EndWithoutBlanks(std::string_view text, std::size_t end);
std::string_view Trimmed(std::string_view text);
bool IsAllBlank(std::string_view text);

// The column (1-based, in characters) of the character at byte `at` of the line.
int ColumnOf(std::string_view line, std::size_t at);

// Whether the character at `at` goes on a word: an ASCII letter, digit or "_", or any
// character beyond ASCII but a blank (a letter, as in "Notícias", far more often than not).
bool IsWordCharacter(std::string_view text, std::size_t at);

// A character as the messages name it: "U+000C".
std::string CodePoint(char32_t code);

// Whether text starts with word, ASCII letters in any case.
bool StartsWithNoCase(std::string_view text, std::string_view word);

}  // namespace textscan
