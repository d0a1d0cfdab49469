#pragma once

#include <string>
#include <vector>

namespace relicwright {

// The file types a file dialog offers, read from the workflow's "description|pattern|...||" text.
class FileFilterList {
public:
    struct Filter {
        std::string description;
        // Wildcard patterns; "*.*" has become "*" so that names without a dot match too.
        std::vector<std::string> patterns;

        bool operator==(const Filter&) const = default;
    };

    // Pairs are read until an empty description or pattern; a "pattern" field may hold several
    // patterns separated by ";". An empty text offers nothing.
    static FileFilterList parse(const std::string& text);

    const std::vector<Filter>& filters() const { return filters_; }
    bool empty() const { return filters_.empty(); }

private:
    std::vector<Filter> filters_;
};

} // namespace relicwright
