#include "libvantrel/TextScan.h"

#include <cstdio>

namespace textscan {

namespace {

bool Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The byte range the second byte of a sequence must fall in, after its lead byte, so that
// the character is neither overlong, a surrogate nor beyond U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return Continuation(second);
    }
}

}  // namespace

Character CharacterAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1, true, false};
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return {lead, 1, false, false};
    }
    if (at + length > text.size())
        return {lead, 1, false, false};
    for (std::size_t k = 1; k < length; ++k) {
        if (!Continuation(byte(k)))
            return {lead, 1, false, false};
        code = (code << 6) | (byte(k) & 0x3F);
    }
    if (lead == 0xED && byte(1) >= 0xA0)
        return {code, 3, false, true};
    if (!SecondByteFits(lead, byte(1)))
        return {lead, 1, false, false};
    return {code, length, true, false};
}

std::size_t FirstNotUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const Character c = CharacterAt(text, at);
        if (!c.valid)
            return at;
        at += c.length;
    }
    return std::string_view::npos;
}

bool IsBlank(char32_t code)
{
    if (code == 0x20 || (code >= 0x09 && code <= 0x0D))
        return true;
    if (code < 0x80)
        return false;
    return code == 0x85 || code == 0xA0 || code == 0x1680 || (code >= 0x2000 && code <= 0x200A) || code == 0x2028 ||
           code == 0x2029 || code == 0x202F || code == 0x205F || code == 0x3000;
}

std::size_t BlankAt(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return 0;
    const Character c = CharacterAt(text, at);
    return c.valid && IsBlank(c.code) ? c.length : 0;
}

std::size_t BlankBefore(std::string_view text, std::size_t end)
{
    for (std::size_t length = 1; length <= 3 && length <= end; ++length) {
        const Character c = CharacterAt(text, end - length);
        if (c.valid && c.length == length)
            return IsBlank(c.code) ? length : 0;
    }
    return 0;
}

std::size_t FirstNonBlank(std::string_view text, std::size_t from)
{
    while (const std::size_t blank = BlankAt(text, from))
        from += blank;
    return from < text.size() ? from : text.size();
}

std::size_t EndWithoutBlanks(std::string_view text, std::size_t end)
{
    while (const std::size_t blank = BlankBefore(text, end))
        end -= blank;
    return end;
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t start = FirstNonBlank(text);
    return text.substr(start, EndWithoutBlanks(text, text.size()) - start);
}

bool IsAllBlank(std::string_view text) { return FirstNonBlank(text) == text.size(); }

int ColumnOf(std::string_view line, std::size_t at)
{
    int column = 1;
    for (std::size_t k = 0; k < at && k < line.size(); ++k)
        if (!Continuation(static_cast<unsigned char>(line[k])))
            ++column;
    return column;
}

bool IsWordCharacter(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return false;
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    return BlankAt(text, at) == 0;
}

std::string CodePoint(char32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view word)
{
    if (text.size() < word.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        const char c = text[k];
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        const char w = word[k] >= 'A' && word[k] <= 'Z' ? char(word[k] - 'A' + 'a') : word[k];
        if (lower != w)
            return false;
    }
    return true;
}

}  // namespace textscan
