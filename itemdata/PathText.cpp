#include "PathText.h"

#include "FileSteps.h"

namespace relicwright {

std::size_t fileNameStart(std::string_view path) {
    const auto separator = path.find_last_of(pathSeparators());
    return separator == std::string_view::npos ? 0 : separator + 1;
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

} // namespace relicwright
