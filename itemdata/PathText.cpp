#include "PathText.h"

#include "FileSteps.h"

#include <cstdio>

namespace relicwright {

std::size_t fileNameStart(std::string_view path) {
    const auto separator = path.find_last_of(pathSeparators());
    return separator == std::string_view::npos ? 0 : separator + 1;
}

PathParts splitPath(std::string_view path) {
    PathParts parts;
    parts.fileName = path.substr(fileNameStart(path));
    const auto dot = parts.fileName.find_last_of('.');
    if (dot == std::string::npos) {
        parts.title = parts.fileName;
    } else {
        parts.title = parts.fileName.substr(0, dot);
        parts.extension = parts.fileName.substr(dot + 1);
    }
    return parts;
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

namespace {

constexpr std::string_view kTemporaryPrefix = ".relicwright-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// Takes a run of the accepted characters from the front of `text`; how many were taken.
template <class Accepts> std::size_t take(std::string_view& text, Accepts accepts) {
    std::size_t n = 0;
    while (n < text.size() && accepts(text[n])) {
        ++n;
    }
    text.remove_prefix(n);
    return n;
}

bool takeDash(std::string_view& text) {
    return take(text, [](char c) { return c == '-'; }) == 1;
}

} // namespace

std::string temporaryFileName(unsigned process, unsigned seed, unsigned counter) {
    char name[64];
    std::snprintf(name, sizeof name, ".relicwright-%u-%08x-%u.tmp", process, seed, counter);
    return name;
}

bool isTemporaryFileName(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return false;
    }
    name = name.substr(kTemporaryPrefix.size(), name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto hexDigit = [&](char c) { return digit(c) || (c >= 'a' && c <= 'f'); };
    return take(name, digit) > 0 && takeDash(name) && take(name, hexDigit) == 8 && takeDash(name) &&
           take(name, digit) > 0 && name.empty();
}

} // namespace relicwright
