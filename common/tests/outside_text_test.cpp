// SPDX-License-Identifier: MIT
#include "outside_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct EscapeCase {
    const char* name;
    std::string input;
    std::string expected;
};

const EscapeCase kEscapeCases[] = {
    {"plain ASCII stays", "sim /var/lib/j.state slots=10", "sim /var/lib/j.state slots=10"},
    {"escape sequence", "red\x1b[31mtext", "red\\x1b[31mtext"},
    {"NUL keeps what follows", "abc\0def"s, "abc\\x00def"},
    {"tab, newline, carriage return", "a\tb\nc\rd", "a\\x09b\\x0ac\\x0dd"},
    {"DEL", "a\x7f", "a\\x7f"},
    {"backslash kept", "C:\\dir", "C:\\dir"},
    {"UTF-8 kept", "Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x92\xbf", "Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x92\xbf"},
    {"lone continuation byte", "a\x80z", "a\\x80z"},
    {"Latin-1 byte", "caf\xe9", "caf\\xe9"},
    {"cut sequence at the end", "x\xe2\x82", "x\\xe2\\x82"},
    {"overlong slash", "\xc0\xaf", "\\xc0\\xaf"},
    {"overlong three-byte", "\xe0\x80\xaf", "\\xe0\\x80\\xaf"},
    {"surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
    {"past U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
    {"C1 control (CSI)", "\xc2\x9b" "31m", "\\xc2\\x9b31m"},
    {"U+00A0 is printable", "\xc2\xa0", "\xc2\xa0"},
    {"empty", "", ""},
};

TEST(EscapeText, RendersEveryCaseVisiblyAndTwiceAsOnce) {
    for (const auto& c : kEscapeCases) {
        EXPECT_EQ(karvel::escapeText(c.input), c.expected) << c.name;
        EXPECT_EQ(karvel::escapeText(karvel::escapeText(c.input)), c.expected) << c.name;
    }
}

struct PrefixCase {
    const char* name;
    std::string input;
    std::size_t maxCharacters;
    std::string expected;
};

const PrefixCase kPrefixCases[] = {
    {"short value whole", "1-10,25", 40, "1-10,25"},
    {"exactly the limit", std::string(40, 'a'), 40, std::string(40, 'a')},
    {"one past the limit", std::string(41, 'a'), 40, std::string(40, 'a') + "..."},
    {"5 MB value cut", std::string(5 << 20, '7'), 40, std::string(40, '7') + "..."},
    {"escapes count as one character", "\x1b\x1b\x1b\x1b", 2, "\\x1b\\x1b..."},
    {"UTF-8 is never split", "\xc3\xbc\xc3\xbc\xc3\xbc", 2, "\xc3\xbc\xc3\xbc..."},
    {"NUL inside the prefix", "a\0b"s, 40, "a\\x00b"},
};

TEST(QuotePrefix, CutsLongValuesAndEscapesThePrefix) {
    for (const auto& c : kPrefixCases) EXPECT_EQ(karvel::quotePrefix(c.input, c.maxCharacters), c.expected) << c.name;
}

}  // namespace
