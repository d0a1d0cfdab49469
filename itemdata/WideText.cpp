#include "WideText.h"

#include <cstdint>

namespace relicwright {

namespace {

bool isHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void appendUtf8(std::string& text, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// "\x" or "\u" and the value in upper-case hex digits: how a refusal shows what did not convert.
void appendEscape(std::string& text, char kind, std::uint32_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text += '\\';
    text += kind;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += kHex[(value >> shift) & 0xF];
    }
}

// The code point of the UTF-8 sequence at `at`, which it passes; none for a byte that starts no
// well-formed sequence (overlong forms, surrogates and values past U+10FFFF included).
bool decodeUtf8(std::string_view text, std::size_t& at, std::uint32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++at;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07u;
    } else {
        return false;
    }
    if (text.size() - at < length) {
        return false;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return false;
        }
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || isHighSurrogate(codePoint) || isLowSurrogate(codePoint)) {
        return false;
    }
    at += length;
    return true;
}

// The name for the refusal: the bytes that are not UTF-8 written out, the rest as it was.
[[noreturn]] void refuseUtf8(std::string_view text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        std::uint32_t codePoint = 0;
        if (decodeUtf8(text, at, codePoint)) {
            shown.append(text.substr(start, at - start));
        } else {
            appendEscape(shown, 'x', static_cast<std::uint8_t>(text[at++]), 2);
        }
    }
    throw FileError(FileErrorCause::InvalidPath, kNoUnicodeTranslation, shown);
}

} // namespace

std::wstring widen(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::uint32_t codePoint = 0;
        if (!decodeUtf8(text, at, codePoint)) {
            refuseUtf8(text);
        }
        if (codePoint < 0x10000) {
            wide += static_cast<wchar_t>(codePoint);
        } else {
            wide += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        }
    }
    return wide;
}

std::string narrow(std::wstring_view text) {
    // Built whole even when refused: the refusal names the text with the lone units written out.
    std::string utf8;
    utf8.reserve(text.size());
    bool refused = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto unit = static_cast<std::uint32_t>(text[at]);
        const auto next = at + 1 < text.size() ? static_cast<std::uint32_t>(text[at + 1]) : 0u;
        if (isHighSurrogate(unit) && isLowSurrogate(next)) {
            appendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++at;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit) || unit > 0xFFFF) {
            // Only a 32-bit wchar_t holds a unit past 0xFFFF, and that is no UTF-16.
            refused = true;
            appendEscape(utf8, unit > 0xFFFF ? 'U' : 'u', unit, unit > 0xFFFF ? 8 : 4);
        } else {
            appendUtf8(utf8, unit);
        }
    }
    if (refused) {
        throw FileError(FileErrorCause::InvalidPath, kNoUnicodeTranslation, utf8);
    }
    return utf8;
}

} // namespace relicwright
