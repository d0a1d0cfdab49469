#include "FileFilterList.h"

namespace relicwright {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

FileFilterList FileFilterList::parse(const std::string& text) {
    FileFilterList list;
    const std::vector<std::string> fields = split(text, '|');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string& description = fields[i];
        const std::string& patternField = fields[i + 1];
        if (description.empty() || patternField.empty()) {
            break;
        }
        Filter filter{description, {}};
        for (const std::string& part : split(patternField, ';')) {
            std::string pattern = trimmed(part);
            if (pattern.empty()) {
                continue;
            }
            filter.patterns.push_back(pattern == "*.*" ? std::string("*") : std::move(pattern));
        }
        if (!filter.patterns.empty()) {
            list.filters_.push_back(std::move(filter));
        }
    }
    return list;
}

} // namespace relicwright
