#include "FileError.h"
#include "WideText.h"

#include <gtest/gtest.h>

#include <string>

namespace relicwright {
namespace {

// The path a refusal carries, or "converted" when there was none.
template <class Text, class Convert> std::string refusalOf(const Text& text, Convert convert) {
    try {
        convert(text);
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::InvalidPath);
        EXPECT_EQ(error.platformCode(), kNoUnicodeTranslation);
        return error.path();
    }
    return "converted";
}

std::string narrowed(const std::wstring& text) { return narrow(text); }
std::wstring widened(const std::string& text) { return widen(text); }

// ASCII, "été", "日本" and U+1F5E1 (a dagger), which needs a surrogate pair: each unit by hand,
// since wchar_t is 32 bits wide outside Windows.
TEST(WideText, ConvertsEveryCharacterBothWays) {
    const std::string utf8 = "C:\\a \xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x97\xA1.itm";
    const std::wstring utf16{L'C', L':', L'\\', L'a', L' ', 0xE9, L't', 0xE9, L' ', 0x65E5, 0x672C, L' ',
                             static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDDE1), L'.', L'i', L't', L'm'};
    EXPECT_EQ(widen(utf8), utf16);
    EXPECT_EQ(narrow(utf16), utf8);
    EXPECT_EQ(widen("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"),
              (std::wstring{0xFFFF, static_cast<wchar_t>(0xDBFF), static_cast<wchar_t>(0xDFFF)}));
    EXPECT_EQ(narrow(L""), "");
}

// A lone surrogate, high or low, at either end or between others, is refused and shown as such.
TEST(WideText, RefusesALoneSurrogateAndShowsIt) {
    const auto unit = [](unsigned value) { return static_cast<wchar_t>(value); };
    EXPECT_EQ(refusalOf(std::wstring{L'a', unit(0xD800), L'.', L'i'}, narrowed), "a\\uD800.i");
    EXPECT_EQ(refusalOf(std::wstring{unit(0xDC00), L'b'}, narrowed), "\\uDC00b");
    EXPECT_EQ(refusalOf(std::wstring{L'c', unit(0xDBFF)}, narrowed), "c\\uDBFF");
    // The wrong order is two lone halves; a good pair after them still converts.
    EXPECT_EQ(refusalOf(std::wstring{unit(0xDE00), unit(0xD83D), 0xE9, unit(0xD83D), unit(0xDDE1)}, narrowed),
              "\\uDE00\\uD83D\xC3\xA9\xF0\x9F\x97\xA1");
}

// Stray and cut sequences, overlong forms, UTF-8 for a surrogate and values past U+10FFFF.
TEST(WideText, RefusesBytesThatAreNotUtf8AndShowsThem) {
    EXPECT_EQ(refusalOf(std::string("a\x80" "b"), widened), "a\\x80b");
    EXPECT_EQ(refusalOf(std::string("\xC3"), widened), "\\xC3");
    EXPECT_EQ(refusalOf(std::string("\xE6\x97.\xC3\xA9"), widened), "\\xE6\\x97.\xC3\xA9");
    EXPECT_EQ(refusalOf(std::string("\xC0\xAF"), widened), "\\xC0\\xAF");
    EXPECT_EQ(refusalOf(std::string("\xE0\x9F\xBF"), widened), "\\xE0\\x9F\\xBF");
    EXPECT_EQ(refusalOf(std::string("\xED\xA0\x80"), widened), "\\xED\\xA0\\x80");
    EXPECT_EQ(refusalOf(std::string("\xF4\x90\x80\x80"), widened), "\\xF4\\x90\\x80\\x80");
    EXPECT_EQ(refusalOf(std::string("\xFF"), widened), "\\xFF");
}

} // namespace
} // namespace relicwright
