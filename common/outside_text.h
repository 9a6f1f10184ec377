// SPDX-License-Identifier: MIT
// Text that comes from outside (file contents, device identities, sense data, paths) on its
// way into a message: a terminal must not see its control characters, and a NUL must not
// end the message early, so both are written as visible escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace karvel {

// How many characters of a quoted value a message shows before it is cut with "...".
inline constexpr std::size_t kQuotedPrefixLength = 40;

namespace outside_text_detail {

// Length of the well-formed UTF-8 sequence at text[at] (2-4), or 0 when there is none:
// overlong forms, surrogates and code points past U+10FFFF are not well formed.
inline std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[at + i]); };
    const uint8_t lead = byte(0);
    std::size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    // C1 controls (U+0080-U+009F) act on terminals like their 7-bit forms.
    if (lead == 0xC2 && byte(1) <= 0x9F) return 0;
    return length;
}

inline void appendEscapedByte(std::string& out, uint8_t value) {
    constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[value >> 4];
    out += kHex[value & 0x0F];
}

// Appends the rendering of the character at text[at] and returns how many bytes it took.
inline std::size_t appendCharacter(std::string& out, std::string_view text, std::size_t at) {
    const auto value = static_cast<uint8_t>(text[at]);
    if (value >= 0x20 && value < 0x7F) {
        out += static_cast<char>(value);
        return 1;
    }
    if (value >= 0x80) {
        if (std::size_t length = utf8SequenceLength(text, at)) {
            out.append(text.substr(at, length));
            return length;
        }
    }
    appendEscapedByte(out, value);
    return 1;
}

}  // namespace outside_text_detail

// Returns text fit for a message: printable ASCII and well-formed UTF-8 as they are; control
// characters (NUL included, and what follows it is kept), DEL, C1 controls and bytes that are
// not UTF-8 as \xNN (lower-case hex). A backslash stays as it is, so escaping twice changes
// nothing: a message may be escaped as a whole although parts of it were escaped already.
inline std::string escapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) at += outside_text_detail::appendCharacter(out, text, at);
    return out;
}

// Returns escapeText of at most the first maxCharacters characters of text, followed by "..."
// when text is longer; a bad value of any size costs a message a bounded length.
inline std::string quotePrefix(std::string_view text, std::size_t maxCharacters = kQuotedPrefixLength) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t shown = 0; at < text.size() && shown < maxCharacters; ++shown)
        at += outside_text_detail::appendCharacter(out, text, at);
    if (at < text.size()) out += "...";
    return out;
}

}  // namespace karvel
